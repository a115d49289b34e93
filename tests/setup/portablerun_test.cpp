#include "setup/portablerun.h"

#include <gtest/gtest.h>

#include "components/applocation.h"
#include "session_support.h"
#include "setup/setuppackage.h"
#include "setup/silentrun.h"

namespace {

using namespace setuptest;
using platform::DriveType;

TEST(PortableMarker, KindsAgainstDriveTypes) {
    struct Case {
        std::uint8_t kind;
        DriveType drive;
        bool wanted;
    } cases[] = {
        {0, DriveType::Fixed, false},     {0, DriveType::Removable, false},
        {1, DriveType::Fixed, true},      {1, DriveType::Remote, true},
        {1, DriveType::Removable, false}, {2, DriveType::Fixed, true},
        {2, DriveType::Removable, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(setup::PortableMarkerWanted(c.kind, c.drive), c.wanted)
            << int(c.kind) << " " << platform::DriveTypeName(c.drive);
}

TEST(PortableMarker, WrittenOnceAndReadByTheProgramsLocation) {
    TSandbox sandbox;
    EXPECT_TRUE(setup::WritePortableMarker(sandbox.Dir()));
    std::string marker = sandbox.Path("RemovableDrive.sys");
    EXPECT_EQ(ReadFile(marker), std::string(setup::kPortableMarkerText) + "\r\n");
    WriteFile(marker, "kept");
    EXPECT_FALSE(setup::WritePortableMarker(sandbox.Dir()));
    EXPECT_EQ(ReadFile(marker), "kept");
    // A program installed there takes its drive as removable.
    EXPECT_TRUE(components::DetectAppLocation(sandbox.Path("prog")).AppOnRemovableDrive);
}

TEST(PortableFolder, DriveRootAndTypedFolder) {
    struct Case {
        std::string root, typed, folder;
    } cases[] = {
        {"/media/stick", "\\Apps\\Demo\\", "/media/stick/Apps/Demo"},
        {"/media/stick/", "  E:\\Apps ", "/media/stick/Apps"},
        {"/", "\\Portable", "/Portable"},
        {"/media/stick", "", "/media/stick"},
        {"/media/stick", "//Apps//", "/media/stick/Apps"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(setup::PortableTargetFolder(c.root, c.typed), c.folder) << c.typed;
}

std::string PortablePackage(int markerKind, const std::string& extra = {}) {
    return R"({
  "settings": {"product": "Demo", "version": "1.0", "appFolder": "%PROGRAMFILES%\\Demo",
               "menuFolder": "%PROGRAMSMENU%\\Demo", "readme": "readme.txt"},
  "supportFiles": {"readme": {"text": "Read me."}},
  "installMode": 2, "portableMarkerKind": )" +
           std::to_string(markerKind) + R"(, "portableFolder": "\\Portable",
  "files": [{"name": "a.txt", "text": "hello"},
            {"name": "big.bin", "generated": {"size": 1048576, "seed": 3}}],
  "components": [{"name": "Main", "folders": [
     {"name": "%APPFOLDER%", "items": [{"file": "a.txt"}, {"file": "big.bin"}],
      "folders": [{"name": "Doc", "items": [{"file": "readme.txt"}]}]},
     {"name": "%APPMENU%", "items": [{"shortcut": "a.txt", "name": "Demo"},
                                     {"url": "http://vexlor.example", "name": "Home"}]}]}]
  )" + extra +
           "}";
}

TEST(PortableRun, InstallsOnlyFilesIntoThePortableFolder) {
    TSessionSandbox sandbox;
    // Volumes of 64 KiB: the 1 MiB file crosses many of them.
    auto session = sandbox.Open(PortablePackage(2, R"(, "volumeSize": 65536)"));
    EXPECT_EQ(setup::RunSilent(*session), setup::TSilentExit::Done);
    ASSERT_TRUE(session->Portable());
    std::string folder = session->PortableFolder();
    EXPECT_EQ(folder, sandbox.Roots().sandbox.string() + "/Portable");
    EXPECT_EQ(ListFolder(folder),
              (std::vector<std::string>{"Doc", "RemovableDrive.sys", "a.txt", "big.bin"}));
    EXPECT_EQ(ReadFile(folder + "/a.txt"), "hello");
    EXPECT_EQ(ReadFile(folder + "/Doc/readme.txt"), "Read me.");
    EXPECT_EQ(ReadFile(folder + "/big.bin").size(), 1048576u);
    // The same bytes as a normal installation writes.
    TSessionSandbox other;
    auto normal = other.Open(PortablePackage(2).replace(
        PortablePackage(2).find("\"installMode\": 2"), 16, "\"installMode\": 0"));
    EXPECT_EQ(setup::RunSilent(*normal), setup::TSilentExit::Done);
    EXPECT_EQ(ReadFile(folder + "/big.bin"), ReadFile(other.AppFolder() + "/big.bin"));
    // No launchers, no log, no registry entries.
    EXPECT_FALSE(Exists(sandbox.Roots().programsMenu.string() + "/Demo"));
    EXPECT_FALSE(Exists(sandbox.AppFolder()));
    EXPECT_EQ(sandbox.RegistryDump().find("Uninstall"), std::string::npos);
}

TEST(PortableRun, KindOneOnARemovableDriveWritesNoMarker) {
    TSessionSandbox sandbox;
    auto session = sandbox.Open(PortablePackage(1));
    ASSERT_TRUE(session->PrepareInstallation());
    std::string folder = sandbox.Path("stick/Apps");
    session->SetPortable(true, folder);
    setup::TPortableRun run(session->Package(), sandbox.messenger, session->PortableFolder());
    run.SetDriveTypeLookup([](const std::string&) { return DriveType::Removable; });
    setup::TInstallResult result = run.Run();
    EXPECT_TRUE(result.completed) << result.errorMessage;
    EXPECT_EQ(result.logPath, session->PortableFolder() + "/RemovableDrive.sys");
    EXPECT_FALSE(Exists(result.logPath));
    EXPECT_TRUE(Exists(session->PortableFolder() + "/a.txt"));
    ASSERT_EQ(run.Files().size(), 3u); // the shortcuts are passed over
}

TEST(PortableRun, AFailingFileAsksAndTheSafeAnswerStops) {
    TSessionSandbox sandbox;
    auto session = sandbox.Open(PortablePackage(0));
    ASSERT_TRUE(session->PrepareInstallation());
    session->SetPortable(true, sandbox.Path("stick"));
    // A file where the folder "Doc" must go.
    std::filesystem::create_directories(session->PortableFolder());
    WriteFile(session->PortableFolder() + "/Doc", "in the way");
    setup::TInstallResult result = session->RunInstallation();
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(result.aborted);
    EXPECT_TRUE(result.errorAsked);
    EXPECT_EQ(sandbox.messenger.UnscriptedQuestions, 1);
}

} // namespace
