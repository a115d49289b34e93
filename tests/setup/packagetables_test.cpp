#include "setup/packagetables.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "setup/packagedump.h"
#include "setup/setuperrors.h"
#include "setup/setuppackage.h"
#include "setup_support.h"

namespace {

using namespace setup;
using setuptest::TSandbox;

TEST(HexDumpPackage, DecodesToTheExpectedDump) {
    TSandbox box;
    std::string bytes =
        setuptest::DecodeHexDump(setuptest::ReadFile(BW_TEST_DATA "/setup/tiny.hexdump"));
    ASSERT_EQ(bytes.size(), 0x265u);
    setuptest::WriteFile(box.Path("tiny.exe"), bytes);
    platform::SystemRoots roots = platform::SystemRoots::InSandbox("/sandbox");
    roots.temp = box.Roots().temp;
    TSetupPackage package(roots);
    package.Open(box.Path("tiny.exe"));
    package.PrepareInstallation();
    EXPECT_EQ(DumpPackage(package), setuptest::ReadFile(BW_TEST_DATA "/setup/tiny.dump"));
    EXPECT_EQ(package.Settings().FullProductTitle(), "Vexlor Tiny 1.0");
    package.InstallPackageFile(0, box.Path("a.txt"));
    EXPECT_EQ(setuptest::ReadFile(box.Path("a.txt")), "hi");
}

TEST(HexDumpPackage, SetuptoolDumpPrintsTheSameText) {
    TSandbox box;
    setuptest::WriteFile(box.Path("tiny.exe"), setuptest::DecodeHexDump(setuptest::ReadFile(
                                                   BW_TEST_DATA "/setup/tiny.hexdump")));
    std::string command = std::string("env -u VEXLOR_SANDBOX '") + BW_TOOLS_DIR +
                          "/setuptool' dump '" + box.Path("tiny.exe") + "' > '" +
                          box.Path("dump.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(setuptest::ReadFile(box.Path("dump.txt")),
              setuptest::ReadFile(BW_TEST_DATA "/setup/tiny.dump"));
}

TEST(HexDumpPackage, SetuptoolDumpReadsSupportFilesAndMakesNothing) {
    // A package with support files, dumped without a sandbox (the temporary
    // folder and home empty) and with one that does not exist yet.
    TSandbox box;
    setuptest::BuildPackage(setuptest::SamplePackageJson(), box.Path("p.exe"));
    std::filesystem::create_directories(box.Path("empty"));
    const std::string tool = std::string("'") + BW_TOOLS_DIR + "/setuptool' dump '" +
                             box.Path("p.exe") + "' > '" + box.Path("dump.txt") + "'";
    for (const std::string& env : {"env -u VEXLOR_SANDBOX TMPDIR='" + box.Path("empty") +
                                       "' HOME='" + box.Path("empty") + "' ",
                                   "env VEXLOR_SANDBOX='" + box.Path("never") + "' "}) {
        SCOPED_TRACE(env);
        ASSERT_EQ(std::system((env + tool).c_str()), 0);
        EXPECT_NE(
            setuptest::ReadFile(box.Path("dump.txt")).find("[support files] 1\n0: \"readme.txt\""),
            std::string::npos)
            << setuptest::ReadFile(box.Path("dump.txt"));
        EXPECT_TRUE(setuptest::ListFolder(box.Path("empty")).empty());
        EXPECT_FALSE(setuptest::Exists(box.Path("never")));
    }
}

TEST(Builder, OutputIsByteStable) {
    TSandbox box;
    setuptest::BuildPackage(setuptest::SamplePackageJson(), box.Path("a.exe"));
    setuptest::BuildPackage(setuptest::SamplePackageJson(), box.Path("b.exe"));
    EXPECT_EQ(setuptest::ReadFile(box.Path("a.exe")), setuptest::ReadFile(box.Path("b.exe")));
}

TEST(SampleTables, ReadWithEveryTable) {
    TSandbox box;
    std::string json = R"({
  "settings": {"product": "P", "appFolder": "%PROGRAMFILES%\\P", "menuFolder": "%PROGRAMSMENU%\\P",
               "commonAppFolder": "%COMMONAPPDATAROOT%\\P", "icon": "p.ico", "licence": "l.txt"},
  "settingsFlag": 1, "reservedGroup": ["r1", "", "r3"],
  "installMode": 1, "portableMarkerKind": 2, "allDrives": true, "portableFolder": "\\Apps\\P",
  "backdrop": {"gradientColor1": 255, "topShadow": 1, "topFont": {"name": "Serif", "size": 20}},
  "supportFiles": {"icon": {"hex": "00010203"}, "licence": {"text": "Be nice."}},
  "files": [{"name": "p.exe", "text": "program", "version": [65537, 3]}],
  "components": [{"name": "Core", "userMayChoose": false, "folders": [
      {"name": "%APPFOLDER%", "items": [{"file": "p.exe", "rule": 1, "register": true},
                                        {"file": "p.ico", "notLogged": true}]},
      {"name": "%DESKTOP%", "items": [{"shortcut": "p.exe", "description": "Run P",
                                       "arguments": "-x %APPFOLDER%", "iconFile": "p.ico",
                                       "iconIndex": 2}]}]}],
  "registry": [{"root": "HKEY_LOCAL_MACHINE", "keys": [{"name": "Software\\P", "removeKey": true,
                "values": [{"name": "Bin", "binary": "0102"}, {"name": "Old", "logOnly": true}]}]}],
  "fileTypes": [{"register": false, "description": "P document", "extension": ".pdoc",
                 "iconFile": "p.ico", "iconIndex": 1,
                 "actions": [{"verb": "Open", "program": "p.exe", "command": "\"%1\""},
                             {"verb": "print", "program": "p.exe", "command": "/p \"%1\""}]}],
  "dotNet": {"versions": 20, "installerFile": "dotnet.exe", "downloadUrl": "http://x", "text": "NET"},
  "thirdParty": [{"name": "Lib", "installerFile": "lib.msi", "registryKey": "HKEY_LOCAL_MACHINE\\Software\\Lib",
                  "valueCheck": "1", "expectedValue": "1", "filePath": "%SYSTEM%\\lib.dll", "text": "MSI"}],
  "finish": {"flags": 134, "program": "p.exe", "parameters": "/first"},
  "uninstallCommand": {"program": "p.exe", "parameters": "/remove"},
  "uninstallShortcut": false,
  "uninstallOptions": {"bytes": [3, 0, 0], "reserved": ["a", "b", "c"]}
})";
    setuptest::BuildPackage(json, box.Path("p.exe"));
    TSetupPackage p(box.Roots());
    p.Open(box.Path("p.exe"));
    const TPackageHeader& h = p.Header();
    EXPECT_TRUE(h.hasReservedGroup);
    EXPECT_EQ(h.reservedGroup[2], "r3");
    EXPECT_EQ(h.installMode, TInstallMode::NormalOrPortable);
    EXPECT_EQ(h.portableMarkerKind, 2);
    EXPECT_TRUE(h.allDrivesOption);
    EXPECT_EQ(h.portableFolder, "\\Apps\\P");
    ASSERT_TRUE(h.backdrop);
    EXPECT_EQ(h.backdropRecord.gradientColor1, 255u);
    EXPECT_TRUE(h.backdropRecord.topShadow);
    EXPECT_EQ(h.backdropRecord.topFont.name, "Serif");
    EXPECT_EQ(h.backdropRecord.topFont.size, 20);
    p.PrepareInstallation();
    EXPECT_EQ(p.IconIndex(), 0);
    EXPECT_EQ(p.LicenceIndex(), 1);
    EXPECT_EQ(p.ReadmeIndex(), -1);
    const TPackageTables& t = p.Tables();
    ASSERT_EQ(t.fileTable.files.size(), 5u); // icon, licence, p.exe, two uninstallers
    EXPECT_EQ(t.fileTable.supportCount, 2u);
    EXPECT_EQ(t.fileTable.UninstallerIndex(), 3);
    EXPECT_EQ(t.fileTable.files[2].Version(), (65537ull << 32) | 3);
    const auto& folders = t.components[0].folders;
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[1].variable, "%DESKTOP%");
    EXPECT_EQ(folders[1].path, box.Roots().desktop.string());
    const auto& copy = std::get<TCopyItem>(folders[0].items[0]);
    EXPECT_EQ(copy.fileIndex, 2);
    EXPECT_EQ(copy.replaceRule, 1);
    EXPECT_TRUE(copy.registerAfterCopy);
    EXPECT_TRUE(std::get<TCopyItem>(folders[0].items[1]).notLogged);
    const auto& link = std::get<TShortcutItem>(folders[1].items[0]);
    EXPECT_EQ(link.arguments, "-x %APPFOLDER%");
    EXPECT_EQ(link.iconFile, 0);
    EXPECT_EQ(link.iconIndex, 2);
    // 00, root name, key op, Bin (binary 2 bytes), Old (log only), 31, two ends.
    EXPECT_EQ(t.registryTable.size(), 52u);
    EXPECT_EQ(t.registryTable.substr(0, 19), std::string("\0HKEY_LOCAL_MACHINE", 19));
    ASSERT_EQ(t.fileTypes.size(), 1u);
    EXPECT_EQ(t.fileTypes[0].DisplayText(), ".pdoc -> P document (open, print)");
    EXPECT_FALSE(t.fileTypes[0].registerType);
    EXPECT_EQ(t.dotNet.versions, 20);
    EXPECT_EQ(t.dotNet.size, 3u);
    ASSERT_EQ(t.thirdParty.size(), 1u);
    EXPECT_EQ(t.thirdParty[0].filePath, "%SYSTEM%\\lib.dll");
    EXPECT_EQ(t.thirdParty[0].position, t.dotNet.position + 3);
    p.ExtractRawBytes(t.thirdParty[0].position, t.thirdParty[0].size, box.Path("lib.msi"));
    EXPECT_EQ(setuptest::ReadFile(box.Path("lib.msi")), "MSI");
    EXPECT_THROW(p.ExtractRawBytes(t.thirdParty[0].position, 100, box.Path("x.msi")),
                 EPackageDamaged);
    EXPECT_FALSE(setuptest::Exists(box.Path("x.msi")));
    EXPECT_EQ(t.finish.flags, 134);
    EXPECT_EQ(t.finish.parameters, "/first");
    EXPECT_EQ(t.uninstallCommand.programFile, 2);
    EXPECT_EQ(t.uninstallCommand.parameters, "/remove");
    EXPECT_FALSE(t.uninstallCommand.createShortcut);
    EXPECT_TRUE(t.uninstallOptions.DeleteOldFiles());
    EXPECT_EQ(t.uninstallOptions.reserved[1], "b");
    const TSpecialFolder* common = p.Folders().Find("%APPCOMMONFOLDER%");
    ASSERT_NE(common, nullptr);
    EXPECT_TRUE(common->shared);
}

struct Malformed {
    const char* name;
    std::string json; // fields added to a valid description
    const char* message;
    std::vector<std::string> faults = {};
};

std::string Base(const std::string& extra, const std::string& items = R"([{"file": "a.txt"}])") {
    return R"({"settings": {"product": "P", "appFolder": "%PROGRAMFILES%\\P"},
               "files": [{"name": "a.txt", "text": "a"}],
               "components": [{"name": "C", "folders": [{"name": "%APPFOLDER%", "items": )" +
           items + "}]}]" + (extra.empty() ? "" : ", " + extra) + "}";
}

std::string Deep(int levels) {
    std::string json = R"({"name": "d", "items": []})";
    for (int i = 1; i < levels; ++i)
        json = R"({"name": "d", "folders": [)" + json + "]}";
    return R"({"settings": {"product": "P", "appFolder": "%PROGRAMFILES%\\P"},
               "components": [{"name": "C", "folders": [{"name": "%APPFOLDER%", "folders": [)" +
           json + "]}]}]}";
}

class MalformedTest : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedTest, IsRefusedWithItsOwnMessage) {
    const Malformed& m = GetParam();
    TSandbox box;
    std::vector<std::string> args;
    for (const auto& f : m.faults) {
        args.push_back("--fault");
        args.push_back(f);
    }
    setuptest::BuildPackage(m.json, box.Path("p.exe"), args);
    TSetupPackage p(box.Roots());
    try {
        p.Open(box.Path("p.exe"));
        p.PrepareInstallation();
        FAIL() << m.name << ": accepted";
    } catch (const EInvalidPackage& e) {
        EXPECT_NE(std::string(e.what()).find(m.message), std::string::npos)
            << m.name << ": " << e.what();
    } catch (const EPackageDamaged& e) {
        EXPECT_NE(std::string(e.what()).find(m.message), std::string::npos)
            << m.name << ": " << e.what();
    }
    // Nothing was written outside the private temporary folder.
    EXPECT_TRUE(setuptest::ListFolder(box.Roots().programFiles.string()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Tables, MalformedTest,
    ::testing::Values(
        Malformed{"dependency", R"({"components": [{"name": "C", "dependencies": [3]}]})",
                  "depends on component 3"},
        Malformed{"file index", Base("", R"([{"file": 99}])"), "a file item names file 99"},
        Malformed{"shortcut target", Base("", R"([{"shortcut": 50}])"), "a shortcut names file 50"},
        Malformed{"shortcut icon", Base("", R"([{"shortcut": "a.txt", "iconFile": 77}])"),
                  "a shortcut's icon names file 77"},
        Malformed{"url icon", Base("", R"([{"url": "http://x", "name": "H", "iconFile": 60}])"),
                  "an Internet shortcut's icon names file 60"},
        Malformed{"file type icon",
                  Base(R"("fileTypes": [{"description": "D", "extension": ".d", "iconFile": 9}])"),
                  "a file type's icon names file 9"},
        Malformed{"file type program", Base(R"("fileTypes": [{"description": "D", "extension": ".d",
                          "actions": [{"verb": "open", "program": 8, "command": ""}]}])"),
                  "a file type's verb names file 8"},
        Malformed{"extension", Base(R"("fileTypes": [{"description": "D", "extension": "d"}])"),
                  "does not start with"},
        Malformed{"finish program", Base(R"("finish": {"flags": 4, "program": 40})"),
                  "the program to run when done names file 40"},
        Malformed{"uninstall command", Base(R"("uninstallCommand": {"program": 40})"),
                  "the uninstall command names file 40"},
        Malformed{"no uninstallers", Base(R"("uninstallers": false)"),
                  "lacks the two uninstallers"},
        Malformed{"item kind", Base("", R"([{"kind": 16}])"), "unknown kind 16"},
        Malformed{"item cut short", Base("", R"([{"kind": 128, "hex": "00"}])"), "ends too soon"},
        Malformed{"file name ..", Base(R"("files": [{"name": ".."}])", "[]"), "file name \"..\""},
        Malformed{"file name slash", Base(R"("files": [{"name": "a/b"}])", "[]"),
                  "the character /"},
        Malformed{"file name backslash", Base(R"("files": [{"name": "a\\b"}])", "[]"),
                  "the character \\"},
        Malformed{"file name control", Base(R"("files": [{"name": "a\u0001"}])", "[]"),
                  "control character"},
        Malformed{"file name long",
                  Base(R"("files": [{"name": ")" + std::string(256, 'n') + "\"}]", "[]"),
                  "longer than 255"},
        Malformed{"shortcut name", Base("", R"([{"shortcut": "a.txt", "name": ".."}])"),
                  "shortcut name"},
        Malformed{"url name", Base("", R"([{"url": "http://x", "name": ""}])"),
                  "Internet shortcut name"},
        Malformed{"support file", Base(R"("settings": {"product": "P", "readme": "../r.txt",
                                          "appFolder": "%PROGRAMFILES%\\P"})"),
                  "readme file"},
        Malformed{"installer name",
                  Base(R"("thirdParty": [{"name": "L", "installerFile": "a:b"}])"),
                  "installer name"},
        Malformed{"deep folder ..",
                  R"({"settings": {"appFolder": "%PROGRAMFILES%\\P"}, "components": [{"name": "C",
                      "folders": [{"name": "%APPFOLDER%", "folders": [{"name": "..", "items": []}]}]}]})",
                  "folder name \"..\""},
        Malformed{"top-level ..",
                  R"({"settings": {"appFolder": "%PROGRAMFILES%\\P"}, "components": [{"name": "C",
                      "folders": [{"name": "%APPFOLDER%\\..\\..", "items": []}]}]})",
                  "folder name \"..\""},
        Malformed{
            "top-level without variable",
            R"({"components": [{"name": "C", "folders": [{"name": "C:\\Windows", "items": []}]}]})",
            "does not start with a folder variable"},
        Malformed{
            "top-level glued",
            R"({"components": [{"name": "C", "folders": [{"name": "%DESKTOP%x", "items": []}]}]})",
            "does not separate"},
        Malformed{
            "variable climbing out",
            R"({"settings": {"appFolder": "%PROGRAMFILES%\\..\\..\\etc"}, "components": [{"name": "C",
                      "folders": [{"name": "%APPFOLDER%", "items": []}]}]})",
            "folder name \"..\""},
        Malformed{"depth", Deep(64), "deeper than 64"},
        Malformed{"install mode", Base(R"("installMode": 3)"), "install mode is 3"},
        Malformed{"offset", Base(""), "lies outside the file", {"bad-offset"}},
        Malformed{"huge string", Base(""), "16 MiB", {"huge-string"}},
        Malformed{"truncated string", Base(""), "ends too soon", {"truncate-string"}},
        Malformed{"trailing string", Base(""), "follows the end", {"trailing-string"}}),
    [](const ::testing::TestParamInfo<Malformed>& info) {
        std::string name;
        for (char c : std::string(info.param.name))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(MalformedDepth, SixtyThreeLevelsAreFine) {
    TSandbox box;
    setuptest::BuildPackage(Deep(63), box.Path("p.exe"));
    TSetupPackage p(box.Roots());
    p.Open(box.Path("p.exe"));
    EXPECT_NO_THROW(p.PrepareInstallation());
}

TEST(RequiredComponents, ReachTheirFixpoint) {
    std::vector<TComponentData> c(5);
    c[0].userMayChoose = true;
    c[0].selected = true;
    c[0].dependencies = {1};
    c[1].dependencies = {2}; // found only in the second pass
    c[2].userMayChoose = true;
    c[3].userMayChoose = true;
    c[3].dependencies = {0};
    c[3].previouslyInstalled = true;
    c[4].dependencies = {4}; // a cycle on itself settles too
    c[4].required = true;    // stale flags are cleared first
    UpdateRequiredComponents(c);
    EXPECT_FALSE(c[0].required);
    EXPECT_TRUE(c[1].required);
    EXPECT_TRUE(c[2].required);
    EXPECT_FALSE(c[3].required);
    EXPECT_FALSE(c[4].required);
    std::vector<int> images;
    for (const auto& comp : c)
        images.push_back(comp.StateImage());
    EXPECT_EQ(images, (std::vector<int>{2, 4, 4, 5, 3}));
    c[4].selected = true;
    UpdateRequiredComponents(c);
    EXPECT_TRUE(c[4].required);
    EXPECT_EQ(c[4].StateImage(), 4);
}

} // namespace
