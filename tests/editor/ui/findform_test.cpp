// The Find and Replace window as a person uses it: typing the texts,
// choosing the scope, pressing the buttons, aborting a long Replace All, and
// what it keeps in the registry.
#include "editor/ui/dialogs/findform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "components/rtf/stringlisttransfer.h"
#include "components/scriptedmessenger.h"
#include "components/ui/messenger.h"
#include "components/ui/messengerform.h"
#include "components/ui/richeredit.h"
#include "components/ui/windowedmessenger.h"
#include "editor/editorcontext.h"
#include "editor/findsettings.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/richedittexteditor.h"
#include "form_support.h"
#include "platform/registry.h"

namespace {

using editor::ui::TFindForm;

class TEditView : public editor::ITopicEditorView {
public:
    explicit TEditView(components::ui::TRicherEdit& edit) : text(edit) {}
    editor::ITextEditor& TextEditor() override { return text; }
    editor::ui::TRichEditTextEditor text;
};

class FindForm : public ::testing::Test {
protected:
    FindForm()
        : registry(platform::OpenMemoryRegistry()), context(messenger, *registry), view(edit) {
        context.CreateTopicEditor(view);
        edit.resize(600, 400);
    }

    // Topics 10, 20 and 30 with the given texts; topic 10 shown.
    void OpenTopics(const std::string& text10, const std::string& text20,
                    const std::string& text30) {
        auto project = std::make_unique<helpproject::TBrindlewovenProject>();
        project->ClearTopics();
        for (const auto& [number, text] :
             {std::pair{10, text10}, std::pair{20, text20}, std::pair{30, text30}})
            project->AddTopic(number, "T" + std::to_string(number))->SetText({text});
        context.Session().ReplaceProject(std::move(project));
        context.TopicEditor().ProjectReplaced();
        context.Session().SetModified(false);
    }

    std::unique_ptr<TFindForm> MakeForm() {
        auto form = std::make_unique<TFindForm>(context, edit, nullptr);
        form->ShowFind();
        return form;
    }

    std::string StoredText(std::int32_t number) {
        const rtf::RtfDocument document =
            rtf::LoadFromStrings(context.Project().TopicByNumber(number)->Text);
        return document.TextRange(0, document.TextLength());
    }

    std::unique_ptr<platform::Registry> registry;
    components::TScriptedMessenger messenger;
    editor::TEditorContext context;
    components::ui::TRicherEdit edit;
    TEditView view;
};

TEST_F(FindForm, ReplaceAllOverThreeTopicsReachesTheSavedFile) {
    OpenTopics("An apple a day", "No fruit here", "apple and Apple pie");
    auto form = MakeForm();
    EXPECT_FALSE(form->BtnReplaceAll->isEnabled());
    QTest::keyClicks(form->ComboFind, "apple");
    QTest::keyClicks(form->ComboReplace, "pear");
    EXPECT_TRUE(form->BtnReplaceAll->isEnabled());
    QTest::mouseClick(form->RadioAllDocs, Qt::LeftButton);
    EXPECT_FALSE(form->RadioDocStart->isEnabled());
    QTest::mouseClick(form->BtnReplaceAll, Qt::LeftButton);

    EXPECT_TRUE(context.Session().Modified());
    EXPECT_FALSE(context.TopicEditor().BulkUpdate());
    EXPECT_EQ(form->ComboFind->itemText(0), "apple");
    EXPECT_EQ(form->ComboReplace->itemText(0), "pear");
    EXPECT_EQ(form->ComboFind->currentText(), "apple"); // the texts stay in the boxes

    QTemporaryDir folder;
    const std::string file = folder.filePath("fruit.bwv").toStdString();
    context.Session().SaveProject(file, &context.TextStyles());
    std::ifstream in(file, std::ios::binary);
    std::stringstream saved;
    saved << in.rdbuf();
    const std::string content = saved.str();
    EXPECT_EQ(content.find("apple"), std::string::npos);
    EXPECT_EQ(content.find("Apple"), std::string::npos);
    EXPECT_NE(content.find("An pear a day"), std::string::npos);
    EXPECT_NE(content.find("pear and pear pie"), std::string::npos);
    EXPECT_NE(content.find("No fruit here"), std::string::npos);
}

TEST_F(FindForm, FindNextWalksTheTopicsAndSaysWhenNothingIsLeft) {
    OpenTopics("x", "none", "x");
    auto form = MakeForm();
    QTest::keyClicks(form->ComboFind, "x");
    QTest::mouseClick(form->RadioAllDocs, Qt::LeftButton);
    QTest::mouseClick(form->BtnFind, Qt::LeftButton);
    EXPECT_TRUE(form->BtnFindNext->isEnabled());
    EXPECT_TRUE(form->BtnReplaceCurrent->isEnabled());
    QTest::mouseClick(form->BtnFindNext, Qt::LeftButton);
    EXPECT_EQ(context.TopicEditor().CurrentTopic()->Number, 30);
    EXPECT_EQ(edit.GetSelText(), "x");
    QTest::mouseClick(form->BtnFindNext, Qt::LeftButton);
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Caption, "Searching for Text...");
    EXPECT_EQ(messenger.Records[0].Text, "Specified text cannot be found.");
    EXPECT_FALSE(form->BtnFindNext->isEnabled());
    EXPECT_FALSE(form->BtnReplaceNext->isEnabled());
    EXPECT_FALSE(form->BtnReplaceCurrent->isEnabled());
}

TEST_F(FindForm, AbortKeepsTheReplacementsAndASecondClickStartsNothing) {
    std::string many;
    for (int i = 0; i < 400; ++i)
        many += "a ";
    OpenTopics(many, many, many);
    auto form = MakeForm();
    QTest::keyClicks(form->ComboFind, "a");
    QTest::keyClicks(form->ComboReplace, "b");
    QTest::mouseClick(form->RadioAllDocs, Qt::LeftButton);
    int clicks = 0;
    QTimer::singleShot(0, form.get(), [&] {
        ++clicks;
        form->BtnReplaceAll->click(); // ignored: a run is in progress
        components::ui::TMessengerForm* box = form->MsgReplaceAll->Form();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Replace action in progress...");
        const auto buttons = box->findChildren<QPushButton*>();
        const auto abort = std::find_if(buttons.begin(), buttons.end(), [](QPushButton* b) {
            return b->isVisible() && b->text().contains("Abort");
        });
        ASSERT_NE(abort, buttons.end());
        (*abort)->click();
    });
    QTest::mouseClick(form->BtnReplaceAll, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(StoredText(10).substr(0, 4), "b a "); // one replacement, then the abort
    EXPECT_EQ(StoredText(20), many + "\r");
    EXPECT_TRUE(context.Session().Modified());
    EXPECT_FALSE(context.TopicEditor().BulkUpdate());
    EXPECT_EQ(context.TopicEditor().CurrentTopic()->Number, 10);
    EXPECT_EQ(view.text.TextRange(0, 4), "b a ");
    EXPECT_TRUE(edit.GetRedraw());
    EXPECT_EQ(form->MsgReplaceAll->Form(), nullptr);
}

TEST_F(FindForm, LookAndHistoriesLastInTheRegistry) {
    OpenTopics("one two", "", "");
    {
        auto form = MakeForm();
        QTest::keyClicks(form->ComboFind, "two");
        QTest::mouseClick(form->BtnFind, Qt::LeftButton);
        form->ItemScope->trigger(); // off
        EXPECT_TRUE(form->PanelScope->isHidden());
        form->ItemButtonText->trigger(); // off
        EXPECT_TRUE(form->BtnFind->text().isEmpty());
        EXPECT_EQ(form->BtnFind->width(), form->BtnFind->height());
    }
    auto again = MakeForm();
    EXPECT_FALSE(again->ItemScope->isChecked());
    EXPECT_TRUE(again->PanelScope->isHidden());
    EXPECT_FALSE(again->ItemButtonText->isChecked());
    EXPECT_TRUE(again->ItemOptions->isChecked());
    ASSERT_EQ(again->ComboFind->count(), 1);
    EXPECT_EQ(again->ComboFind->itemText(0), "two");
    EXPECT_TRUE(again->ComboFind->currentText().isEmpty());
}

// The boxes offer their history and never change what is typed: not by
// completing it from an item that differs in case or goes on, nor by Enter
// picking such an item.
TEST_F(FindForm, TypedTextStaysAsTypedWhateverTheHistoryHolds) {
    struct TCase {
        const char* History;
        const char* Typed;
    };
    const TCase cases[] = {{"e", "E"}, {"(\\d)(\\d+)", "("}, {"apple pie", "apple"}};
    for (const TCase& c : cases) {
        for (const char* name : {"HistoryFind", "HistoryReplace"})
            registry->WriteString(platform::RootKey::CurrentUser, editor::kFindReplaceKey, name,
                                  std::string(c.History) + "\r\nother");
        auto form = MakeForm();
        QApplication::setActiveWindow(form.get());
        ASSERT_EQ(form->ComboFind->itemText(0), c.History);
        for (QComboBox* box : {form->ComboFind, form->ComboReplace}) {
            box->setFocus();
            QTest::keyClicks(box, c.Typed);
            EXPECT_EQ(box->currentText(), c.Typed) << c.History;
        }
        QTest::keyClick(form->ComboFind, Qt::Key_Return); // Find
        EXPECT_EQ(form->ComboFind->currentText(), c.Typed) << c.History;
        EXPECT_EQ(form->ComboFind->itemText(0), c.Typed) << c.History;
    }
}

// What a Replace All changes is what the author typed, not a longer history
// item that begins with it.
TEST_F(FindForm, ReplaceAllUsesTheTypedTextNotAHistoryItem) {
    registry->WriteString(platform::RootKey::CurrentUser, editor::kFindReplaceKey, "HistoryFind",
                          "ab");
    OpenTopics("ab a", "", "");
    auto form = MakeForm();
    QApplication::setActiveWindow(form.get());
    form->ComboFind->setFocus();
    QTest::keyClicks(form->ComboFind, "a");
    form->ComboReplace->setFocus();
    QTest::keyClicks(form->ComboReplace, "x");
    QTest::mouseClick(form->BtnReplaceAll, Qt::LeftButton);
    EXPECT_EQ(view.text.TextRange(0, 4), "xb x");
}

// The Replace prompt goes below the found text, centred across the screen;
// for text near the bottom of the screen, above it.
TEST(FindFormPrompt, ReplacePromptStaysOffTheFoundText) {
    components::ui::TWindowedMessenger messenger;
    std::unique_ptr<platform::Registry> registry = platform::OpenMemoryRegistry();
    editor::TEditorContext context(messenger, *registry);
    components::ui::TRicherEdit edit;
    TEditView view(edit);
    context.CreateTopicEditor(view);
    std::string text = "find me";
    for (int i = 0; i < 60; ++i)
        text += "\\par line";
    text += "\\par find me";
    auto project = std::make_unique<helpproject::TBrindlewovenProject>();
    project->ClearTopics();
    project->AddTopic(10, "T")->SetText({"{\\rtf1 " + text + "}"});
    context.Session().ReplaceProject(std::move(project));
    context.TopicEditor().ProjectReplaced();
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    edit.setGeometry(0, 0, 500, screen.height());
    edit.show();

    TFindForm form(context, edit, nullptr);
    form.ShowFind();
    form.ComboFind->setEditText("find me");
    form.ComboReplace->setEditText("found");
    form.CheckPrompt->setChecked(true);

    // Where each prompt was, and where the text it asked about was.
    struct TSeen {
        QRect prompt;
        QRect text;
    };
    std::vector<TSeen> seen;
    std::function<void()> answer = [&] {
        auto* box =
            qobject_cast<components::ui::TMessengerForm*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            QTimer::singleShot(5, answer);
            return;
        }
        QTextCursor start = edit.textCursor();
        start.setPosition(start.selectionStart());
        QTextCursor end = edit.textCursor();
        end.setPosition(end.selectionEnd());
        const QRect text(edit.viewport()->mapToGlobal(edit.cursorRect(start).topLeft()),
                         edit.viewport()->mapToGlobal(edit.cursorRect(end).bottomRight()));
        seen.push_back({box->frameGeometry(), text});
        box->DialogButton(1)->click(); // No
        if (seen.size() < 2)
            QTimer::singleShot(0, answer);
    };
    QTimer::singleShot(0, answer);
    form.BtnFindClick(editor::TFindButton::ReplaceAll);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(edit.toPlainText().count("find me"), 2); // nothing replaced
    for (const TSeen& s : seen) {
        EXPECT_FALSE(s.prompt.intersects(s.text)) << s.text.top();
        EXPECT_LE(std::abs(s.prompt.center().x() - screen.center().x()), 1);
        EXPECT_TRUE(screen.contains(s.prompt));
    }
    EXPECT_GT(seen[0].prompt.top(), seen[0].text.bottom()); // below the first
    EXPECT_LT(seen[1].prompt.bottom(), seen[1].text.top()); // above the last
}

TEST_F(FindForm, ActivationFollowsTheSelection) {
    OpenTopics("some words here", "", "");
    auto form = MakeForm();
    EXPECT_FALSE(form->RadioCurrentSel->isEnabled());
    EXPECT_FALSE(form->RadioSelStart->isEnabled());
    view.text.SetSelection(5, 5);
    form->FormActivate();
    EXPECT_TRUE(form->RadioCurrentSel->isEnabled());
    QTest::mouseClick(form->RadioCurrentSel, Qt::LeftButton);
    EXPECT_TRUE(form->RadioSelStart->isChecked());
    EXPECT_FALSE(form->RadioDocStart->isEnabled());
    // The selection is gone: the scope falls back to the current topic.
    view.text.SetSelection(0, 0);
    form->FormActivate();
    EXPECT_TRUE(form->RadioCurrentDoc->isChecked());
    EXPECT_TRUE(form->RadioCursor->isChecked());
}

} // namespace

namespace {

class FindFromMainWindow : public editortest::FormFixture {};

TEST_F(FindFromMainWindow, F5AndTheToolBarButtonOpenOneWindow) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    OpenFourTopics();
    QAction* find = window.Actions().Action("ActionTextFind");
    EXPECT_EQ(find->shortcut(), QKeySequence("F5"));
    const QList<QAction*> bar = window.HelpToolBar()->actions();
    ASSERT_FALSE(bar.isEmpty());
    EXPECT_EQ(bar.back(), find);
    EXPECT_EQ(window.HelpToolBar()->widgetForAction(find)->objectName(), "BtnFindAndReplace");

    find->trigger();
    auto* form = window.findChild<editor::ui::TFindForm*>("FindForm");
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    QTest::keyClicks(form->ComboFind, "Charlie");
    QTest::keyClicks(form->ComboReplace, "Carol");
    QTest::mouseClick(form->RadioAllDocs, Qt::LeftButton);
    bool enabledDuringRun = true;
    QTimer::singleShot(0, &window, [&] { enabledDuringRun = window.isEnabled(); });
    QTest::mouseClick(form->BtnReplaceAll, Qt::LeftButton);
    EXPECT_FALSE(enabledDuringRun); // no topic switch or typing under the run
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.Context().Session().Modified());
    EXPECT_EQ(window.Context().Project().TopicByNumber(30)->Title,
              "Charlie"); // the text changes, not the title field
    // The search went on to the last topic; the one it changed is stored.
    EXPECT_EQ(window.Context().Session().CurrentTopic()->Number, 40);
    const rtf::RtfDocument stored =
        rtf::LoadFromStrings(window.Context().Project().TopicByNumber(30)->Text);
    EXPECT_EQ(stored.TextRange(0, stored.TextLength()).find("Charlie"), std::string::npos);
    EXPECT_NE(stored.TextRange(0, stored.TextLength()).find("Carol"), std::string::npos);

    form->close();
    EXPECT_FALSE(form->isVisible());
    find->trigger();
    EXPECT_EQ(window.findChildren<editor::ui::TFindForm*>().size(), 1);
    EXPECT_TRUE(form->isVisible());
}

} // namespace
