// The main window: its layout from the registry and back, close refusals,
// the show-time work, the editor's keys and the link commands.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextCursor>
#include <QToolBar>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "components/ui/messenger_support.h"
#include "components/ui/reopenmenu.h"
#include "components/ui/richeredit.h"
#include "dialogs_support.h"
#include "editor/defaulttextstyles.h"
#include "editor/ui/dialogs/footnoteform.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/markupactions.h"
#include "editor/ui/projectactions.h"
#include "editor/ui/propertybar.h"
#include "editor/ui/textstylecombo.h"
#include "editor/ui/topicgridmodel.h"
#include "editor/ui/topicgridview.h"
#include "editor/ui/undomenuwidgets.h"
#include "form_support.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/littleendian.h"
#include "platform/tempfolder.h"

namespace editortest {
namespace {

using editor::kStateKey;
using platform::RootKey;

class BrindlewovenFormTest : public FormFixture {};

std::vector<std::string> GridHeaders(editor::ui::TBrindlewovenForm& form) {
    std::vector<std::string> headers;
    const auto& model = form.GridView().Model();
    for (int column = 0; column < model.columnCount(); ++column)
        headers.push_back(
            model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
    return headers;
}

TEST_F(BrindlewovenFormTest, EmptyHiveGivesDefaultLayoutAndCloseWritesTwentyValues) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    EXPECT_FALSE(window.PanelGrid()->isHidden());
    EXPECT_FALSE(window.PanelGrid()->isFloating());
    EXPECT_EQ(window.dockWidgetArea(window.PanelGrid()), Qt::LeftDockWidgetArea);
    EXPECT_EQ(GridHeaders(window), (std::vector<std::string>{"ID", "Title"}));
    for (QToolBar* bar : {window.ProjectBar(), window.TopicBar(), window.PropertiesBar(),
                          window.TextBar(), window.HelpToolBar()})
        EXPECT_FALSE(bar->isHidden()) << bar->objectName().toStdString();
    EXPECT_TRUE(window.Actions().Action("ActionViewGrid")->isChecked());
    // The error log waits for a make.
    EXPECT_TRUE(window.PanelHCError()->isHidden());
    EXPECT_EQ(window.StyleCombo().currentText(), "*TopicText");

    ASSERT_TRUE(window.close());
    EXPECT_EQ(registry->ValueNames(RootKey::CurrentUser, kStateKey).size(), 20u);
    const std::pair<const char*, std::size_t> sizes[] = {
        {"HCErrorHeight", 4},  {"HCErrorDock", 4},     {"HCErrorFloatRect", 16},
        {"GridWidth", 4},      {"GridDock", 4},        {"GridFloatRect", 16},
        {"GridContents", 7},   {"GridWidths", 28},     {"GridOnTop", 1},
        {"ProjectBarItem", 1}, {"TopicBarItem", 1},    {"PropertiesBarItem", 1},
        {"TextBarItem", 1},    {"HelpToolBarItem", 1}, {"GridItem", 1},
        {"RulerItem", 1},      {"RulerUnits", 4},      {"UpdateLinks", 1},
        {"IDIncrease", 4},     {"AutoSaveCompile", 1}};
    for (const auto& [name, size] : sizes) {
        const auto value = registry->ReadValue(RootKey::CurrentUser, kStateKey, name);
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(value->data.size(), size) << name;
    }
    EXPECT_EQ(*registry->ReadBinary(RootKey::CurrentUser, kStateKey, "GridContents"),
              std::string("\x01\0\0\0\0\0\0", 7));
    EXPECT_EQ(*registry->ReadDword(RootKey::CurrentUser, kStateKey, "GridDock"), 1u);
    const std::string increase =
        *registry->ReadBinary(RootKey::CurrentUser, kStateKey, "IDIncrease");
    EXPECT_EQ(platform::GetLE32(reinterpret_cast<const unsigned char*>(increase.data())), 10u);
}

TEST_F(BrindlewovenFormTest, StoredLayoutIsRestoredAndWrittenBack) {
    registry->WriteBinary(RootKey::CurrentUser, kStateKey, "GridContents",
                          std::string("\x02\x07\0\0\0\0\0", 7));
    std::string widths;
    for (std::uint32_t width : {40u, 311u, 50u, 60u, 70u, 80u, 322u})
        platform::AppendLE32(widths, width);
    registry->WriteBinary(RootKey::CurrentUser, kStateKey, "GridWidths", widths);
    registry->WriteDword(RootKey::CurrentUser, kStateKey, "GridDock", 2);
    registry->WriteBinary(RootKey::CurrentUser, kStateKey, "TextBarItem", std::string(1, '\0'));
    registry->WriteBinary(RootKey::CurrentUser, kStateKey, "IDIncrease",
                          std::string("\x05\0\0\0", 4));

    editor::ui::TBrindlewovenForm& window = MakeForm();
    EXPECT_EQ(GridHeaders(window), (std::vector<std::string>{"ID", "Keywords", "Status"}));
    EXPECT_EQ(window.GridView().columnWidth(1), 311);
    EXPECT_GE(window.GridView().columnWidth(2), 322); // the last column fills the panel
    EXPECT_EQ(window.dockWidgetArea(window.PanelGrid()), Qt::RightDockWidgetArea);
    EXPECT_TRUE(window.TextBar()->isHidden());
    EXPECT_FALSE(window.Actions().Action("ActionViewTextBar")->isChecked());
    EXPECT_EQ(window.Context().Settings().IDIncrease, 5);

    // A column moved by its header and widened is saved that way.
    window.GridView().horizontalHeader()->moveSection(2, 1);
    EXPECT_EQ(GridHeaders(window), (std::vector<std::string>{"ID", "Status", "Keywords"}));
    window.GridView().setColumnWidth(1, 290);
    ASSERT_TRUE(window.close());
    EXPECT_EQ(*registry->ReadBinary(RootKey::CurrentUser, kStateKey, "GridContents"),
              std::string("\x07\x02\0\0\0\0\0", 7));
    const std::string saved = *registry->ReadBinary(RootKey::CurrentUser, kStateKey, "GridWidths");
    const auto* bytes = reinterpret_cast<const unsigned char*>(saved.data());
    EXPECT_EQ(platform::GetLE32(bytes + 4), 311u);  // keywords, by its code
    EXPECT_EQ(platform::GetLE32(bytes + 24), 290u); // status
    EXPECT_EQ(*registry->ReadDword(RootKey::CurrentUser, kStateKey, "GridDock"), 2u);
    EXPECT_EQ(*registry->ReadBinary(RootKey::CurrentUser, kStateKey, "TextBarItem"),
              std::string(1, '\0'));
}

// Building the window binds every command it carries out; a misspelt name
// would throw there. Every menu command has a handler.
TEST_F(BrindlewovenFormTest, EveryCommandIsBoundByItsRealName) {
    auto& window = MakeForm();
    editor::ui::TMainActions& actions = window.Actions();
    EXPECT_THROW(actions.Bind("ActionProjectOpn", [] {}), std::logic_error);
    int commands = 0;
    for (QAction* action : actions.All()) {
        const QString name = action->objectName();
        if (!name.startsWith("Action"))
            continue;
        ++commands;
        EXPECT_TRUE(actions.Bound(name)) << name.toStdString();
    }
    EXPECT_GT(commands, 60);
}

// The recent-projects menu carries its own captions and hints and keeps
// ten projects, newest first.
TEST_F(BrindlewovenFormTest, ReopenMenuHasItsTextsAndKeepsTenProjects) {
    auto& window = MakeForm();
    components::ui::TReopenMenu& reopen = window.Reopen();
    for (int i = 0; i < 12; ++i)
        reopen.AddFile(QString("/projects/p%1.bwv").arg(i));
    QStringList captions, hints;
    for (QAction* item : reopen.MenuItem()->actions())
        if (!item->isSeparator()) {
            captions << item->text();
            hints << item->statusTip();
        }
    ASSERT_EQ(captions.size(), 12);
    EXPECT_EQ(captions[0], "&0 /projects/p11.bwv");
    EXPECT_EQ(captions[9], "&9 /projects/p2.bwv");
    EXPECT_EQ(hints[0], "Reopen this project");
    EXPECT_EQ(captions[10], "Remove &Obsolete");
    EXPECT_EQ(hints[10], "Remove all projects that no longer exist from the reopen menu");
    EXPECT_EQ(captions[11], "&Remove All");
    EXPECT_EQ(hints[11], "Remove all items from the reopen menu");
    reopen.Clear();
    ASSERT_EQ(reopen.MenuItem()->actions().size(), 1);
    EXPECT_EQ(reopen.MenuItem()->actions()[0]->text(), "Empty");
    EXPECT_FALSE(reopen.MenuItem()->actions()[0]->isEnabled());
}

// A right click on the Open button, made through the window as the mouse
// makes it, shows the recent projects just below the button and not the tool
// bars' own menu; an item there reopens its project.
TEST_F(BrindlewovenFormTest, RightClickOnOpenShowsTheRecentProjects) {
    auto& window = MakeForm();
    window.Reopen().AddFile("/projects/gone.bwv");
    window.Reopen().AddFile("/projects/last.bwv");
    auto* open = window.findChild<QWidget*>("BtnOpen");
    ASSERT_NE(open, nullptr);
    const QPoint at = open->mapTo(&window, open->rect().center());
    QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, at);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), "PopupReopen");
    EXPECT_EQ(popup->pos(), open->mapToGlobal(QPoint(0, open->height())));
    QStringList captions;
    for (QAction* item : popup->actions())
        if (!item->isSeparator())
            captions << item->text();
    EXPECT_EQ(captions, (QStringList{"&0 /projects/last.bwv", "&1 /projects/gone.bwv",
                                     "Remove &Obsolete", "&Remove All"}));
    popup->actions()[1]->trigger();
    popup->close();
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Text, "Project /projects/gone.bwv doesn't exist any more.");
    EXPECT_EQ(window.Reopen().Files(), QStringList{"/projects/last.bwv"});
}

TEST_F(BrindlewovenFormTest, ShowTimeWorkRunsOnce) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    EXPECT_EQ(window.ShowTimeRuns(), 1);
    OpenFourTopics();
    window.showMinimized();
    window.showNormal();
    window.hide();
    window.show();
    EXPECT_EQ(window.ShowTimeRuns(), 1);
    // A second run would have started a new project over the open one.
    EXPECT_EQ(window.Context().Project().TopicCount(), 4);
}

TEST_F(BrindlewovenFormTest, CloseIsRefusedWhileBusyOrCancelled) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    bool closedWhileBusy = true;
    window.Context().Run([&] { closedWhileBusy = window.close(); });
    EXPECT_FALSE(closedWhileBusy);
    EXPECT_TRUE(window.isVisible());

    window.Context().Session().SetModified();
    messenger.QueueAnswer(components::mrCancel);
    EXPECT_FALSE(window.close());
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Caption,
              "If you do not save your project, you will lose all your changes");
    EXPECT_TRUE(window.Context().Session().Modified());

    messenger.QueueAnswer(components::mrNo);
    EXPECT_TRUE(window.close());
}

// The window's keys reach its commands while the editor has the focus,
// although the editor knows Ctrl+Shift+Z as its own redo.
TEST_F(BrindlewovenFormTest, CommandKeysWinOverTheEditorsOwn) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    OpenFourTopics();
    QApplication::setActiveWindow(&window);
    components::ui::TRicherEdit& edit = window.RichEdit();
    edit.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit.hasFocus(); }));
    const std::string before = EditorText(window);
    edit.moveCursor(QTextCursor::End);
    QTest::keyClicks(&edit, "xyz");
    ASSERT_NE(EditorText(window), before);
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(EditorText(window), before);
    EXPECT_TRUE(edit.hasFocus());
}

// A new project's first topic looks as New Topic makes one: the title in
// the title style and an empty line, with nothing to save.
TEST_F(BrindlewovenFormTest, NewProjectsFirstTopicHasItsTitleStyled) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    // The title, an empty line and the paragraph the editor always ends with.
    EXPECT_EQ(EditorText(window), "<new topic>\r\r\r");
    components::ui::TRicherEdit& edit = window.RichEdit();
    QTextCursor title(edit.document());
    title.setPosition(1);
    EXPECT_TRUE(title.charFormat().font().bold());
    EXPECT_EQ(title.charFormat().font().pointSize(), 16);
    EXPECT_FALSE(window.Context().Session().Modified());
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(messenger.Records.empty()) << "nothing to save";
}

// Saving the new project under a name shows its first topic as it was,
// and the file holds the styled title.
TEST_F(BrindlewovenFormTest, SaveAsKeepsTheNewProjectsTitleStyled) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    const platform::TempFolder folder("bwsaveas");
    const std::string file = (folder.Path() / "new.bwv").string();
    window.ProjectActions().SetFileDialog(
        [&](const editor::TFileDialogSpec&, bool) { return std::optional<std::string>(file); });
    window.Actions().Action("ActionProjectSaveAs")->trigger();
    ASSERT_TRUE(std::filesystem::exists(file));
    QTextCursor title(window.RichEdit().document());
    title.setPosition(1);
    EXPECT_TRUE(title.charFormat().font().bold());
    EXPECT_EQ(title.charFormat().font().pointSize(), 16);

    helpproject::TTextStyleList styles;
    auto saved = helpproject::TBrindlewovenProject::Load(file, &styles);
    std::string text;
    for (const std::string& line : saved->Topics().front()->Text)
        text += line;
    EXPECT_NE(text.find("\\fs32"), std::string::npos) << text;
    EXPECT_NE(text.find("\\b"), std::string::npos) << text;
    EXPECT_FALSE(window.Context().Session().Modified());
}

TEST_F(BrindlewovenFormTest, CloseOfAnUnmodifiedProjectAsksNothing) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(BrindlewovenFormTest, TabIsTypedAndCtrlTabMovesTheFocus) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    QApplication::setActiveWindow(&window);
    components::ui::TRicherEdit& edit = window.RichEdit();
    edit.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit.hasFocus(); }));
    edit.selectAll();
    QTest::keyClicks(&edit, "a");
    QTest::keyClick(&edit, Qt::Key_Tab);
    QTest::keyClicks(&edit, "b");
    EXPECT_EQ(EditorText(window), "a\tb\r");
    EXPECT_TRUE(edit.hasFocus());

    QTest::keyClick(&edit, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(edit.hasFocus());
    QWidget* next = QApplication::focusWidget();
    ASSERT_NE(next, nullptr);
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(edit.hasFocus());
    EXPECT_NE(QApplication::focusWidget(), next);
    EXPECT_EQ(EditorText(window), "a\tb\r");
}

// ---- link insertion -----------------------------------------------------------------

struct LinkCase {
    const char* Action;
    bool Popup;
};

class LinkInsertionTest : public FormFixture, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkInsertionTest, HotspotIsGreenAndTheCodeMaroon) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    OpenFourTopics();
    editor::ui::TMarkupActions& markup = window.Markup();
    QAction* action = window.Actions().Action(GetParam().Action);
    EXPECT_FALSE(action->isEnabled()); // no target chosen
    markup.SelectLinkTarget(30);
    ASSERT_TRUE(action->isEnabled());

    editor::ITextEditor& text = window.Context().TextEditor();
    text.SetSelection(0, text.TextLength());
    text.ReplaceSelection("See ");
    action->trigger();
    EXPECT_EQ(EditorText(window), "See Charlie{linkID=30}\r");
    EXPECT_TRUE(messenger.Records.empty());

    text.SetSelection(4, 7); // the hotspot
    const editor::TSelectionFormat hotspot = text.SelFormat();
    EXPECT_EQ(hotspot.Format.color.ToTColor(), editor::clGreen);
    EXPECT_EQ(hotspot.Format.strike, !GetParam().Popup);
    EXPECT_EQ(hotspot.Format.underline != rtf::UnderlineKind::None, GetParam().Popup);
    text.SetSelection(11, 11); // the code
    const editor::TSelectionFormat code = text.SelFormat();
    EXPECT_TRUE(code.IsUniform(rtf::kCharColor | rtf::kCharStrike | rtf::kCharUnderline));
    EXPECT_EQ(code.Format.color.ToTColor(), editor::clMaroon);
    EXPECT_FALSE(code.Format.strike);
    EXPECT_EQ(code.Format.underline, rtf::UnderlineKind::None);

    // The window stores it into the topic as any edit.
    window.Context().TopicEditor().StoreTopic();
    EXPECT_TRUE(window.Context().Session().Modified());
}

// What is typed right behind the inserted link has the format the text had
// before it: neither the code's maroon nor the hotspot's green, strike-out
// or underline, on screen and in the exported page. So too when the author
// clicks behind the code (the focus was in the link list) or comes back to
// it with the arrow keys.
TEST_P(LinkInsertionTest, TextTypedBehindTheLinkKeepsTheTextsFormat) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    OpenFourTopics();
    window.Markup().SelectLinkTarget(30);
    editor::ITextEditor& text = window.Context().TextEditor();
    text.SetSelection(0, text.TextLength());
    text.ReplaceSelection("See ");
    text.SetSelection(0, 4);
    rtf::CharFormat blue;
    blue.color = rtf::Color::FromTColor(0xFF0000);
    text.SetSelFormat(blue, rtf::kCharColor);
    text.SetSelection(4, 0);
    const rtf::CharFormat before = text.SelFormat().Format;
    const auto expectTextLook = [&](std::size_t from, std::size_t count) {
        text.SetSelection(from, count);
        const editor::TSelectionFormat typed = text.SelFormat();
        EXPECT_TRUE(typed.IsUniform(rtf::kCharColor | rtf::kCharStrike | rtf::kCharUnderline));
        EXPECT_EQ(typed.Format.color, before.color);
        EXPECT_EQ(typed.Format.strike, before.strike);
        EXPECT_EQ(typed.Format.underline, before.underline);
    };
    components::ui::TRicherEdit& edit = window.RichEdit();

    // Typed at once.
    window.Actions().Action(GetParam().Action)->trigger();
    edit.setFocus();
    QTest::keyClicks(&edit, ".");
    // Clicked behind the code, coming from the link list.
    window.Markup().ComboLink->setFocus();
    text.SetSelection(0, 0);
    const QTextCursor end = [&] {
        QTextCursor c(edit.document());
        c.movePosition(QTextCursor::End);
        return c;
    }();
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, edit.cursorRect(end).center());
    QTest::keyClicks(&edit, " Done");
    ASSERT_EQ(EditorText(window), "See Charlie{linkID=30}. Done\r");
    expectTextLook(22, 6);
    // Back behind the code with the arrow keys.
    QTest::keyClick(&edit, Qt::Key_End);
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClicks(&edit, "!");
    ASSERT_EQ(EditorText(window), "See Charlie{linkID=30}!. Done\r");
    expectTextLook(22, 1);

    window.Context().TopicEditor().StoreTopic();
    helpproject::TStringList html;
    helpproject::RtfToHtml(window.Context().Project(), *window.Context().Session().CurrentTopic(),
                           html, true);
    std::string page;
    for (const std::string& line : html)
        page += line;
    EXPECT_EQ(page.find("800000"), page.rfind("800000")) << page; // the code's only
    EXPECT_NE(page.find("!. Done"), std::string::npos) << page;
}

INSTANTIATE_TEST_SUITE_P(Kinds, LinkInsertionTest,
                         ::testing::Values(LinkCase{"ActionHelpToolsLink", false},
                                           LinkCase{"ActionHelpToolsLinkPopup", true}));

TEST_F(BrindlewovenFormTest, CodeCommandsTypeTheirCodesAtTheCaret) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    editor::ITextEditor& text = window.Context().TextEditor();
    text.SetSelection(0, text.TextLength());
    text.ReplaceSelection("x");
    window.Actions().Action("ActionHelpToolsKeepn")->trigger();
    window.Actions().Action("ActionHelpToolsRTF")->trigger();
    EXPECT_EQ(text.SelStart(), std::string("x{keepn}{rtf=").size());
    components::TScriptedMessenger::TAnswer name;
    name.Result = components::mrOk;
    name.HasInput = true;
    name.Input = "a b!c";
    messenger.QueueAnswer(name);
    text.MoveCaretToEnd();
    window.Actions().Action("ActionHelpToolsLinkTarget")->trigger();
    EXPECT_EQ(EditorText(window), "x{keepn}{rtf=}{target=abc}\r");
}

TEST_F(BrindlewovenFormTest, UndoMenuBringsADeletedTopicBack) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    OpenFourTopics();
    window.Actions().Action("ActionTopicDelete")->trigger();
    ASSERT_EQ(window.Context().Project().FindTopic(10), nullptr);
    EXPECT_EQ(window.Context().Session().CurrentTopic()->Number, 20);
    QMenu* undo = window.UndoMenus().UndoMenu();
    const QList<QAction*> items = undo->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "&Changes to current topic");
    EXPECT_EQ(items[1]->text(), "Delete #10");
    EXPECT_EQ(items[1]->statusTip(), "Undo deletion of topic #10: Delta");
    items[1]->trigger();
    ASSERT_NE(window.Context().Project().FindTopic(10), nullptr);
    EXPECT_EQ(window.Context().Project().TopicByNumber(10)->KKeywords, "k10");
    EXPECT_EQ(window.GridView().Model().rowCount(), 4);
    EXPECT_EQ(window.UndoMenus().RedoMenu()->actions().size(), 2);
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(BrindlewovenFormTest, FollowLinkNamesTheTopicOfTheCodeAtTheCaret) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    OpenFourTopics();
    editor::ITextEditor& text = window.Context().TextEditor();
    text.SetSelection(0, text.TextLength());
    text.ReplaceSelection("Go there: Charlie{linkID=30} or {linkID=x}");
    QMenu menu;
    text.SetSelection(20, 0); // inside the first code
    QAction* follow = window.Markup().AddFollowLink(menu);
    EXPECT_EQ(follow->text(), "&Follow Link to #30");
    ASSERT_TRUE(follow->isEnabled());
    follow->trigger();
    EXPECT_EQ(window.Context().Session().CurrentTopic()->Number, 30);

    text.SetSelection(0, text.TextLength());
    text.ReplaceSelection("A code that names no number: {linkID=x}");
    text.SetSelection(33, 0);
    menu.clear();
    follow = window.Markup().AddFollowLink(menu);
    EXPECT_EQ(follow->text(), "&Follow Link");
    EXPECT_FALSE(follow->isEnabled());
}

TEST_F(BrindlewovenFormTest, TopicPropertiesRenumberThroughTheDialog) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    OpenFourTopics();
    AnswerNext<editor::ui::TFootnoteForm>([](editor::ui::TFootnoteForm& dialog) {
        Retype(dialog.SpinID(), "25");
        Retype(dialog.EditTitle(), "Delta moved");
        Click(dialog.OkBtn());
    });
    window.Actions().Action("ActionTopicFootnotes")->trigger();
    EXPECT_TRUE(messenger.Records.empty());
    ASSERT_EQ(window.Context().Session().CurrentTopic()->Number, 25);
    EXPECT_EQ(window.Context().Session().CurrentTopic()->Title, "Delta moved");
    EXPECT_EQ(window.Context().Session().CurrentTopic()->KKeywords, "k10"); // kept
    EXPECT_EQ(window.Context().Project().FindTopic(10), nullptr);
    EXPECT_EQ(window.PropertyBarWidgets().ComboTopic->currentText(), "Delta moved");
    EXPECT_TRUE(window.Context().Session().Modified());
}

} // namespace
} // namespace editortest
