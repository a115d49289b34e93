// `setup` as a separate process, with no display: the start-up messages on
// stderr and the silent mode's exit statuses.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const std::string kSetup = BW_BINARY_DIR "/apps/setup/setup";
const std::string kMkpackage = BW_TOOLS_DIR "/mkpackage";

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class SetupProcess : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bwsetupappXXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::string Box() const { return Path("box"); }

    void Package(const std::string& json, const std::string& name = "p.exe") {
        std::ofstream(Path("p.json")) << json;
        std::string command = Quote(kMkpackage) + " " + Quote(Path("p.json")) + " " +
                              Quote(Path(name)) + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // Runs `program` with the arguments (already quoted) in the sandbox,
    // without a display; returns the exit status and keeps stderr.
    int Run(const std::string& arguments, const std::string& program = kSetup,
            const std::string& environment = {}) {
        std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY VEXLOR_SANDBOX=" + Quote(Box()) +
                              " " + environment + " timeout 120 " + Quote(program) + " " +
                              arguments + " > /dev/null 2> " + Quote(Path("stderr.txt"));
        int status = std::system(command.c_str());
        stderr_ = ReadAll(Path("stderr.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Installed(const std::string& name) const {
        for (const auto& e : fs::recursive_directory_iterator(Box()))
            if (e.path().filename() == name)
                return e.path().string();
        return {};
    }

    std::string dir_;
    std::string stderr_;
};

// With a readme: the support files go to the (sandbox's) temporary folder.
const char* kGoodPackage = R"({
  "settings": {"product": "Demo", "version": "1.0", "appFolder": "%PROGRAMFILES%\\Demo",
               "readme": "readme.txt"},
  "supportFiles": {"readme": {"text": "Read me."}},
  "files": [{"name": "a.txt", "text": "hello"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}]
})";

TEST_F(SetupProcess, StartUpMessagesGoToStderrWithoutADisplay) {
    EXPECT_EQ(Run(""), 3);
    EXPECT_EQ(stderr_, "Vexlor Packwhistler: This executable is part of an installation program "
                       "and serves no purpose on its own.\nIt will be automatically deleted the "
                       "next time you start your computer.\n");
    EXPECT_EQ(Run(Quote(Path("missing.exe")) + " /silent"), 3);
    EXPECT_EQ(stderr_, "Vexlor Packwhistler: Unable to open file " + Path("missing.exe") + "\n");
    EXPECT_FALSE(fs::exists(Box())); // nothing is created
}

TEST_F(SetupProcess, SilentExitStatuses) {
    Package(kGoodPackage);
    std::ofstream(Path("garbage.exe")) << std::string(4096, 'G');
    // Hives in a "folder" that is a file inside the sandbox.
    fs::create_directories(Box());
    std::ofstream(Box() + "/hives") << "a file";
    struct Case {
        std::string name;
        std::string arguments;
        std::string environment;
        int status;
    } cases[] = {
        {"not a package", Quote(Path("garbage.exe")) + " /silent", "", 3},
        // A registry that cannot be written: no rights for a normal package.
        {"no rights", Quote(Path("p.exe")) + " /silent",
         "VEXLOR_REGISTRY_DIR=" + Quote(Box() + "/hives"), 2},
        {"installs", Quote(Path("p.exe")) + " /SILENT extra", "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.arguments, kSetup, c.environment), c.status) << c.name << "\n" << stderr_;
    }
    std::string file = Installed("a.txt");
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(ReadAll(file), "hello");
    EXPECT_NE(file.find("/Demo/a.txt"), std::string::npos) << file;
}

TEST_F(SetupProcess, ABadTableIsABadPackageBeforeAnythingIsInstalled) {
    const struct {
        const char* name;
        std::string extra;  // after the components
        std::string folder; // the component's folder
    } cases[] = {
        {"registry keys too deep",
         R"(, "registry": [{"root": "HKEY_CURRENT_USER", "keys": [{"name": ")" +
             [] {
                 std::string k = "a";
                 for (int i = 0; i < 600; ++i)
                     k += "\\\\a";
                 return k;
             }() +
             R"(", "values": [{"name": "v", "dword": 1}]}]}])",
         "%APPFOLDER%"},
        {"damaged registry bytes",
         R"(, "registry": {"hex": "00484B45595F43555252454E545F55534552014B0002420006FFFF00006162"})",
         "%APPFOLDER%"},
        {"undefined folder variable", "", "%NOSUCH%\\\\x"},
    };
    for (const auto& c : cases) {
        Package(R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
  "files": [{"name": "a.txt", "text": "hello"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]},
                                              {"name": ")" +
                c.folder + R"(", "items": [{"file": "a.txt"}]}]}])" + c.extra + "}");
        EXPECT_EQ(Run(Quote(Path("p.exe")) + " /silent"), 3) << c.name << "\n" << stderr_;
        EXPECT_TRUE(Installed("a.txt").empty()) << c.name << ": nothing installed";
    }
}

TEST_F(SetupProcess, AnErrorInSilentModeTakesTheSafeAnswer) {
    Package(R"({
  "settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
  "files": [{"name": "a.txt", "text": "hello"}, {"name": "b.txt", "text": "b"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}],
     "folders": [{"name": "Sub", "items": [{"file": "b.txt"}]}]}]}]
})");
    ASSERT_EQ(Run(Quote(Path("p.exe")) + " /silent"), 0) << stderr_;
    std::string app = fs::path(Installed("a.txt")).parent_path().string();
    fs::remove_all(app + "/Sub");
    std::ofstream(app + "/Sub") << "a file where a folder must go";
    EXPECT_EQ(Run(Quote(Path("p.exe")) + " /silent"), 1) << stderr_;
    // The question was echoed with the answer taken; nobody was waited for.
    EXPECT_NE(stderr_.find("Sub"), std::string::npos) << stderr_;
    EXPECT_NE(stderr_.find("\nAnswer: No\n"), std::string::npos) << stderr_;
    EXPECT_EQ(stderr_.find('\r'), std::string::npos) << "line breaks as line feeds";
}

TEST_F(SetupProcess, ALinkAtTheSandboxsOwnFoldersEndsTheRunBeforeItStarts) {
    const bool system = ::geteuid() == 0;
    const std::string registry =
        system ? "var/lib/vexlor/registry" : "home/.local/share/vexlor/registry";
    struct Case {
        std::string link; // below the sandbox, to the outside folder
        bool systemOnly;  // a folder only system scope uses
    } cases[] = {{"var", true},   {"var/lib/vexlor", true}, {registry, false},
                 {"home", false}, {"home/.local", false},   {"home/.config", false}};
    Package(kGoodPackage);
    for (const Case& c : cases) {
        if (c.systemOnly && !system)
            continue;
        SCOPED_TRACE(c.link);
        fs::remove_all(Box());
        fs::create_directories(Path("outside"));
        fs::create_directories(fs::path(Box() + "/" + c.link).parent_path());
        fs::create_directory_symlink(Path("outside"), Box() + "/" + c.link);
        EXPECT_EQ(Run(Quote(Path("p.exe")) + " /silent"), 1) << stderr_;
        EXPECT_NE(stderr_.find(Box() + "/" + c.link + "\" is a symbolic link"), std::string::npos)
            << stderr_;
        EXPECT_TRUE(fs::is_empty(Path("outside"))) << "written outside the sandbox";
    }
}

TEST_F(SetupProcess, AFileThatCannotBeReadIsNamedWithoutAnEmptyPublisher) {
    // No publisher: the read error's "Please contact %s." sentence goes.
    Package(kGoodPackage);
    ASSERT_EQ(std::system((Quote(kMkpackage) + " " + Quote(Path("p.json")) + " " +
                           Quote(Path("crc.exe")) + " --fault wrong-crc=0 > /dev/null")
                              .c_str()),
              0);
    EXPECT_EQ(Run(Quote(Path("crc.exe")) + " /silent"), 1) << stderr_;
    EXPECT_NE(stderr_.find("The file a.txt could not be read from the setup package.\n"),
              std::string::npos)
        << stderr_;
    EXPECT_EQ(stderr_.find("Please contact"), std::string::npos) << stderr_;
}

TEST_F(SetupProcess, AnExtractedCopyIsDeletedAtTheNextStart) {
    Package(kGoodPackage);
    fs::create_directories(Path("box/tmp/stub"));
    std::string copy = Path("box/tmp/stub/setup");
    fs::copy_file(kSetup, copy);
    fs::permissions(copy, fs::perms::owner_all);
    ASSERT_EQ(Run(Quote(Path("p.exe")) + " /silent", copy), 0) << stderr_;
    EXPECT_TRUE(fs::exists(copy));
    // A start without a package creates and deletes nothing; the next start
    // on a package carries the deletion out.
    EXPECT_EQ(Run(""), 3);
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_EQ(Run(Quote(Path("p.exe")) + " /silent"), 0) << stderr_;
    EXPECT_FALSE(fs::exists(copy));
}

TEST_F(SetupProcess, APlantedPendingListChangesNothingOutsideTheSandbox) {
    Package(kGoodPackage);
    std::ofstream(Path("victim")) << "untouched";
    ASSERT_EQ(Run(Quote(Path("p.exe")) + " /silent"), 0) << stderr_;
    std::ofstream(Path("box/inside")) << "x";
    // Where the pending list lives in a sandbox of this scope.
    const std::string list = ::geteuid() == 0
                                 ? Path("box/var/lib/vexlor/pending-renames")
                                 : Path("box/home/.local/share/vexlor/pending-renames");
    fs::create_directories(fs::path(list).parent_path());
    std::ofstream(list) << "D\t" << Path("victim") << "\nD\t" << Path("box/inside") << "\n";
    EXPECT_EQ(Run(""), 3);
    EXPECT_TRUE(fs::exists(Path("box/inside"))) << "a start without arguments deletes nothing";
    EXPECT_EQ(Run(Quote(Path("p.exe")) + " /silent"), 0) << stderr_;
    EXPECT_EQ(ReadAll(Path("victim")), "untouched");
    EXPECT_FALSE(fs::exists(Path("box/inside"))) << "inside the sandbox it is carried out";
}

} // namespace
