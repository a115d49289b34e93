// The Help menu and the dialogs' Help buttons reach the program's help
// through the viewer; the web commands reach the desktop's opener.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <fstream>

#include "editor/helpmenu.h"
#include "editor/ui/dialogs/findform.h"
#include "editor/ui/dialogs/footnoteform.h"
#include "editor/ui/dialogs/formoptions.h"
#include "editor/ui/dialogs/shgform.h"
#include "editor/ui/helpactions.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/projectactions.h"
#include "form_support.h"
#include "platform/tempfolder.h"
#include "unitparser/ui/parserform.h"

namespace editortest {
namespace {

class RecordingViewer : public helpproject::IHelpViewer {
public:
    void Show(const helpproject::THelpViewRequest& request) override {
        Requests.push_back(request);
    }
    std::vector<helpproject::THelpViewRequest> Requests;
};

class HelpActionsTest : public FormFixture {
protected:
    editor::ui::TBrindlewovenForm& Window() {
        auto& window = MakeForm();
        std::ofstream(folder.Path() / "Brindlewoven.chm") << "x";
        window.HelpActions().SetHelpFolder(folder.Path());
        window.HelpActions().SetViewer(viewer);
        window.HelpActions().SetUrlOpener([this](const std::string& url) {
            Opened.push_back(url);
            return opens;
        });
        return window;
    }

    platform::TempFolder folder;
    RecordingViewer viewer;
    std::vector<std::string> Opened;
    bool opens = true;
};

TEST_F(HelpActionsTest, HelpCommandsShowTheirContextsOfTheProgramsHelpFile) {
    auto& window = Window();
    window.Actions().Action("ActionHelpContents")->trigger();
    window.Actions().Action("ActionHelpHowTo")->trigger();
    ASSERT_EQ(viewer.Requests.size(), 2u);
    EXPECT_EQ(viewer.Requests[0].Context, 10u);
    EXPECT_EQ(viewer.Requests[0].File, (folder.Path() / "Brindlewoven.chm").string());
    EXPECT_EQ(viewer.Requests[1].Context, 1000u);
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(HelpActionsTest, VersionCheckOpensTheScriptWithThirtyFive) {
    auto& window = Window();
    window.Actions().Action("ActionHelpNewVersion")->trigger();
    window.Actions().Action("ActionHelpHomePage")->trigger();
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_EQ(Opened[0], std::string(editor::kProductWebSite) + "cgi-bin/version.pl?ver=35");
    EXPECT_EQ(Opened[1], editor::kProductWebSite);
    // Nothing to open it with: the person hears of it.
    opens = false;
    window.Actions().Action("ActionHelpHomePage")->trigger();
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_NE(messenger.Records[0].Text.find(editor::kProductWebSite), std::string::npos);
}

TEST_F(HelpActionsTest, DialogHelpButtonReachesTheViewerWithItsOwnContext) {
    auto& window = Window();
    editor::ui::TFootnoteForm dialog(&window);
    dialog.show();
    QTest::mouseClick(dialog.HelpBtn(), Qt::LeftButton);
    // Shown twice, connected once.
    dialog.hide();
    dialog.show();
    QTest::mouseClick(dialog.HelpBtn(), Qt::LeftButton);
    ASSERT_EQ(viewer.Requests.size(), 2u);
    EXPECT_EQ(viewer.Requests[0].Context,
              static_cast<std::uint32_t>(editor::ui::TFootnoteForm::kHelpContext));
    EXPECT_EQ(viewer.Requests[0].Page,
              (folder.Path() / "Brindlewoven.chm").string() + "::/html/bw" +
                  std::to_string(editor::ui::TFootnoteForm::kHelpContext) + ".htm");
}

// F1 asks for the same help as the Help button, wherever the focus is in
// the dialog: Topic Properties, and the Find and Replace window (a window of
// its own with a Help button on its bar).
TEST_F(HelpActionsTest, F1AndTheFindWindowsHelpButtonReachTheViewer) {
    auto& window = Window();
    editor::ui::TFootnoteForm dialog(&window);
    dialog.show();
    QWidget* field = dialog.findChild<QWidget*>("EditTitle");
    ASSERT_NE(field, nullptr);
    QApplication::setActiveWindow(&dialog);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_F1);
    dialog.hide();

    window.Actions().Action("ActionTextFind")->trigger();
    auto* find = window.findChild<editor::ui::TFindForm*>("FindForm");
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->BtnHelp->text(), "&Help");
    QTest::mouseClick(find->BtnHelp, Qt::LeftButton);
    QApplication::setActiveWindow(find);
    find->ComboFind->setFocus();
    QTest::keyClick(find->ComboFind, Qt::Key_F1);

    ASSERT_EQ(viewer.Requests.size(), 3u);
    EXPECT_EQ(viewer.Requests[0].Context,
              static_cast<std::uint32_t>(editor::ui::TFootnoteForm::kHelpContext));
    EXPECT_EQ(viewer.Requests[1].Context, 10650u);
    EXPECT_EQ(viewer.Requests[2].Context, 10650u);
    EXPECT_TRUE(messenger.Records.empty());
}

// The SHG editor is a window of its own: its Help > Contents reaches the same
// help file at the contents' context.
TEST_F(HelpActionsTest, SHGEditorContentsReachesTheProgramsHelp) {
    auto& window = Window();
    editor::ui::TSHGForm shg(*context, &window);
    shg.ItemContents()->trigger(); // not shown yet: nobody listens
    EXPECT_TRUE(viewer.Requests.empty());
    shg.show();
    shg.ItemContents()->trigger();
    ASSERT_EQ(viewer.Requests.size(), 1u);
    EXPECT_EQ(viewer.Requests[0].Context, static_cast<std::uint32_t>(editor::kHelpContentsContext));
    EXPECT_EQ(viewer.Requests[0].File, (folder.Path() / "Brindlewoven.chm").string());
    EXPECT_TRUE(messenger.Records.empty());
}

// The parser dialog, made by the Delphi unit command, reaches the viewer
// with its own context.
TEST_F(HelpActionsTest, ParserDialogHelpReachesTheViewer) {
    auto& window = Window();
    unitparser::ui::TParserForm& parser = window.ProjectActions().ParserForm();
    parser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parser));
    QTest::mouseClick(parser.HelpBtn(), Qt::LeftButton);
    parser.hide();
    ASSERT_EQ(viewer.Requests.size(), 1u);
    EXPECT_EQ(viewer.Requests[0].Context, 91000u);
    EXPECT_EQ(viewer.Requests[0].Page,
              (folder.Path() / "Brindlewoven.chm").string() + "::/html/bw91000.htm");
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(HelpActionsTest, ProjectOptionsHelpShowsThePageShown) {
    auto& window = Window();
    editor::ui::TOptionsForm options(messenger, &window);
    options.show();
    options.Pages()->setCurrentIndex(1);
    QTest::mouseClick(options.findChild<QPushButton*>("BtnHelp"), Qt::LeftButton);
    ASSERT_EQ(viewer.Requests.size(), 1u);
    EXPECT_EQ(viewer.Requests[0].Context, 19200u);
}

} // namespace
} // namespace editortest
