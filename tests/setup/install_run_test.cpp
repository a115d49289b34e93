#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "install_support.h"
#include "setup/installlog.h"
#include "setup/installrun.h"

using namespace setuptest;
namespace fs = std::filesystem;

namespace {

const char* const kDemoPackage = R"JSON({
  "settings": {"publisher": "Vexlor", "publisherUrl": "http://vexlor.example", "product": "Demo",
               "version": "1.0", "releaseDate": "45000",
               "appFolder": "%PROGRAMFILES%\\Demo", "menuFolder": "%PROGRAMSMENU%\\Demo"},
  "files": [{"name": "demo.sh", "text": "#!/bin/sh\necho demo\n"},
            {"name": "notes.hlp", "text": "help text"},
            {"name": "icon.png", "hex": "89504E470D0A1A0A"},
            {"name": "readme.txt", "text": "plain"}],
  "components": [
    {"name": "Main", "description": "The program", "userMayChoose": false,
     "folders": [
       {"name": "%APPFOLDER%", "items": [{"file": "demo.sh"}, {"file": "notes.hlp"}, {"file": "icon.png"}],
        "folders": [{"name": "Docs", "items": [{"file": "readme.txt"}]}]},
       {"name": "%APPMENU%", "items": [
          {"shortcut": "demo.sh", "name": "Demo", "description": "Runs the demo",
           "arguments": "--folder \"%APPFOLDER%\\x y\" 100%", "iconFile": "icon.png"},
          {"url": "http://vexlor.example/?a=1&b=2", "name": "Home"}]},
       {"name": "%DESKTOP%", "items": [{"shortcut": "demo.sh", "name": "Demo desktop", "iconIndex": 2}]}]}],
  "registry": [{"root": "HKEY_CURRENT_USER", "keys": [{"name": "Software", "keys": [{"name": "Vexlor",
      "keys": [{"name": "Demo", "removeKey": 1,
        "values": [{"name": "Path", "string": "%APPFOLDER%\\bin"}, {"name": "Count", "dword": 5},
                   {"name": "Blob", "binary": "0102FF"}, {"name": "Kept"},
                   {"name": "(Default)", "string": "main"}]}]}]}]}],
  "fileTypes": [{"description": "Demo document", "extension": ".dmo", "iconFile": "icon.png",
                 "actions": [{"verb": "open", "program": "demo.sh", "command": "\"%1\""}]}],
  "uninstallShortcut": 1
})JSON";

std::string Golden(const std::string& name) {
    return ReadFile(std::string(BW_TEST_DATA) + "/setup/install/" + name);
}

// Set BW_UPDATE_GOLDEN=1 to rewrite the golden files from this run.
void CompareGolden(const std::string& name, const std::string& actual) {
    if (std::getenv("BW_UPDATE_GOLDEN")) {
        fs::create_directories(std::string(BW_TEST_DATA) + "/setup/install");
        WriteFile(std::string(BW_TEST_DATA) + "/setup/install/" + name, actual);
    }
    EXPECT_EQ(Golden(name), actual) << name;
}

} // namespace

TEST(InstallRun, BuilderPackageGivesTreeGoldenLogAndRegistry) {
    TInstallSandbox sb;
    auto result = sb.Install(kDemoPackage);
    ASSERT_TRUE(result.completed) << result.errorMessage;
    EXPECT_FALSE(result.rebootNeeded);
    std::string app = sb.AppFolder();
    EXPECT_EQ(result.logPath, app + "/Cargon.log");
    EXPECT_EQ(ReadFile(app + "/demo.sh"), "#!/bin/sh\necho demo\n");
    EXPECT_EQ(ReadFile(app + "/Docs/readme.txt"), "plain");
    EXPECT_TRUE(Exists(sb.Roots().windows.string() + "/RetraxalV.exe"));

    struct stat st {};
    ASSERT_EQ(::stat((app + "/demo.sh").c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IXUSR, 0u) << "a script gets the executable bit";
    ASSERT_EQ(::stat((app + "/Docs/readme.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0111, 0u);

    CompareGolden("demo.log", sb.Relative(ReadFile(result.logPath)));
    CompareGolden("demo-registry.txt", sb.RegistryDump());

    ASSERT_EQ(result.launchers.size(), 4u);
    for (const auto& l : result.launchers) {
        EXPECT_TRUE(Exists(l)) << l;
        if (HaveProgram("desktop-file-validate")) {
            std::string out;
            EXPECT_EQ(RunShell("desktop-file-validate '" + l + "'", &out), 0) << l << "\n" << out;
            EXPECT_EQ(out.find("error"), std::string::npos) << out;
        }
    }
    std::string menu = sb.Roots().programsMenu.string() + "/Demo";
    std::string launcher = ReadFile(menu + "/Demo.desktop");
    EXPECT_NE(launcher.find("Exec=" + app + "/demo.sh --folder \"" + app + "/x y\" 100%%\n"),
              std::string::npos)
        << launcher;
    EXPECT_NE(launcher.find("Icon=" + app + "/icon.png\n"), std::string::npos);
    EXPECT_NE(ReadFile(menu + "/Home.desktop").find("Type=Link\n"), std::string::npos);
    // The uninstall launcher hands the log path to the uninstaller.
    EXPECT_NE(ReadFile(menu + "/Uninstall Demo.desktop")
                  .find("Exec=" + sb.Roots().windows.string() + "/RetraxalV.exe " + result.logPath +
                        "\n"),
              std::string::npos);
}

TEST(InstallRun, FileTypesProjectToMimeAndLauncher) {
    TInstallSandbox sb;
    auto result = sb.Install(kDemoPackage);
    ASSERT_TRUE(result.completed) << result.errorMessage;
    std::string mime = sb.Roots().mimePackages.string();
    std::string xml = ReadFile(mime + "/packages/x-vexlor-dmo.xml");
    EXPECT_NE(xml.find("<glob pattern=\"*.dmo\"/>"), std::string::npos);
    std::string launcher = sb.Roots().xdgDataHome.string() + "/applications/x-vexlor-dmo.desktop";
    ASSERT_TRUE(Exists(launcher));
    EXPECT_NE(ReadFile(launcher).find("MimeType=application/x-vexlor-dmo;"), std::string::npos);
    if (HaveProgram("desktop-file-validate")) {
        EXPECT_EQ(RunShell("desktop-file-validate '" + launcher + "'"), 0);
    }
    if (HaveProgram("update-mime-database")) {
        // update-mime-database has read the package file and compiled it.
        EXPECT_TRUE(Exists(mime + "/application/x-vexlor-dmo.xml"));
        EXPECT_NE(ReadFile(mime + "/globs2").find("*.dmo"), std::string::npos);
    }
}

TEST(InstallRun, ReinstallRewritesNothingAndKeepsSharedCounts) {
    TInstallSandbox sb;
    ASSERT_TRUE(sb.Install(kDemoPackage).completed);
    std::string app = sb.AppFolder();
    std::string uninstaller = sb.Roots().windows.string() + "/RetraxalV.exe";
    std::vector<std::string> paths = {app + "/demo.sh", app + "/Docs/readme.txt", uninstaller,
                                      sb.Roots().programsMenu.string() + "/Demo/Demo.desktop"};
    std::vector<unsigned long> inodes;
    for (const auto& p : paths)
        inodes.push_back(InodeOf(p));
    auto count = sb.Registry().ReadDword(platform::RootKey::LocalMachine, setup::kSharedDllsKey,
                                         uninstaller);
    ASSERT_TRUE(count.has_value());
    EXPECT_EQ(*count, 1u);
    std::string firstLog = ReadFile(app + "/Cargon.log");

    auto again = sb.Install(kDemoPackage);
    ASSERT_TRUE(again.completed) << again.errorMessage;
    EXPECT_EQ(again.logPath, app + "/Cargon.log") << "the earlier log is reused";
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(InodeOf(paths[i]), inodes[i]) << paths[i];
    EXPECT_EQ(sb.Registry().ReadDword(platform::RootKey::LocalMachine, setup::kSharedDllsKey,
                                      uninstaller),
              1u);
    EXPECT_EQ(ReadFile(app + "/Cargon.log"), firstLog);
}

TEST(InstallRun, SharedCountGrowsForAnotherInstallation) {
    TInstallSandbox sb;
    std::string uninstaller = sb.Roots().windows.string() + "/RetraxalV.exe";
    // Another product installed the same shared file before.
    fs::create_directories(sb.Roots().windows);
    WriteFile(uninstaller, "other");
    sb.Registry().WriteDword(platform::RootKey::LocalMachine, setup::kSharedDllsKey, uninstaller,
                             1);
    ASSERT_TRUE(sb.Install(kDemoPackage).completed);
    EXPECT_EQ(sb.Registry().ReadDword(platform::RootKey::LocalMachine, setup::kSharedDllsKey,
                                      uninstaller),
              2u);
}

namespace {

std::string VersionedPackage(const std::string& rule, const std::string& date,
                             const std::string& versionJson, const std::string& text) {
    return R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
      "files": [{"name": "lib.bin", "text": ")" +
           text + R"(", "date": )" + date + versionJson + R"(}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%",
         "items": [{"file": "lib.bin", "rule": )" +
           rule + R"(}]}]}]})";
}

// A file holding a fixed file information block with the given version.
std::string WithVersion(std::uint32_t high, std::uint32_t low) {
    std::string s = "MZ-padding-";
    s += std::string("\xBD\x04\xEF\xFE", 4);
    s += std::string("\x00\x00\x01\x00", 4);
    for (std::uint32_t v : {high, low})
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

} // namespace

TEST(InstallRun, SkipRulesByRuleDateAndVersion) {
    // 0x5A6B3C20 is 2025-03-11 07:33; 0x30210000 is 2004-01-01.
    const std::uint32_t kNew = 0x5A6B3C20;
    struct Case {
        const char* name;
        std::string rule;
        std::string existing;
        std::uint32_t existingDate; // DOS date of the existing file
        std::string versionJson;    // of the packaged file
        bool replaced;
    };
    const std::vector<Case> cases = {
        {"rule 0 always replaces", "0", "old", kNew, "", true},
        {"rule 2 never touches", "2", "old", 0x30210000, "", false},
        {"rule 3 never touches", "3", "old", 0x30210000, "", false},
        {"rule 1 replaces an older date", "1", "old", 0x30210000, "", true},
        {"rule 1 keeps a newer date", "1", "old", 0x7A210000, "", false},
        {"rule 1: lower version replaced despite newer date", "1", WithVersion(1, 0xFFFFFFFF),
         0x7A210000, R"(, "version": [2, 0])", true},
        {"rule 1: higher version kept despite older date (unsigned halves)", "1",
         WithVersion(0x80000000, 0), 0x30210000, R"(, "version": [1, 0])", false},
        {"rule 1: low part compared unsigned", "1", WithVersion(1, 0x80000000), 0x30210000,
         R"(, "version": [1, 5])", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TInstallSandbox sb;
        std::string target = sb.AppFolder() + "/lib.bin";
        fs::create_directories(sb.AppFolder());
        WriteFile(target, c.existing);
        struct timespec times[2];
        times[0].tv_sec = times[1].tv_sec = setup::DosDateToTime(c.existingDate);
        times[0].tv_nsec = times[1].tv_nsec = 0;
        ::utimensat(AT_FDCWD, target.c_str(), times, 0);
        std::string packaged = c.versionJson.empty() ? "new" : "new-versioned";
        auto r =
            sb.Install(VersionedPackage(c.rule, std::to_string(kNew), c.versionJson, packaged));
        ASSERT_TRUE(r.completed) << r.errorMessage;
        EXPECT_EQ(ReadFile(target) == packaged, c.replaced);
        // Logged either way.
        EXPECT_NE(ReadFile(r.logPath).find(target + "\n"), std::string::npos);
    }
}

TEST(InstallRun, SameSizeAndCrcIsNotCopiedAgain) {
    TInstallSandbox sb;
    std::string target = sb.AppFolder() + "/lib.bin";
    fs::create_directories(sb.AppFolder());
    WriteFile(target, "same");
    unsigned long inode = InodeOf(target);
    auto r = sb.Install(VersionedPackage("0", "1512517632", "", "same"));
    ASSERT_TRUE(r.completed);
    EXPECT_EQ(InodeOf(target), inode);
}

TEST(InstallRun, RunningProgramIsReplacedWithoutRestart) {
    if (!Exists("/bin/sleep"))
        GTEST_SKIP() << "no /bin/sleep";
    TInstallSandbox sb;
    auto package = [](const std::string& content) {
        return std::string(R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
          "files": [{"name": "sleeper", )") +
               content + R"(}],
          "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%",
             "items": [{"file": "sleeper"}]}]}]})";
    };
    ASSERT_TRUE(sb.Install(package(R"("source": "/bin/sleep")"), "p1").completed);
    std::string target = sb.AppFolder() + "/sleeper";
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    ASSERT_NE(st.st_mode & S_IXUSR, 0u) << "an ELF file gets the executable bit";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(target.c_str(), "sleeper", "5", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);
    ::usleep(100000);
    auto r = sb.Install(package(R"("text": "replacement")"), "p2");
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(r.completed) << r.errorMessage;
    EXPECT_FALSE(r.rebootNeeded);
    EXPECT_EQ(ReadFile(target), "replacement");
}

TEST(InstallRun, TraversalPackageIsRefusedBeforeAnyWrite) {
    TInstallSandbox sb;
    std::string json = R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
      "files": [{"name": "..\\..\\evil", "text": "x"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%",
         "items": [{"file": 0}]}]}]})";
    BuildPackage(json, sb.Path("bad.exe"));
    auto messenger = GoingOnAfterErrors();
    setup::TInstallAnswers answers;
    EXPECT_THROW(
        setup::InstallPackage(sb.Path("bad.exe"), answers, sb.Roots(), sb.Registry(), messenger),
        std::exception);
    EXPECT_FALSE(Exists(sb.AppFolder()));
    EXPECT_FALSE(Exists(sb.Roots().programFiles.string() + "/evil"));
    EXPECT_FALSE(Exists(sb.Roots().windows.string() + "/RetraxalV.exe"));
}

TEST(InstallRun, LineBreakInShortcutTextRefusesThePackage) {
    TInstallSandbox sb;
    std::string json = R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo",
                    "menuFolder": "%PROGRAMSMENU%\\Demo"},
      "files": [{"name": "a.txt", "text": "a"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]},
         {"name": "%APPMENU%", "items": [{"shortcut": "a.txt", "name": "A",
            "description": "line\nExec=/bin/evil"}]}]}]})";
    auto messenger = GoingOnAfterErrors();
    auto r = sb.Install(json, "p", {}, &messenger);
    // Refused with the other checks of the tables, before the first file.
    EXPECT_FALSE(r.completed);
    EXPECT_TRUE(r.invalidPackage);
    EXPECT_NE(r.errorMessage.find("line break"), std::string::npos) << r.errorMessage;
    EXPECT_TRUE(messenger.Texts(components::TScriptedMessenger::TRecord::Question).empty());
    EXPECT_FALSE(Exists(sb.AppFolder()));
    EXPECT_FALSE(Exists(sb.Roots().programsMenu.string() + "/Demo/A.desktop"));
}

TEST(InstallRun, NoAfterAnErrorEndsTheRunSilently) {
    TInstallSandbox sb;
    std::string json = R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo",
                    "menuFolder": "%PROGRAMSMENU%\\Demo"},
      "files": [{"name": "a.txt", "text": "a"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]},
         {"name": "%APPMENU%", "items": [{"shortcut": "a.txt", "name": "A"}]}]}],
      "registry": [{"root": "HKEY_CURRENT_USER", "keys": [{"name": "Software\\Demo",
         "values": [{"name": "V", "dword": 1}]}]}]})";
    // A file where the menu folder must go: the launcher cannot be made.
    std::filesystem::create_directories(sb.Roots().programsMenu);
    WriteFile(sb.Roots().programsMenu.string() + "/Demo", "in the way");
    components::TScriptedMessenger messenger;
    auto r = sb.Install(json, "p", {}, &messenger);
    EXPECT_FALSE(r.completed);
    EXPECT_TRUE(r.aborted);
    EXPECT_TRUE(r.errorMessage.empty());
    EXPECT_FALSE(sb.Registry().ValueExists(platform::RootKey::CurrentUser, "Software\\Demo", "V"))
        << "the registry section never ran";
}
