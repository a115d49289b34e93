// Packages and target trees made to reach outside the sandbox: absolute,
// drive-letter and climbing folders, the package's own folder and drive,
// links planted in the target tree and at the sandbox's own folders, a hive
// folder named outside the sandbox, registry keys and values too large for
// the registry. Whatever each does, nothing may appear outside the sandbox
// root: the whole folder that holds it is walked before and after the run.
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
#include "setup/setupsession.h"
#include "setup/silentrun.h"

using namespace setuptest;
namespace fs = std::filesystem;

namespace {

// parent/box is the sandbox root, parent/pkg holds the package (as a
// download folder would), parent/outside a file that must stay untouched.
// How a row's package is installed.
enum class THow {
    Answers,  // InstallPackage, every question after an error answered No
    GoingOn,  // the same, every such question answered Yes
    Silently, // the silent mode's session, as "setup PACKAGE /silent" runs it
};

class THostileBox {
public:
    // The roots and the hives as the programs find them from VEXLOR_SANDBOX
    // (and VEXLOR_REGISTRY_DIR when `registryDir` is given, relative to the
    // sandbox's parent folder).
    explicit THostileBox(platform::InstallScope scope = platform::InstallScope::User,
                         const std::string& registryDir = {}) {
        std::string pattern = (fs::temp_directory_path() / "bwhostileXXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        parent_ = pattern;
        const std::string box = Box();
        roots_ = platform::SystemRoots::FromEnvironment(
            [&box](const std::string& name) {
                return name == "VEXLOR_SANDBOX" ? std::optional<std::string>(box) : std::nullopt;
            },
            nullptr, scope);
        roots_.CreateFolders();
        fs::create_directories(parent_ + "/pkg");
        fs::create_directories(Outside());
        WriteFile(Victim(), "untouched");
        registry_ = platform::OpenFileRegistry(platform::RegistryLocations::FromEnvironment(
            roots_, registryDir.empty() ? std::nullopt
                                        : std::optional<std::string>(parent_ + "/" + registryDir)));
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

    setup::TInstallResult Install(const std::string& json, THow how = THow::Answers,
                                  const std::vector<std::string>& faults = {}) {
        std::string package = parent_ + "/pkg/p.exe";
        BuildPackage(json, package, faults);
        components::TScriptedMessenger messenger =
            how == THow::GoingOn ? GoingOnAfterErrors() : components::TScriptedMessenger();
        if (how == THow::Silently) {
            setup::TSetupSession session(roots_, *registry_, messenger, parent_ + "/pkg/setup");
            setup::TInstallResult result;
            try {
                session.Open(package);
                silentStatus = static_cast<int>(setup::RunSilent(session));
            } catch (const std::exception& e) {
                silentStatus = static_cast<int>(setup::TSilentExit::BadPackage);
                result.errorMessage = e.what();
            }
            session.CloseDown();
            result.completed = silentStatus == 0;
            for (const auto& text :
                 messenger.Texts(components::TScriptedMessenger::TRecord::Message))
                result.errorMessage += text;
            return result;
        }
        setup::TInstallAnswers answers;
        answers.installDate = "20260101";
        try {
            return setup::InstallPackage(package, answers, roots_, *registry_, messenger);
        } catch (const std::exception& e) {
            // Refused before the run.
            setup::TInstallResult refused;
            refused.errorMessage = e.what();
            return refused;
        }
    }

    // The status of the last silent run.
    int silentStatus = -1;

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
    THow how = THow::Answers;
    std::vector<std::string> faults = {}; // mkpackage's --fault arguments
    platform::InstallScope scope = platform::InstallScope::User;
    std::string registryDir = {}; // VEXLOR_REGISTRY_DIR, below the parent folder
};

void Link(const std::string& target, const std::string& link) {
    fs::create_directories(fs::path(link).parent_path());
    fs::create_symlink(target, link);
}

// A link to the outside folder in place of one of the sandbox's own
// folders (made, as the programs make them, before the run).
std::function<void(const THostileBox&)> LinkAtSandboxFolder(const std::string& folder) {
    return [folder](const THostileBox& b) {
        fs::remove_all(b.Box() + "/" + folder);
        Link(b.Outside(), b.Box() + "/" + folder);
    };
}

// One shortcut per file into the menu folder: "doc" a text file, "prog" a
// script (made executable as it is written), "win" a Windows program.
std::string LaunchersPackage() {
    return R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo",
                            "menuFolder": "%PROGRAMSMENU%\\Demo"},
      "files": [{"name": "readme.txt", "text": "Read me."},
                {"name": "run.sh", "text": "#!/bin/sh\necho run\n"},
                {"name": "tool.exe", "text": "MZ"}],
      "components": [{"name": "Main", "folders": [
        {"name": "%APPFOLDER%", "items": [{"file": "readme.txt"}, {"file": "run.sh"},
                                          {"file": "tool.exe"}]},
        {"name": "%APPMENU%", "items": [
          {"shortcut": "readme.txt", "name": "doc", "arguments": "--ignored"},
          {"shortcut": "run.sh", "name": "prog", "arguments": "--go"},
          {"shortcut": "tool.exe", "name": "win"}]}]}]})";
}

// A registry table with one value under HKEY_CURRENT_USER\Demo.
std::string WithValue(const std::string& value) {
    return R"(, "registry": [{"root": "HKEY_CURRENT_USER", "keys": [{"name": "Demo",
                "values": [)" +
           value + "]}]}]";
}

void ExpectValidLauncher(const std::string& path) {
    if (!HaveProgram("desktop-file-validate"))
        return;
    std::string out;
    EXPECT_EQ(RunShell("desktop-file-validate '" + path + "'", &out), 0) << path << "\n" << out;
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
        {"unknown folder variable in a component not chosen",
         R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
             "files": [{"name": "a.txt", "text": "a"}, {"name": "b.txt", "text": "b"}],
             "components": [
               {"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]},
               {"name": "Extra", "userMayChoose": true, "selected": false,
                "folders": [{"name": "%NOSUCH%\\x", "items": [{"file": "b.txt"}]}]}]})",
         nullptr,
         false,
         {},
         [](THostileBox& b) {
             EXPECT_FALSE(fs::exists(b.AppFolder())) << "refused before any write";
         }},
        {"application folder climbing out of its drive",
         Package("C:\\Apps\\..\\..\\escape", AppFolderWithA()),
         nullptr,
         false,
         {}},
        {"portable folder climbing out of the home folder",
         R"({"settings": {"product": "Demo"}, "installMode": 2,
             "portableFolder": "\\..\\..\\..\\escape",
             "files": [{"name": "a.txt", "text": "a"}],
             "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%",
                             "items": [{"file": "a.txt"}]}]}]})",
         nullptr,
         false,
         {},
         [](THostileBox& b) {
             EXPECT_EQ(b.silentStatus, static_cast<int>(setup::TSilentExit::BadPackage));
             for (const auto& path : b.Walk())
                 EXPECT_EQ(path.find("escape"), std::string::npos) << path;
         },
         THow::Silently},
        {"registry value name past the registry's limit",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA(),
                 WithValue(R"({"name": ")" + std::string(16384, 'n') + R"(", "dword": 1})")),
         nullptr,
         false,
         {},
         [](THostileBox& b) {
             EXPECT_FALSE(fs::exists(b.AppFolder())) << "refused before any write";
         }},
        {"registry value data past the registry's limit",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA(),
                 WithValue(R"({"name": "big", "string": ")" + std::string(1024 * 1024 + 1, 's') +
                           R"("})")),
         nullptr,
         false,
         {},
         [](THostileBox& b) {
             EXPECT_FALSE(fs::exists(b.AppFolder())) << "refused before any write";
         }},
        {"go on after a CRC error",
         R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo",
                          "menuFolder": "%PROGRAMSMENU%\\Demo"},
             "files": [{"name": "a.txt", "text": "a"}, {"name": "b.txt", "text": "b"},
                       {"name": "c.txt", "text": "c"}],
             "components": [{"name": "Main", "folders": [
               {"name": "%APPFOLDER%", "items": [{"file": "a.txt"}, {"file": "b.txt"},
                                                 {"file": "c.txt"}]},
               {"name": "%APPMENU%", "items": [{"shortcut": "a.txt", "name": "A"},
                                               {"shortcut": "c.txt", "name": "C"}]}]}]})",
         nullptr,
         true,
         {"@B@/home/.local/opt/Demo/b.txt", "@B@/home/.local/opt/Demo/c.txt",
          "@B@/home/.local/share/applications/Demo/C.desktop"},
         [](THostileBox& b) {
             EXPECT_FALSE(fs::exists(b.AppFolder() + "/a.txt"));
             EXPECT_FALSE(fs::exists(b.Menu() + "/A.desktop")) << "a launcher to nothing";
             EXPECT_EQ(ReadFile(b.AppFolder() + "/Cargon.log").find("a.txt"), std::string::npos);
         },
         THow::GoingOn,
         {"--fault", "wrong-crc=0"}},
        {"launchers for a document, a program and a Windows program",
         LaunchersPackage(),
         nullptr,
         true,
         {},
         [](THostileBox& b) {
             const std::string app = b.AppFolder();
             const std::string doc = ReadFile(b.Menu() + "/doc.desktop");
             EXPECT_NE(doc.find("\nExec=xdg-open " + app + "/readme.txt\n"), std::string::npos)
                 << doc;
             const std::string prog = ReadFile(b.Menu() + "/prog.desktop");
             EXPECT_NE(prog.find("\nExec=" + app + "/run.sh --go\n"), std::string::npos) << prog;
             const std::string win = ReadFile(b.Menu() + "/win.desktop");
             EXPECT_NE(win.find("\nExec=" + app + "/tool.exe\n"), std::string::npos) << win;
             for (const char* name : {"doc", "prog", "win"})
                 ExpectValidLauncher(b.Menu() + "/" + name + ".desktop");
         }},
        // The sandbox's own folders, as a link in their place would have
        // them followed: the registry (machine-wide and the user's), the
        // pending list, the home folder and its XDG folders.
        {"link at var",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA()),
         LinkAtSandboxFolder("var"),
         false,
         {},
         nullptr,
         THow::Answers,
         {},
         platform::InstallScope::System},
        {"link at var/lib/vexlor",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA()),
         LinkAtSandboxFolder("var/lib/vexlor"),
         false,
         {},
         nullptr,
         THow::Answers,
         {},
         platform::InstallScope::System},
        {"link at the registry folder",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA()),
         LinkAtSandboxFolder("home/.local/share/vexlor/registry"),
         false,
         {"@B@/home/.local/opt/Demo/a.txt"}},
        {"link at home",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA()),
         LinkAtSandboxFolder("home"),
         false,
         {}},
        {"link at home/.local",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA()),
         LinkAtSandboxFolder("home/.local"),
         false,
         {}},
        {"link at home/.config",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA(),
                 WithValue(R"({"name": "v", "dword": 1})")),
         LinkAtSandboxFolder("home/.config"),
         false,
         {"@B@/home/.local/opt/Demo/a.txt"}},
        {"hive folder named outside the sandbox",
         Package("%PROGRAMFILES%\\Demo", AppFolderWithA()),
         nullptr,
         true,
         {"@B@/home/.local/opt/Demo/a.txt"},
         [](THostileBox& b) {
             EXPECT_NE(ReadFile(b.Roots().machineRegistry.string() + "/HKLM.reg")
                           .find("Uninstall\\Demo]"),
                       std::string::npos)
                 << "the uninstall entry in the sandbox's own hive";
         },
         THow::Answers,
         {},
         platform::InstallScope::User,
         "outside/hives"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        THostileBox box(c.scope, c.registryDir);
        if (c.plant)
            c.plant(box);
        std::set<std::string> before = box.Walk();
        auto result = box.Install(Replace(c.json, "@P@", box.Parent()), c.how, c.faults);
        EXPECT_EQ(result.completed, c.completes) << result.errorMessage;
        if (c.how == THow::GoingOn) {
            EXPECT_TRUE(result.errorAsked) << "going on after an error is no success";
        }
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
