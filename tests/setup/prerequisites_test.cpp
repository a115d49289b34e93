#include "setup/prerequisites.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "session_support.h"
#include "setup/foldervariables.h"
#include "setup/setuppackage.h"
#include "setup/silentrun.h"

namespace {

using namespace setuptest;
using platform::RootKey;

constexpr const char* kNdp = "Software\\Microsoft\\NET Framework Setup\\NDP\\";

TEST(DotNetCheck, TestsTheFlaggedVersionsOnly) {
    struct Case {
        std::uint8_t versions;
        std::vector<std::pair<std::string, std::string>> present; // key, value name
        bool installed;
        std::string versionText;
    } cases[] = {
        {0, {}, true, "??.??"},
        // 2.0 or 3.5 accepted, only 3.0 present: missing, and 3.5 is asked for.
        {0x14, {{"v3.0\\Setup", "InstallSuccess"}}, false, "3.5"},
        {0x14, {{"v2.0.50727", "Install"}}, true, "3.5"},
        {0x08, {{"v3.0\\Setup", "InstallSuccess"}}, true, "3.0"},
        {0x08, {{"v3.0", "Install"}}, false, "3.0"}, // the wrong value
        {0x02, {{"v1.1.4322", "Install"}}, true, "1.1"},
        {0x10, {{"v3.5", "Install"}}, true, "3.5"},
    };
    for (const auto& c : cases) {
        auto registry = platform::OpenMemoryRegistry();
        for (const auto& [key, name] : c.present)
            registry->WriteDword(RootKey::LocalMachine, std::string(kNdp) + key, name, 1);
        EXPECT_EQ(setup::IsDotNetInstalled(*registry, c.versions), c.installed) << int(c.versions);
        EXPECT_EQ(setup::DotNetVersionText(c.versions), c.versionText);
    }
}

TEST(DotNetCheck, VersionOneIsATextThatMustFitItsBuffer) {
    const char* key = "Software\\Microsoft\\.NETFramework\\policy\\v1.0";
    auto registry = platform::OpenMemoryRegistry();
    registry->WriteDword(RootKey::LocalMachine, std::string(kNdp) + "v3.5", "Install", 2);
    EXPECT_FALSE(setup::IsDotNetInstalled(*registry, 0x11)); // 3.5 holds 2, not 1
    registry->WriteString(RootKey::LocalMachine, key, "Install", "3321-3705-x");
    EXPECT_FALSE(setup::IsDotNetVersionInstalled(*registry, 0)); // longer than 10 bytes
    registry->WriteString(RootKey::LocalMachine, key, "Install", "3321-3705");
    EXPECT_TRUE(setup::IsDotNetInstalled(*registry, 0x11));
}

TEST(ThirdPartyCheck, RegistryKeyValueAndFile) {
    TSandbox sandbox;
    WriteFile(sandbox.Path("present.dll"), "x");
    auto registry = platform::OpenMemoryRegistry();
    registry->WriteDword(RootKey::LocalMachine, "Software\\Tool", "InstallSuccess", 7);
    registry->WriteString(RootKey::CurrentUser, "Software\\Viewer", "InstallSuccess", "Yes");
    registry->CreateKey(RootKey::LocalMachine, "Software\\Bare");
    setup::TFolderVariables folders;
    folders.DefineNative("%TOOLS%", "Tools", sandbox.Dir(), false);
    struct Case {
        std::string key, valueCheck, expected, file;
        bool installed;
    } cases[] = {
        {"", "", "", "", false}, // nothing to test: missing
        {"HKEY_LOCAL_MACHINE\\Software\\Bare", "", "", "", true},
        {"hkey_local_machine\\Software\\Bare", "", "", "", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Gone", "", "", "", false},
        {"HKEY_CURRENT_CONFIG\\Software\\Bare", "", "", "", false},
        {"HKLM\\Software\\Bare", "", "", "", false},                  // only the long root names
        {"HKEY_LOCAL_MACHINE\\Software\\Bare", "yes", "", "", false}, // no InstallSuccess
        {"HKEY_LOCAL_MACHINE\\Software\\Tool", "yes", "", "", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Tool", "yes", "7", "", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Tool", "yes", "8", "", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Tool", "yes", "seven", "", false},
        {"HKEY_CURRENT_USER\\Software\\Viewer", "yes", "YES", "", true},
        {"HKEY_CURRENT_USER\\Software\\Viewer", "yes", "no", "", false},
        {"", "", "", "%TOOLS%\\present.dll", true},
        {"", "", "", "%TOOLS%\\absent.dll", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Bare", "", "", "%TOOLS%\\absent.dll", false},
    };
    for (const auto& c : cases) {
        setup::T3rdParty t;
        t.registryKey = c.key;
        t.valueCheck = c.valueCheck;
        t.expectedValue = c.expected;
        t.filePath = c.file;
        EXPECT_EQ(setup::Is3rdPartyInstalled(t, *registry, folders), c.installed)
            << c.key << " " << c.expected << " " << c.file;
    }
}

TEST(InstallerCommand, MsiGoesThroughMsiexecFoundOnPath) {
    auto lookup = [](const std::string& name) -> std::optional<std::string> {
        return "/usr/local/bin/" + name;
    };
    auto msi = setup::InstallerCommand("/tmp/x/Runtime Setup.MSI", "/quiet /norestart", lookup);
    EXPECT_EQ(msi.argv, (std::vector<std::string>{"/usr/local/bin/msiexec", "/i",
                                                  "/tmp/x/Runtime Setup.MSI"}));
    auto exe = setup::InstallerCommand("/tmp/x/setup.sh", "/S \"C:\\Program Files\\X\"", lookup);
    EXPECT_EQ(exe.argv,
              (std::vector<std::string>{"/tmp/x/setup.sh", "/S", "C:\\Program Files\\X"}));
    auto none = setup::InstallerCommand("/tmp/x/a.msi", "",
                                        [](const std::string&) { return std::nullopt; });
    EXPECT_TRUE(none.argv.empty());
    EXPECT_EQ(none.problem, "The installer /tmp/x/a.msi is a Windows Installer package and "
                            "cannot be run here: no msiexec was found on PATH.");
}

// A package that needs a tool: present when the file the installer writes
// exists. The installer is a shell script, packaged or beside the package.
std::string PackageNeedingTool(const std::string& flagFile, bool packaged,
                               const std::string& url = {}) {
    std::string installer = packaged ? R"(, "text": "#!/bin/sh\necho installed > \"$1\"\n")" : "";
    return R"({
  "settings": {"product": "Demo", "version": "1.0", "appFolder": "%PROGRAMFILES%\\Demo"},
  "files": [{"name": "a.txt", "text": "main"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}],
  "thirdParty": [{"name": "Tool", "installerFile": "tool-setup.sh", "downloadUrl": ")" +
           url + R"(", "parameters": "\")" + flagFile + R"(\"", "filePath": ")" + flagFile +
           R"(")" + installer + R"(}]
})";
}

TEST(Prerequisites, APackagedInstallerRunsAndItsEndResumesTheRun) {
    TSessionSandbox sandbox;
    std::string flag = sandbox.Path("tool-present");
    auto session = sandbox.Open(PackageNeedingTool(flag, true));
    ASSERT_TRUE(session->PrepareInstallation());
    setup::TPrerequisites& prerequisites = session->Prerequisites();
    auto prompt = prerequisites.Check();
    ASSERT_TRUE(prompt);
    EXPECT_FALSE(prompt->dotNet);
    EXPECT_EQ(prompt->name, "Tool");
    EXPECT_TRUE(prompt->installerStarted) << prompt->problem;
    std::string copy = prompt->installerPath;
    EXPECT_EQ(copy, session->Package().TempFolder() + "/tool-setup.sh");
    EXPECT_EQ(prompt->command, (std::vector<std::string>{copy, flag}));
    // The wizard's timer polls until the installer has ended.
    ASSERT_TRUE(prerequisites.WaitForInstaller(30000));
    EXPECT_TRUE(prerequisites.PollInstallerEnded());
    EXPECT_TRUE(Exists(flag));
    EXPECT_TRUE(prerequisites.Continue());
    EXPECT_FALSE(Exists(copy)); // the packaged copy is deleted once it succeeded
    EXPECT_FALSE(prerequisites.Check());
    EXPECT_TRUE(session->RunInstallation().completed);
    EXPECT_EQ(ReadFile(sandbox.AppFolder() + "/a.txt"), "main");
}

TEST(Prerequisites, AnInstallerBesideThePackageRunsFromThereAndStays) {
    TSessionSandbox sandbox;
    std::string flag = sandbox.Path("tool-present");
    std::string beside = sandbox.Path("tool-setup.sh");
    WriteFile(beside, "#!/bin/sh\necho installed > \"$1\"\n");
    ::chmod(beside.c_str(), 0755);
    auto session = sandbox.Open(PackageNeedingTool(flag, true));
    EXPECT_EQ(setup::RunSilent(*session), setup::TSilentExit::Done);
    EXPECT_TRUE(Exists(flag));
    EXPECT_TRUE(Exists(beside));
    EXPECT_TRUE(Exists(sandbox.AppFolder() + "/a.txt"));
}

TEST(Prerequisites, ProceedWhileStillMissingChangesNothing) {
    TSessionSandbox sandbox;
    std::string flag = sandbox.Path("tool-present");
    auto session = sandbox.Open(PackageNeedingTool(flag, false, "http://tool.example/get"));
    ASSERT_TRUE(session->PrepareInstallation());
    auto prompt = session->Prerequisites().Check();
    ASSERT_TRUE(prompt);
    EXPECT_FALSE(prompt->installerStarted);
    EXPECT_EQ(prompt->downloadUrl, "http://tool.example/get");
    EXPECT_FALSE(prompt->statusText.empty());
    EXPECT_FALSE(session->Prerequisites().Continue());
    EXPECT_EQ(session->Prerequisites().NextInstaller(), 0u);
    // Installed by hand meanwhile: Proceed goes on.
    WriteFile(flag, "by hand");
    EXPECT_TRUE(session->Prerequisites().Continue());
    EXPECT_FALSE(session->Prerequisites().Check());
}

TEST(Prerequisites, SilentRunEndsWhenOneStaysMissing) {
    TSessionSandbox sandbox;
    auto session =
        sandbox.Open(PackageNeedingTool(sandbox.Path("never"), false, "http://tool.example/get"));
    EXPECT_EQ(setup::RunSilent(*session), setup::TSilentExit::Aborted);
    EXPECT_FALSE(Exists(sandbox.AppFolder()));
    auto texts = sandbox.messenger.Texts(components::TScriptedMessenger::TRecord::Message);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("http://tool.example/get"), std::string::npos) << texts[0];
    EXPECT_EQ(sandbox.messenger.UnscriptedQuestions, 0);
}

TEST(Prerequisites, DotNetPromptNamesTheHighestAcceptedVersion) {
    TSessionSandbox sandbox;
    sandbox.Registry().WriteDword(RootKey::LocalMachine, std::string(kNdp) + "v3.0\\Setup",
                                  "InstallSuccess", 1);
    auto session = sandbox.Open(R"({
  "settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
  "uiStringOverrides": {"86": "Needs .NET %s"},
  "files": [{"name": "a.txt", "text": "main"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}],
  "dotNet": {"versions": 20, "installerFile": "dotnetfx.msi", "text": "not really"}
})");
    ASSERT_TRUE(session->PrepareInstallation());
    session->Prerequisites().SetProgramLookup([](const std::string&) { return std::nullopt; });
    auto prompt = session->Prerequisites().Check();
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(prompt->dotNet);
    EXPECT_EQ(prompt->text, "Needs .NET 3.5");
    EXPECT_FALSE(prompt->installerStarted);
    EXPECT_NE(prompt->problem.find("cannot be run here"), std::string::npos) << prompt->problem;
}

} // namespace

namespace {

TEST(Prerequisites, TheEnginesOwnDotNetPageGetsTheVersionAsked) {
    TSessionSandbox sandbox;
    auto session = sandbox.Open(std::string(R"({
  "settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
  "files": [{"name": "a.txt", "text": "main"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}],
  "dotNet": {"versions": 4, "downloadUrl": ")") +
                                setup::kDotNetDownloadPage + R"("}
})");
    ASSERT_TRUE(session->PrepareInstallation());
    auto prompt = session->Prerequisites().Check();
    ASSERT_TRUE(prompt);
    EXPECT_EQ(prompt->downloadUrl, std::string(setup::kDotNetDownloadPage) + "?v=2.0");
    // Any other page is shown as the package gives it.
    EXPECT_EQ(setup::DotNetDownloadLink("http://example.org/get", "2.0"), "http://example.org/get");
}

} // namespace
