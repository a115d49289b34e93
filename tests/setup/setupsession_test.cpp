#include "setup/setupsession.h"

#include <gtest/gtest.h>

#include "platform/tempfolder.h"
#include "session_support.h"
#include "setup/folders.h"
#include "setup/setuppackage.h"
#include "setup/silentrun.h"

namespace {

using namespace setuptest;

std::string PackageInMode(int mode) {
    return R"({
  "settings": {"product": "Demo", "version": "1.0", "appFolder": "%PROGRAMFILES%\\Demo",
               "readme": "readme.txt"},
  "uiStringOverrides": {"14": "No rights.", "15": "Cannot install.", "90": "Portable only."},
  "supportFiles": {"readme": {"text": "Read me."}},
  "installMode": )" +
           std::to_string(mode) + R"(, "portableFolder": "\\Carry",
  "files": [{"name": "a.txt", "text": "hello"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}]
})";
}

// A package whose folder "Sub" cannot be made: a file of that name already
// stands in the application folder.
std::string PackageWithABlockedFolder(TSessionSandbox& sandbox) {
    std::filesystem::create_directories(sandbox.AppFolder());
    WriteFile(sandbox.AppFolder() + "/Sub", "a file where a folder must go");
    return R"({
  "settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
  "files": [{"name": "a.txt", "text": "hello"}, {"name": "b.txt", "text": "b"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}],
     "folders": [{"name": "Sub", "items": [{"file": "b.txt"}]}]}]}]
})";
}

// What the rights probe finds without rights, by install mode.
TEST(SessionRights, ProbeFailureByInstallMode) {
    struct Case {
        int mode;
        setup::TRightsResult rights;
        setup::TSilentExit exit;
        bool installedNormally, installedPortably;
    } cases[] = {
        {0, setup::TRightsResult::NotAllowed, setup::TSilentExit::NotAllowed, false, false},
        {1, setup::TRightsResult::PortableOnly, setup::TSilentExit::Done, false, true},
        {2, setup::TRightsResult::Allowed, setup::TSilentExit::Done, false, true},
    };
    for (const auto& c : cases) {
        TSessionSandbox sandbox;
        TReadOnlyRegistry noRights(sandbox.Registry());
        {
            auto probe = sandbox.Open(PackageInMode(c.mode), &noRights, "probe");
            EXPECT_EQ(probe->CheckRights(), c.rights) << c.mode;
            EXPECT_EQ(probe->InstallationAllowed(), c.rights != setup::TRightsResult::NotAllowed);
        }
        auto session = sandbox.Open(PackageInMode(c.mode), &noRights);
        EXPECT_EQ(setup::RunSilent(*session), c.exit) << c.mode;
        EXPECT_EQ(Exists(sandbox.AppFolder() + "/a.txt"), c.installedNormally) << c.mode;
        EXPECT_EQ(Exists(sandbox.Roots().sandbox.string() + "/Carry/a.txt"), c.installedPortably)
            << c.mode;
        auto texts = sandbox.messenger.Texts(components::TScriptedMessenger::TRecord::Message);
        if (c.exit == setup::TSilentExit::NotAllowed) {
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0], "No rights.\rCannot install.");
            EXPECT_EQ(sandbox.messenger.Records[0].Caption, "");
        } else {
            // Nobody chose the portable folder: the run says where it went.
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_NE(texts[0].find(sandbox.Roots().sandbox.string() + "/Carry"), std::string::npos)
                << texts[0];
        }
    }
}

TEST(SessionRights, APortableFolderWithoutASandboxLiesInTheHomeFolder) {
    // Never at the file system's root: the home folder takes its place.
    TSessionSandbox sandbox;
    platform::SystemRoots roots = sandbox.Roots();
    roots.sandbox.clear();
    TReadOnlyRegistry noRights(sandbox.Registry());
    BuildPackage(PackageInMode(1), sandbox.Path("p.exe"));
    setup::TSetupSession session(roots, noRights, sandbox.messenger, sandbox.SelfPath());
    session.Open(sandbox.Path("p.exe"));
    EXPECT_EQ(session.CheckRights(), setup::TRightsResult::PortableOnly);
    EXPECT_EQ(session.PortableFolder(), roots.home.string() + "/Carry");
}

TEST(SessionRights, TheProbeWritesTheProgramPath) {
    TSessionSandbox sandbox;
    auto session = sandbox.Open(PackageInMode(0));
    EXPECT_EQ(session->CheckRights(), setup::TRightsResult::Allowed);
    EXPECT_EQ(sandbox.Registry().ReadString(platform::RootKey::LocalMachine,
                                            "Software\\Vexlor\\Tollvane", "Setup"),
              sandbox.SelfPath());
}

TEST(SessionSilent, AnInvalidTableIsABadPackage) {
    TSessionSandbox sandbox;
    // The header reads, the folder tree names a file that does not exist.
    auto session = sandbox.Open(R"({
  "settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
  "files": [{"name": "a.txt", "text": "hello"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": 99}]}]}]
})");
    EXPECT_EQ(setup::RunSilent(*session), setup::TSilentExit::BadPackage);
    EXPECT_FALSE(Exists(sandbox.AppFolder()));
    EXPECT_EQ(sandbox.messenger.Texts(components::TScriptedMessenger::TRecord::Message).size(), 1u);
}

TEST(SessionSilent, AnErrorDuringTheRunTakesTheSafeAnswerAndAborts) {
    TSessionSandbox sandbox;
    const std::string json = PackageWithABlockedFolder(sandbox);
    auto session = sandbox.Open(json);
    EXPECT_EQ(setup::RunSilent(*session), setup::TSilentExit::Aborted);
    ASSERT_EQ(sandbox.messenger.UnscriptedQuestions, 1);
    auto questions = sandbox.messenger.Texts(components::TScriptedMessenger::TRecord::Question);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(sandbox.messenger.Records.back().Result, components::mrNo);
}

TEST(SessionSilent, GoingOnAfterAnErrorIsStillAFailedRun) {
    // A caller that answers Yes: the run completes "with errors", and the
    // exit status says so.
    TSessionSandbox sandbox;
    const std::string json = PackageWithABlockedFolder(sandbox);
    sandbox.messenger.QueueAnswer(components::mrYes);
    auto session = sandbox.Open(json);
    EXPECT_EQ(setup::RunSilent(*session), setup::TSilentExit::Aborted);
    EXPECT_TRUE(Exists(sandbox.AppFolder() + "/a.txt"));
    EXPECT_TRUE(Exists(sandbox.AppFolder() + "/Cargon.log"));
}

TEST(SessionCloseDown, DeletesTheTemporaryFilesAndSchedulesItsOwnDeletion) {
    TSessionSandbox sandbox;
    auto session = sandbox.Open(PackageInMode(0));
    session->CheckRights();
    std::string readme = session->Package().SupportPaths().at(0);
    EXPECT_TRUE(Exists(readme));
    session->CloseDown();
    EXPECT_FALSE(Exists(readme));
    // The sandbox lies in the temporary folder, where the setup executable
    // would have extracted the program.
    setup::TPendingFileOperations pending(sandbox.Roots().pendingRenames.string());
    auto entries = pending.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries[0].rename);
    EXPECT_EQ(entries[0].source, sandbox.SelfPath());
    session->CloseDown(); // once only
    EXPECT_EQ(pending.Entries().size(), 1u);
}

TEST(SessionCloseDown, AProgramOutsideTheTemporaryFolderStays) {
    TSandbox sandbox;
    EXPECT_FALSE(setup::ScheduleSelfDeletion(sandbox.Roots(), "/usr/bin/setup"));
    EXPECT_TRUE(
        setup::ScheduleSelfDeletion(sandbox.Roots(), sandbox.Roots().temp.string() + "/x/setup"));
    // A sandboxed run leaves the system's temporary folder alone.
    EXPECT_FALSE(setup::ScheduleSelfDeletion(
        sandbox.Roots(), (platform::SystemTempDirectory() / "bw-elsewhere/setup").string()));
    EXPECT_TRUE(setup::IsInsideFolder("/a/b/c", "/a/b/"));
    EXPECT_FALSE(setup::IsInsideFolder("/a/bc", "/a/b"));
    EXPECT_FALSE(setup::IsInsideFolder("/a/b", "/a/b"));
}

TEST(SessionSilent, AReplacementLeftForTheNextStartIsReported) {
    TSessionSandbox sandbox;
    // A folder with content where the file must go: it can only be replaced
    // at the next start.
    std::filesystem::create_directories(sandbox.AppFolder() + "/a.txt/inside");
    auto session = sandbox.Open(R"({
  "settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo"},
  "uiStringOverrides": {"47": "Restart to finish."},
  "files": [{"name": "a.txt", "text": "hello"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}]
})");
    EXPECT_EQ(setup::RunSilent(*session), setup::TSilentExit::Done);
    EXPECT_EQ(sandbox.messenger.Texts(components::TScriptedMessenger::TRecord::Warning),
              std::vector<std::string>{"Restart to finish."});
    EXPECT_EQ(
        setup::TPendingFileOperations(sandbox.Roots().pendingRenames.string()).Entries().size(),
        1u);
}

} // namespace
