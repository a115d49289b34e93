#include "editor/ui/contentseditorcommands.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/messenger_support.h"
#include "dialogs_support.h"
#include "editor/ui/dialogs/contentsform.h"
#include "editor/ui/dialogs/contentslistview.h"
#include "editor/ui/dialogs/formindexeditor.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/projectactions.h"
#include "form_support.h"

using editor::ui::TContentsForm;
using editor::ui::TFormIndexEditor;

namespace {

class ContentsEditorCommands : public editortest::FormFixture {};

} // namespace

TEST_F(ContentsEditorCommands, TheContentsEditorIsModelessAndFollowsANewProject) {
    auto& window = MakeForm();
    OpenFourTopics();
    window.Context().Project().ContentsLines = {"1 Old book", "2 Old page=Vellumar10"};
    window.Actions().Action("ActionEditorsContents")->trigger();
    TContentsForm* editor = window.ContentsEditors().ContentsForm();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(editor->isModal());
    EXPECT_EQ(editor->Model().Document().Count(), 2);
    editor->ListCnt()->setFocus();
    Click(editor->BtnCntDel());
    EXPECT_EQ(editor->Model().Document().Count(), 1);

    // New replaces the project while the editor is open: it shows the new
    // (empty) contents, and OK cannot carry the old lines over.
    window.ProjectActions().Commands().NewProject();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Model().Document().Count(), 0);
    EXPECT_FALSE(editor->BtnUndo()->isEnabled());
    Click(editor->OkBtn());
    EXPECT_TRUE(window.Context().Project().ContentsLines.empty());
    EXPECT_TRUE(window.Context().Session().Modified());

    // The same window comes back on the next use.
    window.Actions().Action("ActionEditorsContents")->trigger();
    EXPECT_EQ(window.ContentsEditors().ContentsForm(), editor);
}

TEST_F(ContentsEditorCommands, TheIndexEditorIsModalAndStoresTheTopicAround) {
    auto& window = MakeForm();
    OpenFourTopics();
    AnswerNext<TFormIndexEditor>([](TFormIndexEditor& f) {
        EXPECT_TRUE(f.isModal());
        EXPECT_EQ(f.Index().Count(), 4);
        Click(f.OkBtn());
    });
    window.Actions().Action("ActionEditorsIndex")->trigger();
    EXPECT_TRUE(window.Context().Session().Modified());
    EXPECT_EQ(window.Context().Project().TopicByNumber(10)->KKeywords, "k10;");

    window.Context().Session().SetModified(false);
    AnswerNext<TFormIndexEditor>([](TFormIndexEditor& f) { Click(f.CancelBtn()); });
    window.Actions().Action("ActionEditorsIndex")->trigger();
    EXPECT_FALSE(window.Context().Session().Modified());
}
