#include <filesystem>

#include <gtest/gtest.h>

#include "install_support.h"
#include "setup/comregistration.h"
#include "setup/desktopentry.h"
#include "setup/setuperrors.h"
#include "setup/setupmain.h"

using namespace setuptest;
namespace fs = std::filesystem;

namespace {

std::string WithRegistryHex(const std::string& hex) {
    return R"JSON({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
      "files": [{"name": "a.txt", "text": "a"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}],
      "registry": {"hex": ")JSON" +
           hex + R"JSON("}})JSON";
}

} // namespace

TEST(InstallRegistry, EveryOpcode) {
    // Root HKCU: key "K" { value "S" = "%APPFOLDER%\x" (mid-text too), value
    // "D" = 0x01020304, value "B" = 3 bytes, "L" logged only, opcode 99
    // ignored, whole key marked }, then an unsupported root whose level is
    // walked without writing, then HKEY_CLASSES_ROOT with "(Default)".
    std::string t;
    t += '\0';
    t += "HKEY_CURRENT_USER";
    t += std::string("\x01K\0", 3);
    t += std::string("\x02S\0", 3) + "\x04" + "pre %APPFOLDER% post" + '\0';
    t += std::string("\x02"
                     "D\0",
                     3) +
         "\x05" + std::string("\x04\x03\x02\x01", 4);
    t += std::string("\x02"
                     "B\0",
                     3) +
         "\x06" + std::string("\x03\0\0\0", 4) + "xyz";
    t += std::string("\x02L\0", 3) + "\x03";
    t += "\x63";
    t += "\x1F";
    t += "\xFF";
    t += "\xFF";
    t += '\0';
    t += "HKEY_USERS";
    t += std::string("\x01U\0", 3) + std::string("\x02V\0", 3) + "\x04" + "no" + '\0' + "\xFF\xFF";
    t += '\0';
    t += "hkey_classes_root";
    t += std::string("\x01.q\0", 4) + std::string("\x02(default)\0", 11) + "\x04" + "qfile" + '\0' +
         "\xFF\xFF";
    TInstallSandbox sb;
    auto r = sb.Install(WithRegistryHex(HexOf(t)));
    ASSERT_TRUE(r.completed) << r.errorMessage;
    auto& reg = sb.Registry();
    using platform::RootKey;
    EXPECT_EQ(reg.ReadString(RootKey::CurrentUser, "K", "S"), "pre " + sb.AppFolder() + " post");
    EXPECT_EQ(reg.ReadDword(RootKey::CurrentUser, "K", "D"), 0x01020304u);
    EXPECT_EQ(reg.ReadBinary(RootKey::CurrentUser, "K", "B"), "xyz");
    EXPECT_FALSE(reg.ValueExists(RootKey::CurrentUser, "K", "L"));
    EXPECT_FALSE(reg.KeyExists(RootKey::Users, "U"));
    EXPECT_EQ(reg.ReadString(RootKey::ClassesRoot, ".q", ""), "qfile");
    std::string log = ReadFile(r.logPath);
    for (const char* line :
         {"HKEY_CURRENT_USER\\K\tS\n", "HKEY_CURRENT_USER\\K\tD\n", "HKEY_CURRENT_USER\\K\tB\n",
          "HKEY_CURRENT_USER\\K\tL\n", "HKEY_CURRENT_USER\\K\t*\n", "HKEY_CLASSES_ROOT\\.q\t\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(log.find("HKEY_USERS"), std::string::npos);
}

TEST(InstallRegistry, TruncatedBinaryValueRefusesThePackageBeforeAnyFile) {
    std::string t;
    t += '\0';
    t += "HKEY_CURRENT_USER";
    t += std::string("\x01K\0", 3) +
         std::string("\x02"
                     "B\0",
                     3) +
         "\x06" + std::string("\xFF\xFF\0\0", 4) + "ab";
    TInstallSandbox sb;
    auto messenger = GoingOnAfterErrors();
    auto r = sb.Install(WithRegistryHex(HexOf(t)), "p", {}, &messenger);
    EXPECT_FALSE(r.completed);
    EXPECT_TRUE(r.invalidPackage);
    EXPECT_NE(r.errorMessage.find("registry table"), std::string::npos) << r.errorMessage;
    EXPECT_TRUE(messenger.Texts(components::TScriptedMessenger::TRecord::Question).empty());
    EXPECT_FALSE(Exists(sb.AppFolder())) << "nothing installed";
    EXPECT_FALSE(sb.Registry().KeyExists(platform::RootKey::CurrentUser, "K"));
}

namespace {

// Builds a shared library from C source with the system compiler; empty
// when there is none.
std::string BuildLibrary(const TSandbox& sb, const std::string& name, const std::string& source) {
    if (!HaveProgram("cc"))
        return {};
    WriteFile(sb.Path(name + ".c"), source);
    std::string out;
    if (RunShell("cc -shared -fPIC -o '" + sb.Path(name + ".so") + "' '" + sb.Path(name + ".c") +
                     "'",
                 &out) != 0) {
        ADD_FAILURE() << out;
        return {};
    }
    return sb.Path(name + ".so");
}

} // namespace

TEST(InstallRegistration, ComServersAndTypeLibrariesAreCalledAndLogged) {
    TInstallSandbox sb;
    const char* marker =
        "#include <stdio.h>\n#include <stdlib.h>\n"
        "long DllRegisterServer(void) { FILE* f = fopen(getenv(\"BW_COM_MARK\"), "
        "\"a\"); if (!f) return 1; fputs(\"registered\\n\", f); fclose(f); return 0; }\n";
    std::string good = BuildLibrary(sb, "good", marker);
    std::string bad = BuildLibrary(sb, "bad", "long DllRegisterServer(void) { return 5; }\n");
    std::string none = BuildLibrary(sb, "none", "int Other(void) { return 0; }\n");
    if (good.empty() || bad.empty() || none.empty())
        GTEST_SKIP() << "no C compiler";
    ::setenv("BW_COM_MARK", sb.Path("mark").c_str(), 1);
    std::string json = R"JSON({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
      "files": [{"name": "good.so", "source": ")JSON" +
                       good + R"JSON("}, {"name": "bad.so", "source": ")JSON" + bad +
                       R"JSON("}, {"name": "none.so", "source": ")JSON" + none +
                       R"JSON("}, {"name": "types.tlb", "text": "MSFT0000"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [
         {"file": "good.so", "register": 1}, {"file": "bad.so", "register": 1},
         {"file": "none.so", "register": 1}, {"file": "types.tlb", "register": 1}]}]}]})JSON";
    auto r = sb.Install(json);
    ::unsetenv("BW_COM_MARK");
    ASSERT_TRUE(r.completed) << r.errorMessage;
    EXPECT_EQ(ReadFile(sb.Path("mark")), "registered\n");
    std::string log = ReadFile(r.logPath);
    std::string section4 = log.substr(log.rfind("%%%\n", log.size() - 5) + 4);
    EXPECT_EQ(section4, sb.AppFolder() + "/good.so\n" + sb.AppFolder() + "/types.tlb\n%%%\n");
}

TEST(InstallRegistration, BadTypeLibraryIsReportedWithItsPath) {
    TSandbox sb;
    WriteFile(sb.Path("x.tlb"), "not one");
    try {
        setup::RegisterTypeLibrary(sb.Path("x.tlb"));
        FAIL();
    } catch (const setup::ESetupError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "An error occurred while trying to register the type library " +
                      sb.Path("x.tlb") + ":\r\rThe file is not a type library.");
    }
    EXPECT_FALSE(setup::RegisterComServer(sb.Path("x.tlb")));
}

TEST(Launcher, ExecArgumentsAndValuesAreEscaped) {
    struct Case {
        const char* argument;
        const char* quoted;
    };
    const std::vector<Case> cases = {
        {"plain", "plain"},     {"two words", "\"two words\""},
        {"100%", "100%%"},      {"$HOME", "\"\\$HOME\""},
        {"a\"b", "\"a\\\"b\""}, {"back\\slash", "\"back\\\\slash\""},
        {"", "\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(setup::QuoteExecArgument(c.argument), c.quoted) << c.argument;
    EXPECT_EQ(setup::EscapeDesktopValue(" lead\\tab\t"), "\\slead\\\\tab\\t");
    EXPECT_THROW(setup::EscapeDesktopValue("a\nb"), setup::ESetupError);
    EXPECT_EQ(setup::SplitArguments("a \"b c\"  d"), (std::vector<std::string>{"a", "b c", "d"}));
}

TEST(Launcher, EveryLauncherKindPassesTheValidator) {
    if (!HaveProgram("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate is not installed";
    TSandbox sb;
    setup::TLauncher l;
    l.name = "Caf\xE9 \"notes\"";
    l.description = "Opens 50% of $things";
    l.target = sb.Path("my prog");
    l.arguments = {"C:\\x y", "`cmd`", "%1", "Caf\xC3\xA9"};
    l.workingDirectory = sb.Dir();
    l.icon = sb.Path("icon.ico"); // not a format launchers show: left out
    std::string app = setup::LauncherText(l);
    EXPECT_EQ(app.find("Icon="), std::string::npos);
    EXPECT_NE(app.find("Name=Caf\xC3\xA9 \"notes\"\n"), std::string::npos);
    WriteFile(sb.Path("app.desktop"), app);
    WriteFile(sb.Path("link.desktop"),
              setup::LinkLauncherText("Home page", "http://x.example/?a=1&b=%20", ""));
    for (const char* f : {"app.desktop", "link.desktop"}) {
        std::string out;
        EXPECT_EQ(RunShell("desktop-file-validate '" + sb.Path(f) + "'", &out), 0) << f << out;
        EXPECT_EQ(out, "") << f;
    }
}

TEST(SetupStart, ArgumentRulesAndMessages) {
    auto none = setup::DecideStart({});
    EXPECT_EQ(none.action, setup::TStartAction::ShowMessage);
    EXPECT_EQ(none.message,
              "This executable is part of an installation program and serves no purpose on its "
              "own.\rIt will be automatically deleted the next time you start your computer.");
    auto missing = setup::DecideStart({"/no/such/package.exe"});
    EXPECT_EQ(missing.action, setup::TStartAction::ShowMessage);
    EXPECT_EQ(missing.message, "Unable to open file /no/such/package.exe");
    TSandbox sb;
    WriteFile(sb.Path("p.exe"), "x");
    EXPECT_EQ(setup::DecideStart({sb.Path("p.exe")}).action, setup::TStartAction::Wizard);
    EXPECT_EQ(setup::DecideStart({sb.Path("p.exe"), "/SILENT"}).action,
              setup::TStartAction::Silent);
    EXPECT_EQ(setup::DecideStart({sb.Path("p.exe"), "/other", "/silent"}).action,
              setup::TStartAction::Wizard);
}

TEST(SetupTool, InstallHonoursSandboxAndExitStatus) {
    TSandbox sb;
    BuildPackage(SamplePackageJson(), sb.Path("p.exe"));
    std::string tool = std::string(BW_TOOLS_DIR) + "/setuptool";
    std::string out;
    int rc = RunShell("VEXLOR_SANDBOX='" + sb.Path("box") + "' '" + tool + "' install '" +
                          sb.Path("p.exe") + "'",
                      &out);
    EXPECT_EQ(rc, 0) << out;
    EXPECT_NE(out.find("log: " + sb.Path("box")), std::string::npos) << out;
    EXPECT_NE(out.find("/Demo/Cargon.log"), std::string::npos) << out;
    // A damaged package: non-zero, nothing installed.
    WriteFile(sb.Path("bad.exe"), std::string(200, 'x'));
    EXPECT_NE(RunShell("VEXLOR_SANDBOX='" + sb.Path("box2") + "' '" + tool + "' install '" +
                       sb.Path("bad.exe") + "'"),
              0);
}
