#include <gtest/gtest.h>

#include <fstream>

#include <cstdlib>

#include "platform/errors.h"
#include "platform/resolvepath.h"
#include "platform/systemfolders.h"
#include "platform/tempfolder.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

class ResolvePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = temp.Path();
        fs::create_directories(root / "Help" / "Images");
        std::ofstream(root / "Help" / "Images" / "Logo.BMP") << "x";
        fs::create_directories(root / "Docs" / "Caf\xC3\xA9"); // UTF-8 on disk
        std::ofstream(root / "Docs" / "Caf\xC3\xA9" / "Readme.txt") << "x";
        fs::create_directories(root / "Dup");
        fs::create_directories(root / "DUP");
        fs::create_directories(root / "Drive D");
        drives.Set('C', root);
        drives.Set('d', root / "Drive D");
    }
    TempFolder temp{"bw-resolve"};
    fs::path root;
    DriveMap drives;
};

TEST_F(ResolvePathTest, TableOfCases) {
    struct Case {
        const char* input; // Windows-1252
        fs::path expected;
    };
    const Case cases[] = {
        {"Help\\Images\\Logo.BMP", root / "Help/Images/Logo.BMP"},
        {"help\\IMAGES\\logo.bmp", root / "Help/Images/Logo.BMP"},
        {"HELP/images/LOGO.bmp", root / "Help/Images/Logo.BMP"},
        {"C:\\HELP\\images\\LOGO.bmp", root / "Help/Images/Logo.BMP"},
        {"c:help\\images", root / "Help/Images"},
        {"D:\\new.txt", root / "Drive D/new.txt"},
        {"Docs\\CAF\xC9\\readme.TXT", root / "Docs/Caf\xC3\xA9/Readme.txt"},
        {".\\Help\\..\\Docs", root / "Docs"},
        {"Help\\NoSuch\\images\\x.bmp", root / "Help/NoSuch/images/x.bmp"},
        {"help\\images\\New File.bmp", root / "Help/Images/New File.bmp"},
        {"dup", root / "DUP"},
        {"Dup", root / "Dup"},
        {"Help\\\\Images\\", root / "Help/Images"},
        {"NoSuch\\..\\help\\images", root / "Help/Images"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(resolvePath(c.input, root, drives), c.expected);
    }
}

TEST_F(ResolvePathTest, AbsoluteAndUnmappedDrives) {
    EXPECT_EQ(resolvePath(root.string() + "/HELP", "/elsewhere", drives), root / "Help");
    try {
        resolvePath("Q:\\x", root, drives);
        FAIL() << "no error";
    } catch (const PlatformError& e) {
        EXPECT_NE(std::string(e.what()).find("Q:"), std::string::npos);
    }
}

TEST_F(ResolvePathTest, RelativeNamesWithoutBaseUseTheCurrentFolder) {
    const fs::path saved = fs::current_path();
    fs::current_path(root);
    fs::path result = resolvePath("help\\images", {}, drives);
    fs::current_path(saved);
    EXPECT_EQ(fs::canonical(result), fs::canonical(root / "Help/Images"));
}

TEST(DriveMap, ReadsWineDosDevicesAndConfiguration) {
    TempFolder temp("bw-drives");
    const fs::path dos = temp.Path() / "dosdevices";
    fs::create_directories(temp.Path() / "drive_c");
    fs::create_directories(dos);
    fs::create_symlink("../drive_c", dos / "c:");
    fs::create_symlink("/", dos / "z:");
    fs::create_symlink("/dev/null", dos / "c::");
    fs::create_symlink("/tmp", dos / "com1");
    DriveMap map = DriveMap::LoadFromDosDevices(dos);
    EXPECT_EQ(map.Letters(), "CZ");
    EXPECT_EQ(map.Get('c'), temp.Path() / "drive_c");
    EXPECT_EQ(map.Get('Z'), fs::path("/"));

    const fs::path config = temp.Path() / "drives.conf";
    std::ofstream(config) << "# drives\nC=/srv/c\n d: = /mnt/d \nbad line\n1=/x\nE=\n";
    DriveMap fromConfig = DriveMap::LoadFromConfig(config);
    EXPECT_EQ(fromConfig.Letters(), "CD");
    EXPECT_EQ(fromConfig.Get('D'), fs::path("/mnt/d"));
    fromConfig.Remove('C');
    EXPECT_EQ(fromConfig.Letters(), "D");
    EXPECT_THROW(fromConfig.Set('1', "/x"), PlatformError);
}

TEST(DriveMap, EnvironmentPrefersWineThenConfigurationThenRoot) {
    TempFolder temp("bw-drives-env");
    const char* savedWine = std::getenv("WINEPREFIX");
    std::optional<std::string> saved =
        savedWine ? std::optional<std::string>(savedWine) : std::nullopt;
    ::unsetenv("WINEPREFIX");
    SystemRoots roots = SystemRoots::InSandbox(temp.Path());
    SetDefaultSystemRoots(roots);

    DriveMap none = DriveMap::LoadFromEnvironment();
    fs::create_directories(roots.xdgConfigHome / "vexlor");
    std::ofstream(roots.xdgConfigHome / "vexlor" / "drives.conf") << "E=/srv/e\n";
    DriveMap configured = DriveMap::LoadFromEnvironment();
    fs::create_directories(roots.home / ".wine" / "dosdevices");
    fs::create_symlink("/srv/w", roots.home / ".wine" / "dosdevices" / "w:");
    DriveMap wine = DriveMap::LoadFromEnvironment();

    SetDefaultSystemRoots(std::nullopt);
    if (saved) {
        ::setenv("WINEPREFIX", saved->c_str(), 1);
    }
    EXPECT_EQ(none.Letters(), "C");
    EXPECT_EQ(none.Get('C'), fs::path("/"));
    EXPECT_EQ(configured.Letters(), "E");
    EXPECT_EQ(wine.Letters(), "W");
    EXPECT_EQ(wine.Get('W'), fs::path("/srv/w"));
}

} // namespace
