#include <gtest/gtest.h>

#include "editor/topicgrid.h"
#include "editorfixture_support.h"

using namespace editor;
using editortest::EditorFixture;
using helpproject::TTopicColumn;

namespace {

class TopicGridTest : public EditorFixture {
protected:
    void OpenGrid(std::initializer_list<std::int32_t> numbers,
                  std::initializer_list<std::uint8_t> contents) {
        Open(numbers);
        const std::vector<std::uint8_t> codes(contents);
        layout.SetContents(codes);
        grid = std::make_unique<TTopicGrid>(*editor, layout);
    }
    std::vector<std::string> Row(int row) const {
        std::vector<std::string> cells;
        for (int c = 0; c < grid->ColumnCount(); ++c)
            cells.push_back(grid->CellText(row, c));
        return cells;
    }

    TGridLayout layout;
    std::unique_ptr<TTopicGrid> grid;
};

using Cells = std::vector<std::string>;

} // namespace

TEST(GridLayout, DefaultShowsTheTitleAlone) {
    TGridLayout layout;
    EXPECT_EQ(layout.Columns(), std::vector<TTopicColumn>{TTopicColumn::Title});
    EXPECT_EQ(layout.Contents(), (std::array<std::uint8_t, 7>{1, 0, 0, 0, 0, 0, 0}));
    for (std::int32_t w : layout.Widths())
        EXPECT_EQ(w, 32);
}

TEST(GridLayout, StoredContentsStopAtAnythingButANewProperty) {
    struct Case {
        std::vector<std::uint8_t> stored;
        std::vector<TTopicColumn> columns;
    };
    const Case cases[] = {
        {{2, 7, 0, 1}, {TTopicColumn::KKeywords, TTopicColumn::Status}},
        {{3, 9, 1}, {TTopicColumn::AKeywords}},
        {{5, 5, 6}, {TTopicColumn::BrowseSequence}},
        {{0, 1}, {}},
        {{1, 2, 3, 4, 5, 6, 7, 1},
         {TTopicColumn::Title, TTopicColumn::KKeywords, TTopicColumn::AKeywords,
          TTopicColumn::BKeywords, TTopicColumn::BrowseSequence, TTopicColumn::BuildTag,
          TTopicColumn::Status}},
    };
    for (const Case& c : cases) {
        TGridLayout layout;
        layout.SetContents(c.stored);
        EXPECT_EQ(layout.Columns(), c.columns);
    }
}

// Removing a column and adding it again puts it last with its old width.
TEST(GridLayout, ButtonsRemoveAndAppendColumnsKeepingWidths) {
    TGridLayout layout;
    const std::vector<std::uint8_t> codes{1, 2, 7};
    layout.SetContents(codes);
    const std::vector<std::int32_t> widths{120, 80, 40};
    layout.StoreWidths(widths);
    EXPECT_FALSE(layout.ToggleColumn(TTopicColumn::Title));
    EXPECT_EQ(layout.Columns(),
              (std::vector<TTopicColumn>{TTopicColumn::KKeywords, TTopicColumn::Status}));
    EXPECT_TRUE(layout.ToggleColumn(TTopicColumn::Title));
    EXPECT_EQ(layout.Columns(),
              (std::vector<TTopicColumn>{TTopicColumn::KKeywords, TTopicColumn::Status,
                                         TTopicColumn::Title}));
    EXPECT_EQ(layout.Width(TTopicColumn::Title), 120);
    EXPECT_EQ(layout.Width(TTopicColumn::Status), 40);
}

TEST(GridLayout, DraggedHeaderMovesItsCode) {
    TGridLayout layout;
    const std::vector<std::uint8_t> codes{1, 2, 3, 7};
    layout.SetContents(codes);
    layout.MoveColumn(0, 2);
    EXPECT_EQ(layout.Contents(), (std::array<std::uint8_t, 7>{2, 3, 1, 7, 0, 0, 0}));
    layout.MoveColumn(3, 0);
    EXPECT_EQ(layout.Contents(), (std::array<std::uint8_t, 7>{7, 2, 3, 1, 0, 0, 0}));
    layout.MoveColumn(1, 9); // no such column: nothing moves
    EXPECT_EQ(layout.Contents(), (std::array<std::uint8_t, 7>{7, 2, 3, 1, 0, 0, 0}));
}

TEST_F(TopicGridTest, ColumnsShowTheChosenProperties) {
    OpenGrid({10, 20}, {1, 4, 6, 7});
    Topic(20).BKeywords = "TMyClass";
    Topic(20).BuildTag = "pro";
    EXPECT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(Row(0), (Cells{"ID", "Title", "Delphi keywords", "Build tag", "Status"}));
    EXPECT_EQ(Row(2), (Cells{"20", "T20", "", "pro", "Writing"}));
    EXPECT_EQ(grid->CurrentRow(), 1);
}

// The current topic's cells show the property bar, unstored edits included.
TEST_F(TopicGridTest, CurrentTopicShowsItsUnstoredEdits) {
    OpenGrid({10, 20}, {1, 2});
    editor->SetKKeywords("typed");
    EXPECT_EQ(Row(1), (Cells{"10", "T10", "typed"}));
    EXPECT_EQ(grid->EditText(1, 2), "typed");
    EXPECT_EQ(Topic(10).KKeywords, "");
    Topic(20).KKeywords = "stored";
    EXPECT_EQ(grid->EditText(2, 2), "stored");
}

TEST_F(TopicGridTest, EditsOfTheCurrentTopicGoIntoTheBar) {
    OpenGrid({10, 20}, {1, 2, 4, 6});
    grid->SetEditText(1, 2, "grid keys");
    EXPECT_EQ(editor->PropertyBar().KKeywords, "grid keys");
    EXPECT_TRUE(editor->PropertyBar().KKeywordsModified);
    EXPECT_EQ(Topic(10).KKeywords, "");
    grid->SetEditText(1, 1, "New title"); // as if typed in the title box
    EXPECT_EQ(EditorText(), "New title\r\r");
    grid->SetEditText(1, 3, "dropped");
    EXPECT_EQ(Topic(10).BKeywords, "");
    EXPECT_FALSE(session->Modified());
    editor->GoToTopicID(20);
    EXPECT_EQ(Topic(10).KKeywords, "grid keys");
    EXPECT_EQ(Topic(10).Title, "New title");
}

TEST_F(TopicGridTest, EditsOfAnotherTopicAreWrittenAtOnce) {
    OpenGrid({10, 20}, {1, 6, 7});
    Project().ContentsLines = {"1 T20=Vellumar20"};
    grid->SetEditText(2, 3, "Done");
    grid->SetEditText(2, 2, "NetOnly");
    grid->SetEditText(2, 1, "Renamed");
    EXPECT_EQ(Topic(20).Status, "Done");
    EXPECT_EQ(Topic(20).BuildTag, "netonly");
    EXPECT_EQ(Topic(20).Title, "Renamed");
    EXPECT_EQ(Project().ContentsLines[0], "1 Renamed=Vellumar20");
    EXPECT_EQ(Project().TopicsByTitle().front().Text, "Renamed (20)");
    EXPECT_TRUE(session->Modified());
    EXPECT_EQ(Current(), 10);
}

TEST_F(TopicGridTest, HeaderClicksSortAndReverse) {
    OpenGrid({10, 20, 30}, {1});
    Topic(10).Title = "b";
    Topic(20).Title = "c";
    Topic(30).Title = "a";
    editor->ShowTopic();
    grid->HeaderClicked(1);
    EXPECT_EQ(grid->CellText(1, 0), "30");
    EXPECT_EQ(grid->CurrentRow(), 2);
    grid->HeaderClicked(1);
    EXPECT_EQ(grid->CellText(1, 0), "20");
    EXPECT_EQ(Current(), 10);
    EXPECT_EQ(grid->CurrentRow(), 2);
}

TEST_F(TopicGridTest, ValueChoicesOfBuildTagAndStatusCells) {
    OpenGrid({10}, {1, 6, 7});
    editor->AddToBuildTagList("pro");
    EXPECT_EQ(grid->ValueChoices(2), std::vector<std::string>{"pro"});
    EXPECT_EQ(grid->ValueChoices(3), (std::vector<std::string>{"Writing", "Testing", "Done"}));
    EXPECT_TRUE(grid->ValueChoices(1).empty());
}
