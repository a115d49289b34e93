// The Help menu's targets, the refusal of the WinHelp-only editors and the
// program's own help shown through the viewer or the browser.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "components/scriptedmessenger.h"
#include "editor/helpmenu.h"
#include "editor/programhelp.h"
#include "platform/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using helpproject::THelpCompiler;

TEST(HelpMenuTest, VersionCheckSendsTheFixedNumber) {
    EXPECT_EQ(editor::NewVersionUrl("https://example.test/"),
              "https://example.test/cgi-bin/version.pl?ver=35");
    EXPECT_EQ(editor::NewVersionUrl("https://example.test"),
              "https://example.test/cgi-bin/version.pl?ver=35");
    EXPECT_EQ(editor::NewVersionUrl().rfind(editor::kProductWebSite, 0), 0u);
}

TEST(HelpMenuTest, WinHelpOnlyEditorsAreRefusedUnderHtmlHelpOnly) {
    components::TScriptedMessenger messenger;
    for (THelpCompiler compiler :
         {THelpCompiler::None, THelpCompiler::WinHelp16, THelpCompiler::WinHelp32})
        EXPECT_FALSE(
            editor::RefusedUnderHtmlHelp(editor::TWinHelpOnlyEditor::Browse, compiler, messenger));
    EXPECT_TRUE(messenger.Records.empty());

    EXPECT_TRUE(editor::RefusedUnderHtmlHelp(editor::TWinHelpOnlyEditor::Browse,
                                             THelpCompiler::HtmlHelp, messenger));
    EXPECT_TRUE(editor::RefusedUnderHtmlHelp(editor::TWinHelpOnlyEditor::Windows,
                                             THelpCompiler::HtmlHelp, messenger));
    ASSERT_EQ(messenger.Records.size(), 2u);
    EXPECT_EQ(messenger.Records[0].Caption, "This feature is not supported by HTML Help");
    EXPECT_EQ(messenger.Records[0].Text,
              "You have selected the HTML Help compiler in Project Options.  HTML Help files do "
              "not support browse sequences.  The Browse Sequence Editor will be unavailable "
              "unless you select the WinHelp compiler in Project Options.\r\n\r\nYou can "
              "configure the HTML Help window on the HTML Help tab in Project Options.");
    EXPECT_NE(messenger.Records[1].Text.find("do not support secondary windows.  The Windows "
                                             "Editor will be unavailable"),
              std::string::npos);
}

class RecordingViewer : public helpproject::IHelpViewer {
public:
    void Show(const helpproject::THelpViewRequest& request) override {
        Requests.push_back(request);
        if (Fails)
            throw std::runtime_error("No viewer is set up for .chm help files.");
    }
    std::vector<helpproject::THelpViewRequest> Requests;
    bool Fails = false;
};

class ProgramHelpTest : public ::testing::Test {
protected:
    void Touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
    editor::TProgramHelp Help() {
        return editor::TProgramHelp(
            folder.Path(), viewer, [this](const std::string& url) { Opened.push_back(url); },
            messenger);
    }

    platform::TempFolder folder;
    RecordingViewer viewer;
    components::TScriptedMessenger messenger;
    std::vector<std::string> Opened;
};

TEST_F(ProgramHelpTest, HtmlHelpFileGoesToTheViewerAtTheContextsPage) {
    Touch(folder.Path() / "Brindlewoven.chm");
    Help().ShowContext(10480);
    ASSERT_EQ(viewer.Requests.size(), 1u);
    const auto& request = viewer.Requests[0];
    EXPECT_EQ(request.Kind, "chm");
    EXPECT_EQ(request.Context, 10480u);
    EXPECT_EQ(request.Page, (folder.Path() / "Brindlewoven.chm").string() + "::/html/bw10480.htm");
    EXPECT_TRUE(Opened.empty());
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(ProgramHelpTest, WithoutAViewerTheWebHelpOpensInTheBrowser) {
    Touch(folder.Path() / "Brindlewoven.chm");
    Touch(folder.Path() / "BrindlewovenHelp" / "bw10.htm");
    Touch(folder.Path() / "BrindlewovenHelp" / "index.htm");
    viewer.Fails = true;
    Help().ShowContext(10);
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0], "file://" + (folder.Path() / "BrindlewovenHelp/bw10.htm").string());
    // A context without a page of its own opens the start page.
    Help().ShowContext(77);
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_NE(Opened[1].find("/BrindlewovenHelp/index.htm"), std::string::npos);
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(ProgramHelpTest, MissingHelpOrViewerIsSaidClearly) {
    Help().ShowContext(10);
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_NE(messenger.Records[0].Text.find("The help file was not found"), std::string::npos);
    EXPECT_TRUE(viewer.Requests.empty());

    Touch(folder.Path() / "Brindlewoven.chm");
    viewer.Fails = true;
    Help().ShowContext(10);
    ASSERT_EQ(messenger.Records.size(), 2u);
    EXPECT_EQ(messenger.Records[1].Text, "No viewer is set up for .chm help files.");
    EXPECT_TRUE(Opened.empty());
}

} // namespace
