#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "components/applocation.h"
#include "components/shelllink.h"
#include "components/systemfolders.h"
#include "platform/registry.h"
#include "platform/resolvepath.h"
#include "platform/systemfolders.h"

namespace fs = std::filesystem;

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "bwsfXXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path); }
};

} // namespace

TEST(FileUrl, ToPath) {
    struct Case {
        const char* url;
        const char* path;
    };
    const std::vector<Case> cases = {
        {"file:///C|/My%20Files/C++ notes.bwv", "C:\\My Files\\C++ notes.bwv"},
        {"file://C:/a/b.bwv", "C:\\a\\b.bwv"},
        {"file:///home/me/C++%20notes.bwv", "/home/me/C++ notes.bwv"},
        {"file://localhost/home/me/x.bwv", "/home/me/x.bwv"},
        {"file:///tmp/bad%zzname", "/tmp/bad?name"},
        {"file:///tmp/end%4", "/tmp/end%4"},
        {"file:///tmp/caf%C3%A9", "/tmp/caf\xC3\xA9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(components::FileUrlToPath(c.url), c.path) << c.url;
    EXPECT_THROW(components::FileUrlToPath("file:///tmp/a%00.bwv"), std::invalid_argument);
}

TEST(FileArgument, RealCaseLongPathAndShortcuts) {
    TempDir dir;
    fs::create_directories(dir.path + "/My Project/Sub");
    std::ofstream(dir.path + "/My Project/Sub/Notes.bwv") << "x";
    EXPECT_EQ(components::LongPathOf(dir.path + "/my project/SUB/notes.BWV"),
              dir.path + "/My Project/Sub/Notes.bwv");
    EXPECT_EQ(components::LongPathOf(dir.path + "/my project/missing/x"),
              dir.path + "/My Project/missing/x");
    EXPECT_EQ(components::NormalizeFileArgument("file://" + dir.path + "/My%20Project"),
              dir.path + "/My Project");
    // A shortcut argument is resolved.
    components::TShellLink link;
    link.Path = dir.path + "/My Project/Sub/Notes.bwv";
    link.Save(dir.path + "/notes.LNK");
    EXPECT_EQ(components::NormalizeFileArgument(dir.path + "/./NOTES.lnk"), link.Path);
    // A network path is kept, but still resolved as a shortcut.
    EXPECT_EQ(components::NormalizeFileArgument("\\\\server\\share\\x.bwv"),
              "\\\\server\\share\\x.bwv");
    EXPECT_THROW(components::NormalizeFileArgument("\\\\server\\share\\x.lnk"), std::runtime_error);
}

TEST(FileArgument, DriveLettersGoThroughTheDriveMapBeforeAShortcutIsRead) {
    TempDir dir;
    fs::create_directories(dir.path + "/My Project/Sub");
    std::ofstream(dir.path + "/My Project/Sub/Notes.bwv") << "x";
    components::TShellLink link;
    link.Path = "C:\\Projects\\Notes.bwv";
    link.Save(dir.path + "/My Project/notes.LNK");
    // Two letters the map does not know yet: one for the test folder, one left unmapped.
    platform::DriveMap& drives = platform::DriveMap::Default();
    std::string free;
    for (char letter = 'Z'; letter > 'D' && free.size() < 2; --letter)
        if (!drives.Get(letter))
            free += letter;
    ASSERT_EQ(free.size(), 2u);
    const std::string mapped(1, free[0]), unmapped(1, free[1]);
    drives.Set(free[0], dir.path);
    struct Case {
        std::string argument;
        std::string path;
    };
    const Case cases[] = {
        {mapped + ":\\my project\\SUB\\notes.BWV", dir.path + "/My Project/Sub/Notes.bwv"},
        {mapped + ":\\My Project\\NOTES.lnk", link.Path},
        {"file:///" + mapped + "|/My%20Project/notes.lnk", link.Path},
        {"file:///" + mapped + ":/My%20Project/Sub", dir.path + "/My Project/Sub"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(components::NormalizeFileArgument(c.argument), c.path) << c.argument;
    // An unmapped drive is kept as written: the shortcut cannot be read there.
    EXPECT_EQ(components::NormalizeFileArgument(unmapped + ":\\x.bwv"), unmapped + ":\\x.bwv");
    try {
        components::NormalizeFileArgument(unmapped + ":\\x.lnk");
        ADD_FAILURE() << "an unmapped shortcut was read";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot load " + unmapped + ":\\x.lnk");
    }
    drives.Remove(free[0]);
}

TEST(AppLocation, MarkerMakesAnyDriveRemovable) {
    TempDir dir;
    std::string exe = dir.path + "/prog";
    std::ofstream(exe) << "x";
    auto plain = components::DetectAppLocation(exe);
    EXPECT_EQ(plain.AppFolder, dir.path + "/");
    EXPECT_EQ(plain.AppExePath, exe);
    EXPECT_FALSE(plain.AppDrive.empty());
    std::ofstream(dir.path + "/RemovableDrive.sys") << "marker";
    auto marked = components::DetectAppLocation(exe);
    EXPECT_TRUE(marked.AppOnRemovableDrive);
    EXPECT_FALSE(marked.AppOnNetworkDrive);
    // A drive table that says "network" for everything.
    fs::remove(dir.path + "/RemovableDrive.sys");
    std::ofstream(dir.path + "/mountinfo") << "1 0 0:1 / / rw - nfs server:/export rw\n";
    platform::DriveSources sources;
    sources.mountInfo = dir.path + "/mountinfo";
    sources.sysBlock = dir.path + "/none";
    sources.sysDevBlock = dir.path + "/none";
    auto net = components::DetectAppLocation(exe, sources);
    EXPECT_TRUE(net.AppOnNetworkDrive);
    EXPECT_FALSE(net.AppOnRemovableDrive);
    EXPECT_EQ(net.AppDrive, "/");
}

TEST(SystemFolders, RegistryValuesWinAndDefaultsFollow) {
    TempDir dir;
    auto roots = platform::SystemRoots::InSandbox(dir.path + "/root");
    auto registry = platform::OpenMemoryRegistry();
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    fs::create_directories(dir.path + "/common");
    registry->WriteString(platform::RootKey::CurrentUser, key, "Start Menu", "/menu");
    registry->WriteString(platform::RootKey::CurrentUser, key, "AppData", "/appdata/");
    registry->WriteString(platform::RootKey::CurrentUser, key, "Desktop", "");
    registry->WriteString(platform::RootKey::LocalMachine, key, "Common AppData",
                          dir.path + "/common");
    registry->WriteString(platform::RootKey::LocalMachine, key, "Common Desktop",
                          dir.path + "/gone");
    components::TSystemFolders f(*registry, roots);
    std::string win = roots.windows.string() + "/";
    EXPECT_EQ(f.Windows, win);
    EXPECT_EQ(f.StartMenu, "/menu/");
    EXPECT_EQ(f.Programs, "/menu/Programs/");
    EXPECT_EQ(f.Startup, "/menu/Programs/StartUp/");
    EXPECT_EQ(f.Desktop, win + "Desktop/") << "an empty value is not used";
    EXPECT_EQ(f.AppData, "/appdata/");
    EXPECT_EQ(f.QuickLaunch, "/appdata/Microsoft/Internet Explorer/Quick Launch/");
    EXPECT_EQ(f.CommonAppData, dir.path + "/common/");
    EXPECT_EQ(f.CommonDesktop, "") << "a folder that does not exist is not used";
    EXPECT_EQ(f.Temp, roots.temp.string() + "/");
}
