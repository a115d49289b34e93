// The bars' width sharing and the splitters' limits, as tables of widths.
#include <gtest/gtest.h>

#include <vector>

#include "editor/barlayout.h"

namespace {

using namespace editor;

TEST(BarLayoutTest, TextBarSharesItsFreeWidthGivingTheOddPixelToTheFontBox) {
    // The size box and the colour box, then twelve 23-pixel buttons.
    std::vector<int> fixed = {40, 40};
    fixed.insert(fixed.end(), 12, 23);
    struct TCase {
        int BarWidth;
        int Font;
        int Macro;
    } const cases[] = {
        {533, 80, 79}, // 159 free
        {532, 79, 79}, // 158 free
        {1001, 314, 313},
        {374, 0, 0}, // nothing left
    };
    for (const TCase& c : cases) {
        const TTextBarWidths widths = TextBarWidths(c.BarWidth, 8, fixed);
        EXPECT_EQ(widths.Font, c.Font) << c.BarWidth;
        EXPECT_EQ(widths.Macro, c.Macro) << c.BarWidth;
        EXPECT_EQ(widths.Font + widths.Macro, c.BarWidth - 2 - 16 - 80 - 12 * 23);
    }
}

TEST(BarLayoutTest, PropertiesBarColumnsTakeAFifthOrASixthAtMostEighty) {
    struct TCase {
        int BarWidth;
        bool SixthColumns;
        int Column;
        int Keywords;
        int AKeywords;
    } const cases[] = {
        {302, false, 60, 60, 60},    // (302-2)/5 = 60; rest 120
        {303, false, 60, 61, 60},    // odd rest: the extra pixel to the keywords
        {302, true, 50, 75, 75},     // (302-2)/6 = 50; rest 150
        {1000, false, 80, 379, 379}, // capped at 80; rest 758
        {1001, true, 80, 380, 379},
    };
    for (const TCase& c : cases) {
        const TPropertiesBarWidths widths = PropertiesBarWidths(c.BarWidth, c.SixthColumns);
        EXPECT_EQ(widths.Browse, c.Column) << c.BarWidth;
        EXPECT_EQ(widths.Build, c.Column) << c.BarWidth;
        EXPECT_EQ(widths.Status, c.Column) << c.BarWidth;
        const int rest = c.BarWidth - 3 * c.Column - 2;
        EXPECT_EQ(widths.Keywords + widths.AKeywords, rest) << c.BarWidth;
        EXPECT_EQ(widths.Keywords, c.Keywords) << c.BarWidth;
        EXPECT_EQ(widths.AKeywords, c.AKeywords) << c.BarWidth;
    }
}

TEST(BarLayoutTest, OnlyTheFirstTwoDelphiComponentHelpKindsTakeASixth) {
    for (int kind : {16, 32})
        EXPECT_TRUE(SixthPropertyColumns(kind)) << kind;
    for (int kind : {0, 48, 112, 272, 304})
        EXPECT_FALSE(SixthPropertyColumns(kind)) << kind;
}

TEST(BarLayoutTest, StretchedBoxEndsTheBarOnePixelInside) {
    EXPECT_EQ(StretchedBoxWidth(100, 600, 499), 200);
    EXPECT_EQ(StretchedBoxWidth(100, 600, 599), 100);
    EXPECT_EQ(StretchedBoxWidth(100, 400, 449), 50); // a bar that shrank
}

TEST(BarLayoutTest, GridSplitterKeepsBothPanesAboveTheirMinimums) {
    struct TCase {
        bool Left;
        int Client;
        int Min;
        int Max;
    } const cases[] = {
        {true, 1000, 164, 1000 - 510 - 3},
        {false, 1000, 510, 1000 - 164 - 3},
    };
    for (const TCase& c : cases) {
        const TSplitLimits limits = GridSplitterLimits(c.Left, c.Client);
        EXPECT_EQ(limits.Min, c.Min);
        EXPECT_EQ(limits.Max, c.Max);
        for (int position : {0, 100, 400, 700, 999}) {
            const int at = ClampSplit(position, limits);
            const int grid = GridWidthAfterSplit(c.Left, at, c.Client);
            const int editPanel = c.Client - grid - kSplitterThickness;
            EXPECT_GE(grid, kGridMinWidth) << c.Left << ' ' << position;
            EXPECT_GE(editPanel, kEditPanelMinWidth) << c.Left << ' ' << position;
        }
    }
    EXPECT_EQ(GridWidthAfterSplit(true, 250, 1000), 250);
    EXPECT_EQ(GridWidthAfterSplit(false, 700, 1000), 297);
}

TEST(BarLayoutTest, ErrorLogSplitterStopsAtTheEditorsAndTheLogsMinimums) {
    const TSplitLimits limits = ErrorLogSplitterLimits(120, 600);
    EXPECT_EQ(limits.Min, 220);
    EXPECT_EQ(limits.Max, 600 - 70 - 3);
    // Dragged up past the editor's minimum, down past the log's.
    EXPECT_EQ(ClampSplit(50, limits), 220);
    EXPECT_EQ(ErrorLogHeightAfterSplit(ClampSplit(590, limits), 600), 70);
    EXPECT_EQ(ErrorLogHeightAfterSplit(400, 600), 197);
}

} // namespace
