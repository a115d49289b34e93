#include "editor/ui/dialogs/formindexeditor.h"

#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "dialogs_support.h"
#include "editor/editorcontext.h"
#include "platform/registry.h"

using editor::TKeywordIndex;
using editor::ui::TFormIndexEditor;

namespace {

class FormIndexEditorTest : public ::testing::Test {
protected:
    FormIndexEditorTest()
        : registry(platform::OpenMemoryRegistry()), context(messenger, *registry) {
        auto& project = context.Project();
        project.ClearTopics();
        project.AddTopic(10, "Printing")->KKeywords = "Printing,setup;Printing ;Fonts";
        project.AddTopic(20, "Alpha")->KKeywords = "Zoom";
    }

    static void ClickRow(QListView* list, const QString& text) {
        const auto found = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, text,
                                                1, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list->scrollTo(found[0]);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(found[0]).center());
        ASSERT_EQ(list->currentIndex(), found[0]);
    }
    static QStringList Rows(QListView* list) {
        QStringList rows;
        for (int i = 0; i < list->model()->rowCount(); ++i)
            rows << list->model()->index(i, 0).data().toString();
        return rows;
    }
    void Type(const char* text) {
        components::TScriptedMessenger::TAnswer answer;
        answer.Result = components::mrOk;
        answer.Input = text;
        answer.HasInput = true;
        messenger.QueueAnswer(answer);
    }

    std::unique_ptr<platform::Registry> registry;
    components::TScriptedMessenger messenger;
    editor::TEditorContext context;
};

} // namespace

TEST_F(FormIndexEditorTest, ShowsTheIndexAndWritesItOnOk) {
    TFormIndexEditor form(context);
    form.show();
    EXPECT_EQ(Rows(form.ListIndex()), (QStringList{"Fonts", "Printing", "     setup", "Zoom"}));
    EXPECT_FALSE(form.BtnDeleteKeyword()->isEnabled()) << "no row chosen";
    ClickRow(form.ListIndex(), "Printing");
    EXPECT_EQ(Rows(form.ListKeywordTopics()), QStringList{"10: Printing"});
    EXPECT_TRUE(form.BtnRename()->isEnabled());
    // The topic list marks the keyword's topics in blue.
    const QAbstractItemModel* topics = form.ListTopics()->model();
    EXPECT_EQ(topics->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
    EXPECT_FALSE(topics->index(1, 0).data(Qt::ForegroundRole).isValid());

    Type("A;B");
    Click(form.BtnNewKeyword());
    EXPECT_EQ(Rows(form.ListIndex()).first(), "AB");
    EXPECT_EQ(form.ListIndex()->currentIndex().row(), 0);
    EXPECT_EQ(form.ListIndex()->currentIndex().data(Qt::ForegroundRole).value<QColor>(),
              QColor(Qt::red))
        << "no topics yet";
    ClickRow(form.ListTopics(), "20: Alpha");
    Click(form.BtnAddTopic());
    EXPECT_EQ(Rows(form.ListKeywordTopics()), QStringList{"20: Alpha"});
    Click(form.RadioSortTitle());
    EXPECT_EQ(Rows(form.ListTopics()), (QStringList{"Alpha (20)", "Printing (10)"}));

    Click(form.OkBtn());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(context.Project().TopicByNumber(10)->KKeywords, "Fonts;Printing;Printing,setup;");
    EXPECT_EQ(context.Project().TopicByNumber(20)->KKeywords, "AB;Zoom;");
}

TEST_F(FormIndexEditorTest, CancelWritesNothingAndUndoStepsBack) {
    TFormIndexEditor form(context);
    form.show();
    ClickRow(form.ListIndex(), "Printing");
    Type("Print");
    Click(form.BtnRename());
    EXPECT_EQ(Rows(form.ListIndex()), (QStringList{"Fonts", "Print", "     setup", "Zoom"}));
    ASSERT_TRUE(form.BtnUndo()->isEnabled());
    form.BtnUndo()->click();
    EXPECT_EQ(Rows(form.ListIndex()), (QStringList{"Fonts", "Printing", "     setup", "Zoom"}));
    EXPECT_TRUE(form.BtnRedo()->isEnabled());
    ClickRow(form.ListIndex(), "Zoom");
    Click(form.BtnDeleteKeyword());
    Click(form.CancelBtn());
    EXPECT_EQ(context.Project().TopicByNumber(20)->KKeywords, "Zoom");
    // Each showing starts from the topics, with no history.
    form.show();
    EXPECT_EQ(Rows(form.ListIndex()).last(), "Zoom");
    EXPECT_FALSE(form.BtnUndo()->isEnabled());
}

TEST_F(FormIndexEditorTest, NoToTheQuestionKeepsEditing) {
    TFormIndexEditor form(context);
    form.show();
    ClickRow(form.ListIndex(), "     setup");
    ClickRow(form.ListTopics(), "10: Printing");
    // Printing loses its own topic but keeps its sub-keyword.
    ClickRow(form.ListIndex(), "Printing");
    ClickRow(form.ListKeywordTopics(), "10: Printing");
    Click(form.BtnRemoveTopic());
    messenger.QueueAnswer(components::mrNo);
    Click(form.OkBtn());
    EXPECT_TRUE(form.isVisible());
    ASSERT_FALSE(messenger.Records.empty());
    EXPECT_EQ(messenger.Records.back().Text, TKeywordIndex::kSubKeywordQuestion);
    EXPECT_EQ(context.Project().TopicByNumber(10)->KKeywords, "Printing,setup;Printing ;Fonts");
    messenger.QueueAnswer(components::mrYes);
    Click(form.OkBtn());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(context.Project().TopicByNumber(10)->KKeywords, "Fonts;Printing,setup;");
}
