#include "setup/supportlibrary.h"

#include <gtest/gtest.h>

#include "session_support.h"
#include "setup/setuppackage.h"
#include "setup/silentrun.h"

namespace {

using namespace setuptest;

TEST(SupportLibraryText, StopsAtTheFirstNulOrTheBufferEnd) {
    struct Case {
        std::string buffer;
        std::string text;
    } cases[] = {
        {std::string("abc\0def", 7), "abc"},
        {std::string("\0abc", 4), ""},
        {"abcdef", "abcdef"}, // no NUL: all of it, nothing beyond
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(setup::TextUpToNul(c.buffer.data(), c.buffer.size()), c.text) << c.text;
}

class SupportLibraryTest : public ::testing::Test {
protected:
    std::string Record() { return ReadFile(sandbox.Path("record.txt")); }

    TSessionSandbox sandbox;
    components::TScriptedMessenger messenger;
    setup::TSupportLibrary library{messenger};
};

TEST_F(SupportLibraryTest, ALibraryThatCannotBeLoadedHasNoEntryPoints) {
    EXPECT_FALSE(library.Load(sandbox.Path("missing.so")));
    EXPECT_FALSE(library.LoadError().empty());
    EXPECT_TRUE(library.AllowInstallation(nullptr));
    EXPECT_EQ(library.GetSystemFolders(), "");
    bool mayChoose = true, selected = false;
    EXPECT_FALSE(library.GetComponentSelection("Extras", false, mayChoose, selected));
    EXPECT_TRUE(mayChoose);
    EXPECT_FALSE(selected);
    library.FinishDeployment("/x"); // nothing to call
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(SupportLibraryTest, CallsEveryEntryPointWithItsArguments) {
    TSupportLibraryMode mode("", sandbox.Path("record.txt"));
    ASSERT_TRUE(library.Load(TestSupportLibrary())) << library.LoadError();
    EXPECT_TRUE(library.HasFinishDeployment());
    EXPECT_TRUE(library.AllowInstallation(nullptr));
    EXPECT_EQ(library.GetSystemFolders(), "");
    EXPECT_EQ(library.GetInstallFolders(), "%DATAFOLDER%|Data|%APPFOLDER%\\Data|");
    bool mayChoose = true, selected = false;
    EXPECT_TRUE(library.GetComponentSelection("Extras", true, mayChoose, selected));
    EXPECT_FALSE(mayChoose);
    EXPECT_TRUE(selected);
    library.FinishDeployment("/opt/Demo/install.log");
    EXPECT_EQ(Record(), "AllowInstallation\n"
                        "GetSystemFolders 32768\n"
                        "GetInstallFolders 32768\n"
                        "GetComponentSelection Extras -1 0 1\n"
                        "FinishDeployment /opt/Demo/install.log\n");
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(SupportLibraryTest, RefusalStopsTheInstallation) {
    TSupportLibraryMode mode("refuse", sandbox.Path("record.txt"));
    ASSERT_TRUE(library.Load(TestSupportLibrary()));
    EXPECT_FALSE(library.AllowInstallation(nullptr));
}

TEST_F(SupportLibraryTest, AnExceptionInsideIsShownAndTheEngineGoesOn) {
    TSupportLibraryMode mode("throw", sandbox.Path("record.txt"));
    ASSERT_TRUE(library.Load(TestSupportLibrary()));
    EXPECT_TRUE(library.AllowInstallation(nullptr));
    EXPECT_EQ(library.GetSystemFolders(), "");
    EXPECT_EQ(library.GetInstallFolders(), "");
    bool mayChoose = true, selected = false;
    EXPECT_FALSE(library.GetComponentSelection("Extras", false, mayChoose, selected));
    EXPECT_TRUE(mayChoose);
    EXPECT_FALSE(selected);
    library.FinishDeployment("/x");
    auto texts = messenger.Texts(components::TScriptedMessenger::TRecord::Message);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1], "An error occurred while calling the routine GetSystemFolders() in the "
                        "support DLL: \rthe test library fails in GetSystemFolders");
    EXPECT_EQ(messenger.Records[0].Caption, "Packwhistler Setup");
    EXPECT_EQ(messenger.Records[0].Icon, components::TMessageKind::Error);
}

TEST_F(SupportLibraryTest, ABufferWithoutNulIsTakenUpToItsEndOnly) {
    // The library fills all 32,768 bytes; reading on to a NUL would run
    // past the buffer (the sanitizer build stops on that).
    TSupportLibraryMode mode("nonul", sandbox.Path("record.txt"));
    ASSERT_TRUE(library.Load(TestSupportLibrary()));
    EXPECT_EQ(library.GetSystemFolders(), std::string(setup::kSupportFolderBufferSize, 'X'));
    EXPECT_EQ(library.GetInstallFolders(), std::string(setup::kSupportFolderBufferSize, 'X'));
}

std::string PackageWithLibrary() {
    return R"({
  "settings": {"product": "Demo", "version": "1.0", "appFolder": "%PROGRAMFILES%\\Demo",
               "supportLibrary": "support.so"},
  "supportFiles": {"supportLibrary": {"source": ")" +
           TestSupportLibrary() + R"("}},
  "files": [{"name": "a.txt", "text": "main"}, {"name": "b.txt", "text": "extra"},
            {"name": "c.txt", "text": "data"}],
  "components": [
    {"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]},
                                 {"name": "%DATAFOLDER%", "items": [{"file": "c.txt"}]}]},
    {"name": "Extras", "userMayChoose": true, "selected": false,
     "folders": [{"name": "%APPFOLDER%", "items": [{"file": "b.txt"}]}]}]
})";
}

TEST_F(SupportLibraryTest, TakesPartInASilentInstallation) {
    TSupportLibraryMode mode("", sandbox.Path("record.txt"));
    auto session = sandbox.Open(PackageWithLibrary());
    EXPECT_EQ(setup::RunSilent(*session), setup::TSilentExit::Done);
    std::string app = sandbox.AppFolder();
    // Its install folder and its component choice were used.
    EXPECT_EQ(ReadFile(app + "/Data/c.txt"), "data");
    EXPECT_EQ(ReadFile(app + "/b.txt"), "extra");
    std::string record = Record();
    EXPECT_NE(record.find("GetComponentSelection Main -1 -1 0\n"), std::string::npos) << record;
    EXPECT_NE(record.find("FinishDeployment " + app + "/"), std::string::npos) << record;
}

TEST_F(SupportLibraryTest, ItsRefusalEndsASilentRunWithoutInstalling) {
    TSupportLibraryMode mode("refuse", sandbox.Path("record.txt"));
    auto session = sandbox.Open(PackageWithLibrary());
    EXPECT_EQ(setup::RunSilent(*session), setup::TSilentExit::NotAllowed);
    EXPECT_FALSE(Exists(sandbox.AppFolder()));
    EXPECT_EQ(Record(), "AllowInstallation\n");
    session->CloseDown();
    EXPECT_FALSE(session->SupportLibrary().Loaded());
}

} // namespace
