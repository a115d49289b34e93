// Packages and target trees made to reach outside the sandbox: absolute and
// drive-letter folders, the package's own folder and drive, links planted in
// the target tree, registry keys too deep for the registry. Whatever each
// does, nothing may appear outside the sandbox root: the whole folder that
// holds it is walked before and after the run.
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "install_support.h"
#include "platform/drives.h"
#include "platform/registry.h"
#include "setup/folders.h"
#include "setup/setupmain.h"

using namespace setuptest;
namespace fs = std::filesystem;

namespace {

// parent/box is the sandbox root, parent/pkg holds the package (as a
// download folder would), parent/outside a file that must stay untouched.
class THostileBox {
public:
    THostileBox() {
        std::string pattern = (fs::temp_directory_path() / "bwhostileXXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        parent_ = pattern;
        roots_ = platform::SystemRoots::InSandbox(Box(), platform::InstallScope::User);
        roots_.CreateFolders();
        fs::create_directories(parent_ + "/pkg");
        fs::create_directories(Outside());
        WriteFile(Victim(), "untouched");
        registry_ = platform::OpenFileRegistry(platform::RegistryLocations::ForRoots(roots_));
    }
    ~THostileBox() {
        registry_.reset();
        std::error_code ec;
        fs::remove_all(parent_, ec);
    }

    const std::string& Parent() const { return parent_; }
    std::string Box() const { return parent_ + "/box"; }
    std::string Outside() const { return parent_ + "/outside"; }
    std::string Victim() const { return Outside() + "/victim"; }
    std::string AppFolder() const { return roots_.programFiles.string() + "/Demo"; }
    std::string Menu() const { return roots_.programsMenu.string() + "/Demo"; }
    const platform::SystemRoots& Roots() const { return roots_; }
    platform::Registry& Registry() { return *registry_; }

    // Every path below the parent folder, links not followed.
    std::set<std::string> Walk() const {
        std::set<std::string> paths;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(
                 parent_, fs::directory_options::skip_permission_denied, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec))
            paths.insert(it->path().string());
        return paths;
    }

    setup::TInstallResult Install(const std::string& json) {
        std::string package = parent_ + "/pkg/p.exe";
        BuildPackage(json, package);
        setup::TInstallAnswers answers;
        answers.installDate = "20260101";
        components::TScriptedMessenger messenger; // every question: No
        try {
            return setup::InstallPackage(package, answers, roots_, *registry_, messenger);
        } catch (const std::exception& e) {
            // Refused before the run.
            setup::TInstallResult refused;
            refused.errorMessage = e.what();
            return refused;
        }
    }

private:
    std::string parent_;
    platform::SystemRoots roots_;
    std::unique_ptr<platform::Registry> registry_;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
    return text;
}

// A JSON string with its backslashes escaped.
std::string Json(const std::string& text) {
    return Replace(text, "\\", "\\\\");
}

std::string Package(const std::string& appFolder, const std::string& folders,
                    const std::string& extra = "", const std::string& menuFolder = "") {
    return R"({"settings": {"product": "Demo", "appFolder": ")" + Json(appFolder) +
           R"(", "menuFolder": ")" + Json(menuFolder) + R"("},
      "files": [{"name": "a.txt", "text": "a"}, {"name": "b.txt", "text": "b"}],
      "components": [{"name": "Main", "folders": [)" +
           folders + "]}]" + extra + "}";
}

std::string AppFolderWithA() {
    return R"({"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]})";
}

struct Hostile {
    const char* name;
    std::string json;                                  // "@P@": the sandbox's parent folder
    std::function<void(const THostileBox&)> plant;     // links planted before the run
    bool completes;                                    // else refused, or stopped by No
    std::vector<std::string> landed;                   // "@B@": the sandbox root
    std::function<void(THostileBox&)> check = nullptr; // anything else to look at
};

void Link(const std::string& target, const std::string& link) {
    fs::create_directories(fs::path(link).parent_path());
    fs::create_symlink(target, link);
}

std::string DeepKeyName(int levels) {
    std::string name = "a";
    for (int i = 1; i < levels; ++i)
        name += "\\a";
    return name;
}

// A registry table whose keys nest `levels` deep, one opcode per level.
std::string NestedKeysTable(int levels) {
    std::string t = std::string(1, '\0') + "HKEY_CURRENT_USER";
    for (int i = 0; i < levels; ++i)
        t += std::string("\x01k\0", 3);
    t += std::string(static_cast<std::size_t>(levels) + 1, '\xFF');
    return t;
}

TEST(HostilePackage, NothingLandsOutsideTheSandbox) {
    const std::vector<Hostile> cases = {
        {"absolute Linux application folder",
         Package("@P@/elsewhere", AppFolderWithA()),
         nullptr,
         true,
         {"@B@@P@/elsewhere/a.txt"}},
        {"the package's own folder",
         Package("%PROGRAMFILES%\\Demo",
                 R"({"name": "%SETUPFOLDER%\\Dropped", "items": [{"file": "a.txt"}]})"),
         nullptr,
         true,
         {"@B@@P@/pkg/Dropped/a.txt"}},
        {"the package's drive",
         Package("%PROGRAMFILES%\\Demo",
                 R"({"name": "%SETUPDRIVE%\\bw-escape-drive", "items": [{"file": "a.txt"}]})"),
         nullptr,
         true,
         {},
         [](THostileBox& b) {
             auto drive = platform::DriveOfPath(b.Parent());
             std::string root = drive ? drive->root.string() : "/";
             EXPECT_FALSE(fs::exists(root + "/bw-escape-drive"));
             EXPECT_TRUE(
                 fs::exists(b.Box() + (root == "/" ? "" : root) + "/bw-escape-drive/a.txt"));
         }},
        {"drive-letter application folder",
         Package("C:\\Apps\\Dup", AppFolderWithA()),
         nullptr,
         true,
         {"@B@/Apps/Dup/a.txt"}},
        {"application folder from the root",
         Package("\\Rooted", AppFolderWithA()),
         nullptr,
         true,
         {"@B@/Rooted/a.txt"}},
        {"absolute menu folder",
         Package("%PROGRAMFILES%\\Demo",
                 AppFolderWithA() +
                     R"(, {"name": "%APPMENU%", "items": [{"shortcut": "a.txt", "name": "A"}]})",
                 "", "@P@/menu"),
         nullptr,
         true,
         {"@B@@P@/menu/A.desktop"}},
        {"link planted as the application folder",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA()),
         [](const THostileBox& b) { Link(b.Outside(), b.AppFolder()); },
         false,
         {}},
        {"link planted below the application folder",
         Package("%PROGRAMFILES%\\Demo",
                 R"({"name": "%APPFOLDER%", "items": [{"file": "a.txt"}],
                     "folders": [{"name": "Docs", "items": [{"file": "b.txt"}]}]})"),
         [](const THostileBox& b) { Link(b.Outside(), b.AppFolder() + "/Docs"); },
         false,
         {"@B@/home/.local/opt/Demo/a.txt"}},
        {"link planted as the menu folder",
         Package("%PROGRAMFILES%\\Demo",
                 AppFolderWithA() +
                     R"(, {"name": "%APPMENU%", "items": [{"shortcut": "a.txt", "name": "A"}]})",
                 "", "%PROGRAMSMENU%\\Demo"),
         [](const THostileBox& b) { Link(b.Outside(), b.Menu()); },
         false,
         {}},
        {"links planted in place of a file, the log and a launcher",
         Package("%PROGRAMFILES%\\Demo",
                 AppFolderWithA() +
                     R"(, {"name": "%APPMENU%", "items": [{"shortcut": "a.txt", "name": "A"}]})",
                 "", "%PROGRAMSMENU%\\Demo"),
         [](const THostileBox& b) {
             Link(b.Victim(), b.AppFolder() + "/a.txt");
             Link(b.Victim(), b.AppFolder() + "/Cargon.log");
             Link(b.Victim(), b.Menu() + "/A.desktop");
         },
         true,
         {},
         [](THostileBox& b) {
             EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(b.AppFolder() + "/a.txt")));
             EXPECT_EQ(ReadFile(b.AppFolder() + "/a.txt"), "a");
             EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(b.Menu() + "/A.desktop")));
         }},
        {"registry key 50,000 levels deep",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA(),
                 R"(, "registry": [{"root": "HKEY_CURRENT_USER", "keys": [{"name": ")" +
                     Json(DeepKeyName(50000)) + R"(", "values": [{"name": "v", "dword": 1}]}]}])"),
         nullptr,
         false,
         {},
         [](THostileBox& b) {
             EXPECT_FALSE(fs::exists(b.AppFolder())) << "refused before any write";
             b.Registry().WriteString(platform::RootKey::CurrentUser, "Later", "v", "x");
             EXPECT_NO_THROW(b.Registry().Flush()) << "the registry still works";
             EXPECT_FALSE(b.Registry().KeyExists(platform::RootKey::CurrentUser, "a"));
         }},
        {"registry keys nested 600 levels",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA(),
                 R"(, "registry": {"hex": ")" + HexOf(NestedKeysTable(600)) + R"("})"),
         nullptr,
         false,
         {},
         [](THostileBox& b) {
             EXPECT_FALSE(fs::exists(b.AppFolder())) << "refused before any write";
         }},
        {"link planted as the sandbox's MIME folder",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA(),
                 R"(, "fileTypes": [{"register": 1, "description": "Demo", "extension": ".dmo",
                      "actions": [{"verb": "open", "program": "a.txt", "command": "\"%1\""}]}])"),
         [](const THostileBox& b) { Link(b.Outside(), b.Roots().mimePackages.string()); },
         false,
         {"@B@/home/.local/opt/Demo/a.txt"}},
        {"link planted as the programs folder",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA()),
         [](const THostileBox& b) {
             fs::remove_all(b.Roots().programFiles);
             Link(b.Outside(), b.Roots().programFiles.string());
         },
         false,
         {}},
        {"link planted as the applications folder",
         Package("%PROGRAMFILES%\\Demo",
                 AppFolderWithA() +
                     R"(, {"name": "%APPMENU%", "items": [{"shortcut": "a.txt", "name": "A"}]})",
                 "", "%PROGRAMSMENU%\\Demo"),
         [](const THostileBox& b) {
             fs::remove_all(b.Roots().programsMenu);
             Link(b.Outside(), b.Roots().programsMenu.string());
         },
         false,
         {"@B@/home/.local/opt/Demo/a.txt"}},
        {"link planted as the desktop",
         Package("%PROGRAMFILES%\\Demo",
                 AppFolderWithA() +
                     R"(, {"name": "%DESKTOP%", "items": [{"shortcut": "a.txt", "name": "A"}]})"),
         [](const THostileBox& b) {
             fs::remove_all(b.Roots().desktop);
             Link(b.Outside(), b.Roots().desktop.string());
         },
         false,
         {"@B@/home/.local/opt/Demo/a.txt"}},
        {"link planted as the sandbox's temporary folder",
         R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo",
                          "readme": "readme.txt"},
             "supportFiles": {"readme": {"text": "Read me."}},
             "files": [{"name": "a.txt", "text": "a"}],
             "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%",
                             "items": [{"file": "a.txt"}, {"file": "readme.txt"}]}]}]})",
         [](const THostileBox& b) {
             fs::remove_all(b.Roots().temp);
             Link(b.Outside(), b.Roots().temp.string());
         },
         false,
         {}},
        {"pending list naming files outside the sandbox and through a link",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA()),
         [](const THostileBox& b) {
             Link(b.Outside(), b.Box() + "/home/way-out");
             WriteFile(b.Parent() + "/moved", "m");
             fs::create_directories(b.Roots().pendingRenames.parent_path());
             WriteFile(b.Roots().pendingRenames.string(),
                       "D\t" + b.Victim() + "\nD\t" + b.Box() + "/home/way-out/victim\n" + "R\t" +
                           b.Parent() + "/moved\t" + b.Victim() + "\n");
         },
         true,
         {"@B@/home/.local/opt/Demo/a.txt"},
         [](THostileBox& b) {
             EXPECT_EQ(ReadFile(b.Parent() + "/moved"), "m");
             EXPECT_TRUE(
                 setup::TPendingFileOperations(b.Roots().pendingRenames.string()).Entries().empty())
                 << "lines no run of ours wrote are dropped";
         }},
        {"unknown folder variable in a selected component",
         Package("%PROGRAMFILES%\\Demo",
                 AppFolderWithA() + R"(, {"name": "%NOSUCH%\\x", "items": [{"file": "b.txt"}]})"),
         nullptr,
         false,
         {},
         [](THostileBox& b) {
             EXPECT_FALSE(fs::exists(b.AppFolder())) << "refused before any write";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        THostileBox box;
        if (c.plant)
            c.plant(box);
        std::set<std::string> before = box.Walk();
        auto result = box.Install(Replace(c.json, "@P@", box.Parent()));
        EXPECT_EQ(result.completed, c.completes) << result.errorMessage;
        for (const auto& path : box.Walk())
            if (!before.count(path) && path.rfind(box.Box() + "/", 0) != 0 &&
                path.rfind(box.Parent() + "/pkg/", 0) != 0)
                ADD_FAILURE() << "written outside the sandbox: " << path;
        EXPECT_EQ(ReadFile(box.Victim()), "untouched");
        EXPECT_EQ(ListFolder(box.Outside()), std::vector<std::string>{"victim"});
        for (const auto& landed : c.landed) {
            std::string path = Replace(Replace(landed, "@B@", box.Box()), "@P@", box.Parent());
            EXPECT_TRUE(fs::exists(path)) << path;
        }
        if (c.check)
            c.check(box);
    }
}

} // namespace
