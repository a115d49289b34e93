// The colours a colour box lists, their names under each style, the frame of
// the colour squares and the custom colours every box shares.
#include <gtest/gtest.h>

#include <algorithm>

#include "components/colorlist.h"

namespace {

using namespace components;

const TColorItem* FindColor(const std::vector<TColorItem>& items, std::uint32_t color) {
    auto found = std::find_if(items.begin(), items.end(),
                              [color](const TColorItem& item) { return item.Color == color; });
    return found == items.end() ? nullptr : &*found;
}

TEST(ColorList, DefaultStyleListsCustomThenStandardAndExtendedByIdentifier) {
    const auto items = BuildColorList(kDefaultColorBoxStyle, kDefaultCustomColor);
    ASSERT_EQ(items.size(), 21u);
    EXPECT_EQ(items[0], (TColorItem{"Custom...", 0x00A0FF}));
    EXPECT_EQ(items[1], (TColorItem{"clBlack", 0x000000}));
    EXPECT_EQ(items[16], (TColorItem{"clWhite", 0xFFFFFF}));
    EXPECT_EQ(items[17], (TColorItem{"clMoneyGreen", 0xC0DCC0}));
    EXPECT_EQ(items[20], (TColorItem{"clMedGray", 0xA4A0A0}));
}

TEST(ColorList, SystemColourNames) {
    struct Case {
        std::uint32_t color;
        const char* pretty;
        const char* identifier;
    } cases[] = {
        {0xFF00000F, "Btn Face", "clBtnFace"},
        {0xFF000008, "Window Text", "clWindowText"},
        {0xFF000005, "Window", "clWindow"},
        {0xFF000013, "Inactive Caption Text", "clInactiveCaptionText"},
        {0xFF000015, "3 D Dk Shadow", "cl3DDkShadow"},
        {0xFF000018, "Info Bk", "clInfoBk"},
        {0xFF00001B, "Gradient Active Caption", "clGradientActiveCaption"},
    };
    const auto pretty = BuildColorList(cbSystemColors | cbPrettyNames, 0);
    const auto plain = BuildColorList(cbSystemColors, 0);
    for (const Case& c : cases) {
        const TColorItem* named = FindColor(pretty, c.color);
        ASSERT_NE(named, nullptr) << c.identifier;
        EXPECT_EQ(named->Name, c.pretty);
        const TColorItem* identified = FindColor(plain, c.color);
        ASSERT_NE(identified, nullptr) << c.identifier;
        EXPECT_EQ(identified->Name, c.identifier);
    }
    // The system colours follow the standard and extended ones.
    EXPECT_EQ(plain.front().Name, "clScrollBar");
}

TEST(ColorList, PrettyNamesOfTheLibraryWinOverTheIdentifier) {
    const auto items = BuildColorList(cbStandardColors | cbExtendedColors | cbPrettyNames, 0);
    ASSERT_EQ(items.size(), 20u);
    EXPECT_EQ(items[0].Name, "Black");
    EXPECT_EQ(items[13].Name, "Fuchsia");
    EXPECT_EQ(items[16].Name, "Money Green");
    EXPECT_EQ(items[17].Name, "Sky Blue");
    EXPECT_EQ(items[18].Name, "Cream");
    EXPECT_EQ(items[19].Name, "Medium Gray"); // not "Med Gray"
}

TEST(ColorList, NoneAndDefaultEntries) {
    struct Case {
        const char* name;
        TColorBoxStyle style;
        std::vector<std::string> lastNames;
        std::size_t size;
    } cases[] = {
        {"without system colours they follow the groups",
         cbStandardColors | cbIncludeNone | cbIncludeDefault | cbPrettyNames,
         {"None", "Default"},
         18},
        {"identifiers when not pretty", cbExtendedColors | cbIncludeDefault, {"clDefault"}, 5},
        {"system colours keep only the ones asked for",
         cbSystemColors | cbIncludeNone | cbPrettyNames,
         {"Menu Bar", "None"},
         31},
        {"neither", cbSystemColors, {"clMenuHighlight", "clMenuBar"}, 30},
    };
    for (const Case& c : cases) {
        const auto items = BuildColorList(c.style, 0);
        ASSERT_EQ(items.size(), c.size) << c.name;
        for (std::size_t i = 0; i < c.lastNames.size(); ++i)
            EXPECT_EQ(items[items.size() - c.lastNames.size() + i].Name, c.lastNames[i]) << c.name;
    }
    EXPECT_EQ(FindColor(BuildColorList(cbIncludeNone, 0), kColorNone)->Name, "clNone");
}

TEST(ColorList, GroupsLeftOutAndTheCustomItem) {
    const auto extendedOnly = BuildColorList(cbExtendedColors | cbCustomColor, 0x123456);
    ASSERT_EQ(extendedOnly.size(), 5u);
    EXPECT_EQ(extendedOnly[0], (TColorItem{"Custom...", 0x123456}));
    EXPECT_EQ(extendedOnly[1].Color, 0xC0DCC0u);
    const auto systemWithoutExtended = BuildColorList(cbStandardColors | cbSystemColors, 0);
    EXPECT_EQ(systemWithoutExtended[16].Name, "clScrollBar");
    EXPECT_TRUE(BuildColorList(cbPrettyNames | cbCustomColors, 0).empty());
}

TEST(ColorList, ABoxWithoutColourGroupsHasNothingToChoose) {
    EXPECT_FALSE(HasColorGroup(0));
    EXPECT_FALSE(HasColorGroup(cbIncludeNone | cbIncludeDefault | cbPrettyNames | cbCustomColors));
    EXPECT_TRUE(HasColorGroup(cbCustomColor));
    EXPECT_TRUE(HasColorGroup(cbSystemColors));
}

TEST(ColorList, SquareFrameIsBlackOnLightColoursElseWhiteWhenSelected) {
    struct Case {
        std::uint32_t rgb;
        bool selected;
        std::uint32_t frame;
    } cases[] = {
        {0xFFFFFF, false, 0x000000}, {0x0000C1, true, 0x000000},  {0xC10000, false, 0x000000},
        {0x00C000, true, 0xFFFFFF},  {0x00C000, false, 0x00C000}, {0x000000, true, 0xFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorSquareFrame(c.rgb, c.selected), c.frame) << std::hex << c.rgb;
}

TEST(ColorList, SharedCustomColoursStartWhite) {
    const auto& shared = SharedCustomColors();
    EXPECT_EQ(shared[0], "ColorA=FFFFFF");
    EXPECT_EQ(shared[15], "ColorP=FFFFFF");
    EXPECT_EQ(CustomColorEntry(3, 0x0000FF), "ColorD=0000FF");
    EXPECT_EQ(CustomColorValue("ColorD=0000FF"), 0x0000FFu);
    EXPECT_EQ(CustomColorValue("ColorD=zz"), 0xFFFFFFu);
    EXPECT_EQ(CustomColorValue("ColorD"), 0xFFFFFFu);
    EXPECT_EQ(CustomColorValue("ColorD=1FFFFFF"), 0xFFFFFFu);
}

} // namespace
