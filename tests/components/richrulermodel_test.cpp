// The ruler's model: page width, tick marks and the mouse editing of the
// indents and tab stops, in twips kept exactly.
#include <gtest/gtest.h>

#include "components/richrulermodel.h"

namespace {

using components::TRichRulerModel;
using components::TRulerMarker;
using components::TRulerTick;
using components::TRulerUnits;

TEST(RichRulerModel, PageWidthFollowsSizeUnitsAndScreen) {
    TRichRulerModel model;
    model.SetUnits(TRulerUnits::ruCentimeters);
    model.SetPageSize(21);
    EXPECT_EQ(model.PageWidthPixels(), 794);
    model.SetUnits(TRulerUnits::ruInches);
    model.SetPageSize(8.5);
    EXPECT_EQ(model.PageWidthPixels(), 816);
    model.SetPageSize(0); // ignored
    model.SetPageSize(-3);
    EXPECT_EQ(model.PageSize(), 8.5);
    model.SetUnits(TRulerUnits::ruCentimeters);
    model.SetPixelsPerInch(120);
    EXPECT_EQ(model.PageWidthPixels(), 402); // 8.5 cm
}

TEST(RichRulerModel, TicksEveryQuarterUnitWithNumbersAtTheLongOnes) {
    TRichRulerModel model;
    model.SetUnits(TRulerUnits::ruInches);
    model.SetPageSize(6);
    std::vector<TRulerTick> ticks = model.Ticks(10000);
    ASSERT_EQ(ticks.size(), 25u);
    EXPECT_EQ(ticks[0], (TRulerTick{4, TRulerTick::Long, 0}));
    EXPECT_EQ(ticks[1], (TRulerTick{28, TRulerTick::Short, 0}));
    EXPECT_EQ(ticks[2], (TRulerTick{52, TRulerTick::Medium, 0}));
    EXPECT_EQ(ticks[3], (TRulerTick{76, TRulerTick::Short, 0}));
    EXPECT_EQ(ticks[4], (TRulerTick{100, TRulerTick::Long, 1}));
    EXPECT_EQ(ticks.back(), (TRulerTick{580, TRulerTick::Long, 6}));
    EXPECT_EQ(model.Ticks(60).size(), 3u); // only what the ruler's width shows
}

// At 96 pixels per inch a pixel is 15 twips; none of these positions lies on
// a whole pixel, so a conversion to pixels and back would move each of them.
class RulerEditing : public testing::Test {
protected:
    static constexpr int kHeight = 25; // markers 8 pixels: top 0-8, tabs 10-16, bottom 17-25
    static constexpr int kTop = 4;
    static constexpr int kTabStrip = 13;
    static constexpr int kBottom = 21;

    RulerEditing() {
        paragraph_.leftIndent = 1000;
        paragraph_.firstIndent = -500; // the first line at 500
        paragraph_.rightIndent = 777;
        paragraph_.tabs = {{1001, rtf::TabKind::Left, rtf::TabLeader::None},
                           {2003, rtf::TabKind::Right, rtf::TabLeader::Dots}};
        paragraph_.spaceBefore = 120;
        model_.SetUnits(TRulerUnits::ruInches);
        model_.SetPageSize(6); // 576 pixels, 8640 twips
        model_.ReadParagraph(paragraph_);
    }

    std::uint32_t Drag(int x, int y, std::initializer_list<int> moves) {
        EXPECT_TRUE(model_.Press(x, y, kHeight));
        for (int to : moves)
            model_.Move(to);
        return model_.Release();
    }

    rtf::ParaFormat paragraph_;
    TRichRulerModel model_;
};

// Clicking a marker used to write every value back through a truncating
// conversion, so the indent shrank a little with every click.
TEST_F(RulerEditing, AClickWithoutMovementChangesNothing) {
    ASSERT_EQ(model_.FirstMarkerX(), 33);
    ASSERT_EQ(model_.LeftMarkerX(), 67);
    ASSERT_EQ(model_.RightMarkerX(), 524);
    ASSERT_EQ(model_.TabMarkerX(0), 67);
    struct Click {
        int x, y;
        TRulerMarker marker;
    };
    for (Click click :
         {Click{37, kTop, TRulerMarker::FirstIndent}, Click{70, kBottom, TRulerMarker::LeftIndent},
          Click{528, kBottom, TRulerMarker::RightIndent},
          Click{68, kTabStrip, TRulerMarker::Tab}, // the tab's left half
          Click{136, kTabStrip, TRulerMarker::Tab}}) {
        SCOPED_TRACE(click.x);
        ASSERT_TRUE(model_.Press(click.x, click.y, kHeight));
        EXPECT_EQ(model_.DragMarker(), click.marker);
        EXPECT_EQ(model_.Release(), 0u);
        EXPECT_EQ(model_.Paragraph(), paragraph_);
    }
    // Away and back again is no change either.
    EXPECT_EQ(Drag(37, kTop, {80, 10, 37}), 0u);
    EXPECT_EQ(model_.Paragraph(), paragraph_);
}

TEST_F(RulerEditing, OnlyWhatMovedIsWrittenBack) {
    struct Case {
        const char* marker;
        int x, y, to;
        std::uint32_t members;
        int left, first, right; // twips in the paragraph afterwards
    };
    const Case cases[] = {
        // The left marker moves the other lines; the first line stays where it was.
        {"left", 70, kBottom, 100, rtf::kParaLeftIndent | rtf::kParaFirstIndent, 1455, -955, 777},
        {"first", 35, kTop, 65, rtf::kParaFirstIndent, 1000, -55, 777},
        {"right", 528, kBottom, 498, rtf::kParaRightIndent, 1000, -500, 1230},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.marker);
        model_.ReadParagraph(paragraph_);
        EXPECT_EQ(Drag(c.x, c.y, {c.to}), c.members);
        rtf::ParaFormat expected = paragraph_;
        expected.leftIndent = c.left;
        expected.firstIndent = c.first;
        expected.rightIndent = c.right;
        EXPECT_EQ(model_.Paragraph(), expected);
    }
}

TEST_F(RulerEditing, IndentsStayWithinThePage) {
    Drag(35, kTop, {2000});
    EXPECT_EQ(model_.FirstIndent() + model_.RightIndent(), model_.PageWidthTwips());
    Drag(70, kBottom, {-100});
    EXPECT_EQ(model_.LeftIndent(), 0);
    Drag(528, kBottom, {-500});
    EXPECT_EQ(model_.RightIndent(), model_.PageWidthTwips() - model_.FirstIndent());
}

TEST_F(RulerEditing, AClickInTheTabStripAddsATab) {
    EXPECT_EQ(Drag(300, kTabStrip, {}), rtf::kParaTabs);
    ASSERT_EQ(model_.Tabs().size(), 3u);
    EXPECT_EQ(model_.Tabs()[2], (rtf::TabStop{296 * 15, rtf::TabKind::Left, rtf::TabLeader::None}));
}

TEST_F(RulerEditing, WithThirtyTwoTabsAClickInTheStripAddsNone) {
    rtf::ParaFormat full;
    for (int i = 1; i <= 32; ++i)
        full.tabs.push_back({i * 240}); // every 16 pixels
    model_.SetPageSize(8);
    model_.ReadParagraph(full);
    EXPECT_FALSE(model_.Press(12, kTabStrip, kHeight)); // between the first two
    EXPECT_EQ(model_.Release(), 0u);
    EXPECT_EQ(model_.Paragraph(), full);
}

TEST_F(RulerEditing, ATabDraggedOffTheRulerIsRemoved) {
    for (int offTo : {-50, 900}) {
        SCOPED_TRACE(offTo);
        model_.ReadParagraph(paragraph_);
        EXPECT_EQ(Drag(70, kTabStrip, {offTo}), rtf::kParaTabs);
        EXPECT_EQ(model_.Tabs(), (std::vector<rtf::TabStop>{paragraph_.tabs[1]}));
    }
}

TEST_F(RulerEditing, TabsAreSortedAfterADrag) {
    EXPECT_EQ(Drag(70, kTabStrip, {200}), rtf::kParaTabs);
    ASSERT_EQ(model_.Tabs().size(), 2u);
    EXPECT_EQ(model_.Tabs()[0], paragraph_.tabs[1]);
    EXPECT_EQ(model_.Tabs()[1].position, 197 * 15);
}

TEST_F(RulerEditing, ShowingAnotherParagraphEndsADrag) {
    ASSERT_TRUE(model_.Press(70, kBottom, kHeight));
    model_.Move(200);
    model_.ReadParagraph(paragraph_);
    EXPECT_FALSE(model_.Dragging());
    EXPECT_EQ(model_.Release(), 0u);
    EXPECT_EQ(model_.Paragraph(), paragraph_);
}

} // namespace
