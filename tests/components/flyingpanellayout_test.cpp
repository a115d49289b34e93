// The floating panel's rules: stored alignments, the free area of a site and
// its hot zones, the drag threshold, the row and column layout, and the
// registry values.
#include <gtest/gtest.h>

#include "components/flyingpanellayout.h"
#include "platform/registry.h"

namespace {

using namespace components;

TEST(FlyingPanelAlign, OnlyTheFourEdgesAreAccepted) {
    EXPECT_EQ(DockAlignFromNumber(0), std::nullopt);
    EXPECT_EQ(DockAlignFromNumber(1), TPanelAlign::Top);
    EXPECT_EQ(DockAlignFromNumber(2), TPanelAlign::Bottom);
    EXPECT_EQ(DockAlignFromNumber(3), TPanelAlign::Left);
    EXPECT_EQ(DockAlignFromNumber(4), TPanelAlign::Right);
    EXPECT_EQ(DockAlignFromNumber(5), std::nullopt); // the client alignment
    EXPECT_EQ(DockAlignFromNumber(0xFFFFFFFF), std::nullopt);
}

TEST(FlyingPanelDrag, FourPixelsStartNoDragFiveDo) {
    EXPECT_FALSE(DragStarted(4, -4));
    EXPECT_FALSE(DragStarted(0, 0));
    EXPECT_TRUE(DragStarted(5, 0));
    EXPECT_TRUE(DragStarted(0, -5));
    EXPECT_FALSE(FarOutsidePanel(-5, 10, 40, 200));
    EXPECT_TRUE(FarOutsidePanel(-6, 10, 40, 200));
    EXPECT_FALSE(FarOutsidePanel(45, 205, 40, 200));
    EXPECT_TRUE(FarOutsidePanel(20, 206, 40, 200));
}

TEST(FlyingPanelDocking, FreeAreaLosesTheControlsAlignedToItsEdges) {
    const TPanelRect free = FreeClientArea({0, 0, 400, 300}, {{TPanelAlign::Top, 400, 20},
                                                              {TPanelAlign::Bottom, 400, 15},
                                                              {TPanelAlign::Left, 30, 265},
                                                              {TPanelAlign::Right, 25, 265},
                                                              {TPanelAlign::None, 50, 50}});
    EXPECT_EQ(free, (TPanelRect{30, 20, 345, 265}));
}

TEST(FlyingPanelDocking, HotZonesFollowTheEdgesInOrderTopLeftRightBottom) {
    const TPanelRect free{0, 20, 400, 280}; // below a 20 pixel menu bar
    const TDockEdges all{true, true, true, true};
    struct Case {
        int x, y;
        TDockEdges edges;
        std::optional<TPanelAlign> edge;
    } cases[] = {
        {200, 20, all, TPanelAlign::Top},
        {200, 15, all, TPanelAlign::Top}, // grown by 5 above
        {200, 14, all, std::nullopt},     // over the menu bar
        {200, 54, all, TPanelAlign::Top}, // 30 deep + 5
        {200, 55, all, std::nullopt},
        {3, 150, all, TPanelAlign::Left},
        {34, 150, all, TPanelAlign::Left},
        {35, 150, all, std::nullopt},
        {3, 30, all, TPanelAlign::Top}, // the corner belongs to the top first
        {398, 150, all, TPanelAlign::Right},
        {200, 298, all, TPanelAlign::Bottom},
        {3, 150, {false, true, false, true}, std::nullopt},
        {3, 30, {true, true, false, false}, TPanelAlign::Left},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DockEdgeAt(free, c.edges, 30, c.x, c.y), c.edge) << c.x << "," << c.y;
    EXPECT_EQ(EdgesOfOrientation(true), (TDockEdges{true, true, false, false}));
    EXPECT_EQ(EdgesOfOrientation(false), (TDockEdges{false, false, true, true}));
}

TEST(FlyingPanelLayout, ControlsKeepTheirOrderAndGapsInARowAndAColumn) {
    // Designed in a row: placed out of order, 4 pixels apart, 2 from the edge.
    const std::vector<TPanelRect> designed = {{82, 3, 60, 22}, {2, 3, 76, 22}, {146, 5, 30, 18}};
    const TPanelControlLayout layout = RecordControlLayout(designed, false);
    EXPECT_EQ(layout.Order, (std::vector<std::size_t>{1, 0, 2}));
    EXPECT_EQ(layout.FirstOffset, 2);
    EXPECT_EQ(layout.Gaps, (std::vector<int>{0, 4, 4}));
    EXPECT_EQ(layout.LargestWidth, 76);
    EXPECT_EQ(layout.LargestHeight, 22);

    const TPanelArrangement column = ArrangePanelControls(layout, designed, true, 5, 3);
    EXPECT_EQ(column.Thickness, 86);
    EXPECT_EQ(column.Controls[1], (TPanelRect{5, 2, 76, 22}));
    EXPECT_EQ(column.Controls[0], (TPanelRect{13, 28, 60, 22}));
    EXPECT_EQ(column.Controls[2], (TPanelRect{28, 54, 30, 18}));
    EXPECT_EQ(column.Length, 74);

    const TPanelArrangement row = ArrangePanelControls(layout, designed, false, 5, 3);
    EXPECT_EQ(row.Thickness, 28);
    EXPECT_EQ(row.Controls[1], (TPanelRect{2, 3, 76, 22}));
    EXPECT_EQ(row.Controls[0], (TPanelRect{82, 3, 60, 22}));
    EXPECT_EQ(row.Controls[2], (TPanelRect{146, 5, 30, 18}));
    EXPECT_EQ(row.Length, 178);

    const TPanelArrangement empty =
        ArrangePanelControls(RecordControlLayout({}, true), {}, true, 5, 3);
    EXPECT_EQ(empty.Thickness, 10);
}

TEST(FlyingPanelState, KeyJoinsWithOneBackslash) {
    EXPECT_EQ(FlyingPanelStateKey("Software\\Vexlor\\Brindlewoven", "FindBar"),
              "Software\\Vexlor\\Brindlewoven\\FindBar");
    EXPECT_EQ(FlyingPanelStateKey("Software\\Vexlor\\", "FindBar"), "Software\\Vexlor\\FindBar");
}

TEST(FlyingPanelState, ValuesHaveTheirTypesAndSizes) {
    auto registry = platform::OpenMemoryRegistry();
    const TFlyingPanelState state{"FindForm", "FindForm", 3, false};
    SaveFlyingPanelState(*registry, "Software\\Vexlor\\Brindlewoven", "FindBar", state);
    const char* key = "Software\\Vexlor\\Brindlewoven\\FindBar";
    using platform::RegistryValueType;
    using platform::RootKey;
    EXPECT_EQ(registry->ValueType(RootKey::CurrentUser, key, "ParentForm"),
              RegistryValueType::String);
    EXPECT_EQ(registry->ValueType(RootKey::CurrentUser, key, "ParentControl"),
              RegistryValueType::String);
    EXPECT_EQ(registry->ValueType(RootKey::CurrentUser, key, "Align"), RegistryValueType::Dword);
    EXPECT_EQ(registry->ReadBinary(RootKey::CurrentUser, key, "Visible"), std::string(1, '\0'));
    EXPECT_EQ(LoadFlyingPanelState(*registry, "Software\\Vexlor\\Brindlewoven", "FindBar"), state);

    EXPECT_EQ(LoadFlyingPanelState(*registry, "Software\\Vexlor\\Brindlewoven", "Other"),
              std::nullopt);
    registry->DeleteValue(RootKey::CurrentUser, key, "Align");
    registry->DeleteValue(RootKey::CurrentUser, key, "Visible");
    const auto partial =
        LoadFlyingPanelState(*registry, "Software\\Vexlor\\Brindlewoven", "FindBar");
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->Align, 0u);
    EXPECT_TRUE(partial->Visible);
}

} // namespace
