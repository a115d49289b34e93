#include "setup/foldervariables.h"

#include <gtest/gtest.h>

#include "platform/systemfolders.h"
#include "setup/packageheader.h"
#include "setup/packagenames.h"
#include "setup/setuperrors.h"
#include "setup/uistrings.h"

namespace {

using namespace setup;

TFolderVariables Sample() {
    TFolderVariables v;
    v.SetSystemFolder("PROGRAMFILES", "/opt", false);
    v.SetSystemFolder("COMMONFILES", "/opt/common", true);
    v.SetSystemFolder("DESKTOP", "/home/u/Desktop", false);
    v.SetSystemFolder("WINDOWS", "/home/u/.local/share/vexlor/windows", true);
    v.SetSetupPath("/media/cd/setup.exe");
    TSettings s;
    s.appFolder = "%PROGRAMFILES%\\Product\\";
    s.menuFolder = "%PROGRAMSMENU%\\Product";
    v.InitAppFolderVariables(s, TUiStrings());
    v.Define("%SELF%", "Self", "/data/%SELF%", false);
    v.ExpandDefinedFolders();
    return v;
}

TEST(FolderVariables, ExpansionTable) {
    TFolderVariables v = Sample();
    const struct {
        const char* text;
        const char* leading; // ExpandFolderVariable
        const char* all;     // ExpandAllFolderVariables
    } cases[] = {
        {"%APPFOLDER%\\Help", "/opt/Product/Help", "/opt/Product/Help"},
        {"%appfolder%\\x", "/opt/Product/x", "/opt/Product/x"},
        {"%NO_SUCH%\\x", "%NO_SUCH%\\x", "%NO_SUCH%\\x"},
        {"%UNKNOWN%\\x", "%UNKNOWN%\\x", "%UNKNOWN%\\x"},
        {"%COMMONFILES%", "/opt/common", "/opt/common"},
        {"%SETUPFOLDER%readme.txt", "/media/cd/readme.txt", "/media/cd/readme.txt"},
        // Inserted text is never scanned again: a folder naming its own
        // variable does not grow.
        {"%SELF%\\a", "/data/%SELF%/a", "/data/%SELF%/a"},
        {"/x %APPFOLDER%\\a", "/x %APPFOLDER%\\a", "/x /opt/Product/a"},
        {"\"%APPFOLDER%\\p.exe\" %DESKTOP%", "\"%APPFOLDER%\\p.exe\" %DESKTOP%",
         "\"/opt/Product/p.exe\" /home/u/Desktop"},
        // The path after a folder ends at a double quote: "\" outside one
        // stays.
        {"\"%APPFOLDER%\\My Presets\" \\n", "\"%APPFOLDER%\\My Presets\" \\n",
         "\"/opt/Product/My Presets\" \\n"},
        {"a\\b", "a\\b", "a\\b"},
        {"100% sure", "100% sure", "100% sure"},
        {"%", "%", "%"},
        {"a%", "a%", "a%"},
        {"%%APPFOLDER%", "%%APPFOLDER%", "%/opt/Product"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(v.ExpandFolderVariable(c.text), c.leading) << c.text;
        EXPECT_EQ(v.ExpandAllFolderVariables(c.text), c.all) << c.text;
    }
    // %APPMENU% names a system folder this scope does not define here.
    EXPECT_EQ(v.Find("%APPMENU%")->path, "%PROGRAMSMENU%\\Product");
}

TEST(FolderVariables, ExpansionsKeepOneEncodingEach) {
    TFolderVariables v = Sample();
    v.SetSystemFolder("MYDOCUMENTS", "/home/Jos\xC3\xA9/Documents", false); // UTF-8
    v.SetSystemFolder("STARTUP", "/home/\xE6\x9D\x8E/autostart", false);    // no Windows-1252
    // Registry data: Windows-1252 throughout.
    EXPECT_EQ(v.ExpandAllFolderVariables("%MYDOCUMENTS%\\Caf\xE9"),
              "/home/Jos\xE9/Documents/Caf\xE9");
    EXPECT_THROW(v.ExpandAllFolderVariables("%STARTUP%\\x"), ESetupError);
    // Launcher arguments and file paths: UTF-8 throughout.
    EXPECT_EQ(v.ExpandAllToNative("--in %MYDOCUMENTS%\\Caf\xE9"),
              "--in /home/Jos\xC3\xA9/Documents/Caf\xC3\xA9");
    EXPECT_EQ(v.ExpandFolderVariable("%MYDOCUMENTS%\\Caf\xE9"),
              "/home/Jos\xC3\xA9/Documents/Caf\xC3\xA9");
    EXPECT_EQ(v.ExpandAllToNative("\xE9\\x"), "\xC3\xA9\\x");
}

TEST(FolderVariables, LiteralFoldersGoThroughTheDriveMapAndStayInTheSandbox) {
    platform::DriveMap drives;
    drives.Set('C', "/srv/c");
    TFolderVariables open;
    open.SetDriveMap(drives);
    EXPECT_EQ(open.MapLiteralFolder("C:\\Apps\\Dup"), "/srv/c/Apps/Dup");
    EXPECT_EQ(open.MapLiteralFolder("\\Apps"), "/Apps");
    EXPECT_EQ(open.MapLiteralFolder("/tmp/elsewhere"), "/tmp/elsewhere");
    EXPECT_EQ(open.MapLiteralFolder("D:\\x"), std::nullopt) << "an unmapped drive";
    EXPECT_EQ(open.MapLiteralFolder("Apps\\Dup"), std::nullopt) << "relative";

    TFolderVariables boxed;
    boxed.InitSystemFolders(platform::SystemRoots::InSandbox("/box"));
    boxed.SetDriveMap(drives);
    EXPECT_EQ(boxed.MapLiteralFolder("C:\\Apps\\Dup"), "/box/srv/c/Apps/Dup");
    EXPECT_EQ(boxed.MapLiteralFolder("/tmp/elsewhere"), "/box/tmp/elsewhere");
    EXPECT_EQ(boxed.Confine("/box/home/x"), "/box/home/x");
    EXPECT_EQ(boxed.Confine("/"), "/box");
    EXPECT_EQ(boxed.Confine("/boxer/x"), "/box/boxer/x");
    boxed.SetSetupPath("/media/cd/setup.exe");
    EXPECT_EQ(boxed.VariableFolder("%SETUPFOLDER%"), "/box/media/cd/");
    EXPECT_EQ(boxed.VariableFolder("%SETUPDRIVE%").value().rfind("/box", 0), 0u);
}

TEST(FolderVariables, SharedFlagAndLookupOrder) {
    TFolderVariables v = Sample();
    bool shared = true;
    v.ExpandFolderVariable("%DESKTOP%\\x", &shared);
    EXPECT_FALSE(shared);
    v.ExpandFolderVariable("%WINDOWS%\\x", &shared);
    EXPECT_TRUE(shared);
    // A defined variable comes before a system folder of the same name.
    v.Define("DESKTOP", "Mine", "/mine", true);
    EXPECT_EQ(v.ExpandFolderVariable("%DESKTOP%\\x", &shared), "/mine/x");
    EXPECT_TRUE(shared);
}

TEST(FolderVariables, SupportLibraryTexts) {
    TFolderVariables v = Sample();
    v.DefineFromSupportLibrary("DATA|Data folder|*/srv/data|logs|Logs|/var/log/p|broken|x");
    const TSpecialFolder* data = v.Find("%DATA%");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->caption, "Data folder");
    EXPECT_EQ(data->path, "/srv/data");
    EXPECT_TRUE(data->shared);
    EXPECT_EQ(v.ExpandFolderVariable("%Logs%\\a"), "/var/log/p/a");
    EXPECT_EQ(v.Find("%BROKEN%"), nullptr);
    v.SetSupportSystemFolders("%FONTS%*/usr/share/fonts%Temp%/tmp");
    bool shared = false;
    EXPECT_EQ(v.ExpandFolderVariable("%fonts%\\a.ttf", &shared), "/usr/share/fonts/a.ttf");
    EXPECT_TRUE(shared);
    EXPECT_EQ(v.ExpandFolderVariable("%TEMP%\\x", &shared), "/tmp/x");
    EXPECT_FALSE(shared);
}

TEST(FolderVariables, PortableRunSendsEverythingToThePortableFolder) {
    TFolderVariables v = Sample();
    v.SetPortable(true, "/media/stick/Apps\\");
    EXPECT_EQ(v.ExpandFolderVariable("%APPFOLDER%\\bin"), "/media/stick/Apps/bin");
    EXPECT_EQ(v.ExpandFolderVariable("%DESKTOP%\\x"), "/media/stick/Apps");
    EXPECT_EQ(v.ExpandFolderVariable("plain"), "plain");
    EXPECT_EQ(v.ExpandPackagePath("%APPFOLDER%\\bin"), "/media/stick/Apps/bin");
}

TEST(FolderVariables, FoldersThatClimbOutOfTheirBaseAreRefused) {
    const struct {
        const char* text;
        bool climbs;
    } cases[] = {
        {"\\Portable\\Demo", false},
        {"Apps\\..\\Other", false},
        {"C:\\Apps\\.\\x", false},
        {"\\..\\..\\..\\escape", true},
        {"..\\x", true},
        {"C:..\\x", true},
        {"Apps/../../x", true},
        {"Apps\\x\\..\\..\\..", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClimbsOutOfBase(c.text), c.climbs) << c.text;
    // A package's literal folder stays on its drive.
    TFolderVariables v;
    v.Define("%APPFOLDER%", "App", "C:\\Apps\\..\\..\\escape", false);
    EXPECT_THROW(v.ExpandDefinedFolders(), EInvalidPackage);
}

TEST(FolderVariables, PackagePathsStayUnderTheirFolder) {
    TFolderVariables v = Sample();
    bool shared = true;
    EXPECT_EQ(v.ExpandPackagePath("%APPFOLDER%\\Help\\Caf\xE9", &shared),
              "/opt/Product/Help/Caf\xC3\xA9");
    EXPECT_FALSE(shared);
    EXPECT_EQ(v.ExpandPackagePath("%DESKTOP%"), "/home/u/Desktop");
    EXPECT_THROW(v.ExpandPackagePath("%APPFOLDER%\\..\\..\\etc"), EInvalidPackage);
    EXPECT_THROW(v.ExpandPackagePath("%UNKNOWN%\\x"), EInvalidPackage);
    EXPECT_THROW(v.ExpandPackagePath("relative\\x"), EInvalidPackage);
    // %APPMENU% stayed unexpanded: its value is no folder.
    EXPECT_THROW(v.ExpandPackagePath("%APPMENU%\\x"), EInvalidPackage);
    auto roots = v.Roots();
    EXPECT_NE(std::find(roots.begin(), roots.end(), "/opt/Product"), roots.end());
    EXPECT_NE(std::find(roots.begin(), roots.end(), "/home/u/Desktop"), roots.end());
}

} // namespace
