// The grid bar's buttons and the grid's pop-up menu.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "editor/barlayout.h"
#include "editor/ui/propertybar.h"
#include "editor/ui/topicgridmodel.h"
#include "editor/ui/topicgridpanel.h"
#include "editor/ui/topicgridview.h"
#include "form_support.h"
#include "platform/littleendian.h"

namespace editortest {
namespace {

using helpproject::TTopicColumn;

class TopicGridPanelTest : public FormFixture {
protected:
    editor::ui::TTopicGridPanel& Panel() { return form->GridPanel(); }
    std::vector<std::string> Headers() {
        std::vector<std::string> out;
        auto& model = form->GridView().Model();
        for (int c = 0; c < model.columnCount(); ++c)
            out.push_back(
                model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
        return out;
    }
    int RowOf(std::int32_t number) { return form->Context().Project().SortedIndexOf(number); }
    // The pop-up item of that caption, for a cell.
    QAction* Item(QMenu& menu, int row, int column, const QString& caption) {
        menu.clear();
        Panel().FillPopup(menu, row, column);
        for (QAction* action : menu.actions())
            if (action->text() == caption)
                return action;
        return nullptr;
    }
};

TEST_F(TopicGridPanelTest, ButtonsFollowTheStoredColumnsAndToggleThem) {
    registry->WriteBinary(platform::RootKey::CurrentUser, editor::kStateKey, "GridContents",
                          std::string("\x02\x07\0\0\0\0\0", 7));
    MakeForm();
    EXPECT_FALSE(Panel().GridButton(1)->isChecked());
    EXPECT_TRUE(Panel().GridButton(2)->isChecked());
    EXPECT_TRUE(Panel().GridButton(7)->isChecked());
    EXPECT_EQ(Panel().GridButton(4), nullptr); // the B keywords have no button

    Panel().GridButton(1)->click();
    EXPECT_EQ(Headers(), (std::vector<std::string>{"ID", "Keywords", "Status", "Title"}));
    EXPECT_TRUE(Panel().GridButton(1)->isChecked());
    Panel().GridButton(2)->click();
    EXPECT_EQ(Headers(), (std::vector<std::string>{"ID", "Status", "Title"}));
    EXPECT_FALSE(Panel().GridButton(2)->isChecked());
}

TEST_F(TopicGridPanelTest, PopupActsOnTheClickedRowsTopic) {
    MakeForm();
    OpenFourTopics();
    QMenu menu;
    // Bookmark another topic, then delete it; the current one stays.
    QAction* bookmark = Item(menu, RowOf(30), 1, "&Bookmark");
    ASSERT_NE(bookmark, nullptr);
    EXPECT_FALSE(bookmark->isChecked());
    bookmark->trigger();
    EXPECT_TRUE(form->Context().Project().TopicByNumber(30)->Bookmark);
    EXPECT_TRUE(Item(menu, RowOf(30), 1, "&Bookmark")->isChecked());
    Item(menu, RowOf(30), 1, "&Delete topic")->trigger();
    EXPECT_EQ(form->Context().Project().FindTopic(30), nullptr);
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Number, 10);
    EXPECT_EQ(form->GridView().Model().rowCount(), 3);
    EXPECT_EQ(form->Context().TopicEditor().UndoMenu().Entries().front().Caption, "Delete #30");

    // Insert Topic after a row numbers the topic after it and shows it.
    Item(menu, RowOf(20), 1, "&Insert Topic")->trigger();
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Number, 30);
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Title, "<new topic>");
}

TEST_F(TopicGridPanelTest, StatusValuesOfTheBarAreOfferedForAStatusCell) {
    MakeForm();
    OpenFourTopics();
    form->Context().Project().TopicByNumber(40)->Status = "Done";
    form->Context().TopicEditor().ProjectReplaced(); // the status list learns "Done"
    form->Context().Grid().Layout().ToggleColumn(TTopicColumn::Status);
    form->GridView().Rebuild();
    QMenu menu;
    QAction* done = Item(menu, RowOf(20), 2, "Done");
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->statusTip(), "Set new value for the Status tag footnote");
    done->trigger();
    EXPECT_EQ(form->Context().Project().TopicByNumber(20)->Status, "Done");
    // On the current topic's row the value goes into the bar until stored.
    const std::string stored = form->Context().Project().TopicByNumber(10)->Status;
    ASSERT_NE(stored, "Done");
    Item(menu, RowOf(10), 2, "Done")->trigger();
    EXPECT_EQ(form->PropertyBarWidgets().ComboStatus->currentText(), "Done");
    EXPECT_EQ(form->Context().Project().TopicByNumber(10)->Status, stored);
    form->Context().TopicEditor().StoreTopic();
    EXPECT_EQ(form->Context().Project().TopicByNumber(10)->Status, "Done");
}

} // namespace
} // namespace editortest

namespace editortest {
namespace {

// The grid bar keeps its six buttons in one row, however narrow the grid.
TEST_F(TopicGridPanelTest, GridBarShowsItsSixButtonsInOneRowAtAnyWidth) {
    MakeForm();
    for (int width : {editor::kGridMinWidth, 300}) {
        form->resizeDocks({form->PanelGrid()}, {width}, Qt::Horizontal);
        QTest::qWait(0);
        const QToolButton* previous = nullptr;
        for (int code : {1, 2, 3, 5, 6, 7}) {
            const QToolButton* button = Panel().GridButton(code);
            ASSERT_NE(button, nullptr) << code;
            EXPECT_TRUE(button->isVisible()) << width << ' ' << code;
            EXPECT_GT(button->width(), 0) << width << ' ' << code;
            if (previous) {
                EXPECT_EQ(button->y(), previous->y()) << width << ' ' << code;
                EXPECT_EQ(button->x(), previous->geometry().right() + 1) << width << ' ' << code;
            } else {
                EXPECT_EQ(button->x(), 1) << width;
            }
            previous = button;
        }
        EXPECT_LE(previous->geometry().right(), Panel().width()) << width;
    }
}

} // namespace
} // namespace editortest
