// The topic grid over the session: its columns, header sort, in-place edits
// routed to the property bar or the project, and opening a row's topic.
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyleOptionViewItem>
#include <QTest>

#include "editor/ui/propertybar.h"
#include "editor/ui/topicgridmodel.h"
#include "editor/ui/topicgridview.h"
#include "form_support.h"

namespace editortest {
namespace {

using helpproject::TTopicColumn;

class TopicGridViewTest : public FormFixture {
protected:
    void SetUp() override {
        MakeForm();
        OpenFourTopics();
    }
    editor::ui::TTopicGridView& View() { return form->GridView(); }
    editor::ui::TTopicGridModel& Model() { return View().Model(); }
    std::string Cell(int row, int column) {
        return Model().index(row, column).data().toString().toStdString();
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> out;
        for (int row = 0; row < Model().rowCount(); ++row)
            out.push_back(Cell(row, column));
        return out;
    }
    int RowOf(std::int32_t number) {
        for (int row = 0; row < Model().rowCount(); ++row)
            if (Cell(row, 0) == std::to_string(number))
                return row;
        return -1;
    }
    void ShowKeywords() {
        form->Context().Grid().Layout().ToggleColumn(TTopicColumn::KKeywords);
        View().Rebuild();
    }
};

TEST_F(TopicGridViewTest, RowsFollowTheSortedViewAndTheHeaderSorts) {
    EXPECT_EQ(Model().columnCount(), 2);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"10", "20", "30", "40"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"Delta", "Alpha", "Charlie", "Bravo"}));
    EXPECT_EQ(Model().index(0, 0).data(Qt::FontRole).value<QFont>().bold(), true);

    emit View().horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"Alpha", "Bravo", "Charlie", "Delta"}));
    emit View().horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"Delta", "Charlie", "Bravo", "Alpha"}));
    // The current topic stays current, and its row is the view's current row.
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Number, 10);
    EXPECT_EQ(View().currentIndex().row(), 0);
    EXPECT_TRUE(Model().index(0, 1).data(Qt::FontRole).value<QFont>().bold());
    emit View().horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"10", "20", "30", "40"}));
}

TEST_F(TopicGridViewTest, EditOfTheCurrentTopicGoesIntoTheBarUntilStored) {
    ShowKeywords();
    ASSERT_EQ(Model().headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Keywords");
    const int row = RowOf(10);
    ASSERT_TRUE(Model().setData(Model().index(row, 2), "fresh", Qt::EditRole));
    EXPECT_EQ(form->PropertyBarWidgets().EditKeywords->text(), "fresh");
    EXPECT_EQ(form->Context().Project().TopicByNumber(10)->KKeywords, "k10");
    EXPECT_EQ(Cell(row, 2), "fresh"); // the grid shows the live value

    // Typing in the bar shows in the grid and is what an edit starts with.
    QTest::keyClicks(form->PropertyBarWidgets().EditKeywords, "!");
    EXPECT_EQ(Model().index(row, 2).data(Qt::EditRole).toString(), "fresh!");

    form->Context().TopicEditor().StoreTopic();
    EXPECT_EQ(form->Context().Project().TopicByNumber(10)->KKeywords, "fresh!");
}

TEST_F(TopicGridViewTest, EditOfAnotherTopicIsStoredAtOnce) {
    ShowKeywords();
    ASSERT_TRUE(Model().setData(Model().index(RowOf(30), 2), "other", Qt::EditRole));
    EXPECT_EQ(form->Context().Project().TopicByNumber(30)->KKeywords, "other");
    ASSERT_TRUE(Model().setData(Model().index(RowOf(20), 1), "Aardvark", Qt::EditRole));
    EXPECT_EQ(form->Context().Project().TopicByNumber(20)->Title, "Aardvark");
    EXPECT_TRUE(form->Context().Session().Modified());
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Number, 10);
    EXPECT_EQ(form->PropertyBarWidgets().EditKeywords->text(), "k10");
    QCoreApplication::processEvents(); // a deferred rebuild
    EXPECT_EQ(Cell(RowOf(20), 1), "Aardvark");
}

TEST_F(TopicGridViewTest, CtrlEnterOrDoubleClickOpensTheRowsTopic) {
    View().resize(300, 300);
    const QModelIndex cell = Model().index(RowOf(30), 1);
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, View().visualRect(cell).center());
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Number, 10); // a click only moves the cell
    QTest::keyClick(&View(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Number, 30);
    EXPECT_EQ(form->PropertyBarWidgets().ComboTopic->currentText(), "Charlie");
    EXPECT_TRUE(Model().index(RowOf(30), 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(Model().index(RowOf(10), 0).data(Qt::FontRole).value<QFont>().bold());

    emit View().doubleClicked(Model().index(RowOf(40), 1));
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Number, 40);
}

TEST_F(TopicGridViewTest, ARemovedColumnComesBackLastWithItsWidth) {
    ShowKeywords();
    View().setColumnWidth(1, 77); // the title
    form->Context().Grid().Layout().ToggleColumn(TTopicColumn::Title);
    View().Rebuild();
    ASSERT_EQ(Model().columnCount(), 2);
    form->Context().Grid().Layout().ToggleColumn(TTopicColumn::Title);
    View().Rebuild();
    EXPECT_EQ(Model().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Keywords");
    EXPECT_EQ(Model().headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Title");
    EXPECT_EQ(form->Context().Grid().Layout().Width(TTopicColumn::Title), 77);
    // The last column fills the panel, never below its own width.
    EXPECT_GE(View().columnWidth(2), 77);
}

// A number of any length shows whole in its column, in the bold of the
// current topic's row too: the column grows when a topic takes a longer
// number (as renumbering or an import of mapped numbers give).
TEST_F(TopicGridViewTest, NumberColumnShowsTheWidestNumberWhole) {
    View().resize(400, 300);
    const int narrow = View().columnWidth(0);
    form->Context().Project().ChangeTopicNumber(10, 2147483647); // the current topic
    View().Rebuild();
    const int row = RowOf(2147483647);
    ASSERT_GE(row, 0);
    ASSERT_TRUE(Model().index(row, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_GT(View().columnWidth(0), narrow);
    QStyleOptionViewItem option;
    option.initFrom(&View());
    for (int r = 0; r < Model().rowCount(); ++r)
        EXPECT_LE(View().itemDelegate()->sizeHint(option, Model().index(r, 0)).width(),
                  View().columnWidth(0))
            << Cell(r, 0);
    EXPECT_LE(View().horizontalHeader()->sectionSizeHint(0), View().columnWidth(0));
    // The other columns keep their widths; the last one fills the panel.
    EXPECT_EQ(View().columnWidth(0) + View().columnWidth(1), View().viewport()->width());
}

} // namespace
} // namespace editortest
