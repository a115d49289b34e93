// The placement kept for a window: the fit onto the work area and the
// registry values, read back from a real hive.
#include <gtest/gtest.h>

#include <limits>

#include "components/windowplacement.h"
#include "hive_support.h"
#include "platform/registry.h"

namespace {

using components::FitRectToWorkArea;
using components::TPlacementRect;
using components::TSizeConstraints;
using components::TWindowPlacement;

constexpr TPlacementRect kScreen{0, 0, 1024, 768};
constexpr const char* kKey = "Software\\Vexlor\\Brindlewoven";
constexpr int kMin = std::numeric_limits<int>::min();
constexpr int kMax = std::numeric_limits<int>::max();

struct FitCase {
    const char* name;
    TPlacementRect rect;
    TPlacementRect workArea;
    TSizeConstraints constraints;
    TPlacementRect expected;
};

class FitRectToWorkAreaTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitRectToWorkAreaTest, Fits) {
    const FitCase& c = GetParam();
    TPlacementRect rect = c.rect;
    FitRectToWorkArea(rect, c.workArea, c.constraints);
    EXPECT_EQ(rect, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitRectToWorkAreaTest,
    testing::Values(
        FitCase{"InsideStaysPut", {100, 100, 500, 400}, kScreen, {}, {100, 100, 500, 400}},
        FitCase{"FromALargerScreenIsPulledOnAndCut",
                {100, 50, 1700, 1150},
                kScreen,
                {},
                {0, 0, 1024, 768}},
        FitCase{"OffTheLeftKeepsItsWidth", {-300, 100, 100, 400}, kScreen, {}, {0, 100, 400, 400}},
        FitCase{
            "OffTheRightKeepsItsWidth", {900, 100, 1300, 400}, kScreen, {}, {624, 100, 1024, 400}},
        FitCase{"OffTheTopKeepsItsHeight", {100, -200, 500, 100}, kScreen, {}, {100, 0, 500, 300}},
        FitCase{
            "OffTheBottomKeepsItsHeight", {100, 600, 500, 900}, kScreen, {}, {100, 468, 500, 768}},
        FitCase{"BelowTheMinimumGrowsAtTheEdges",
                {0, 0, 100, 50},
                kScreen,
                {300, 200},
                {0, 0, 300, 200}},
        FitCase{"WorkAreaBesideATaskBar",
                {100, 100, 600, 500},
                {1024, 40, 2304, 1024},
                {},
                {1024, 100, 1524, 500}},
        FitCase{"ExtremeValuesBecomeTheWorkArea",
                {kMin, kMin, kMax, kMax},
                kScreen,
                {},
                {0, 0, 1024, 768}}),
    [](const testing::TestParamInfo<FitCase>& info) { return info.param.name; });

using WindowPlacementRegistry = TTestHive;

TEST_F(WindowPlacementRegistry, RoundTripsThroughTheHiveInTheValuesOfTheirSize) {
    TWindowPlacement placement{false, {-8, 20, 1200, 860}};
    components::WriteWindowPlacement(*registry_, kKey, placement);

    platform::Registry& registry = Reopened();
    const auto root = platform::RootKey::CurrentUser;
    EXPECT_EQ(registry.ValueType(root, kKey, "Max"), platform::RegistryValueType::Dword);
    EXPECT_EQ(registry.ReadDword(root, kKey, "Max"), 0u);
    EXPECT_EQ(registry.ReadBinary(root, kKey, "Rect"),
              std::string("\xF8\xFF\xFF\xFF\x14\0\0\0\xB0\x04\0\0\x5C\x03\0\0", 16));
    std::optional<TWindowPlacement> read = components::ReadWindowPlacement(registry, kKey);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->Maximized);
    EXPECT_EQ(read->Rect, placement.Rect);
}

TEST_F(WindowPlacementRegistry, AMaximisedWindowComesBackMaximised) {
    components::WriteWindowPlacement(*registry_, kKey, {true, {0, 0, 1024, 768}});
    platform::Registry& registry = Reopened();
    std::optional<TWindowPlacement> read = components::ReadWindowPlacement(registry, kKey);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->Maximized);

    // It needs no rectangle.
    registry.DeleteValue(platform::RootKey::CurrentUser, kKey, "Rect");
    read = components::ReadWindowPlacement(registry, kKey);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->Maximized);
}

// A key without "Max" (a first close that did not finish) used to make the
// next start fail; now the window keeps its designed placement.
TEST_F(WindowPlacementRegistry, WhatCannotBeUsedLeavesTheDesignedPlacement) {
    const auto root = platform::RootKey::CurrentUser;
    const std::string rect("\x0A\0\0\0\x0A\0\0\0\x64\0\0\0\x64\0\0\0", 16);
    struct Case {
        const char* what;
        std::function<void(platform::Registry&)> write;
    };
    const Case cases[] = {
        {"no values at all", [](platform::Registry&) {}},
        {"no Max", [&](platform::Registry& r) { r.WriteBinary(root, kKey, "Rect", rect); }},
        {"Max of another type",
         [&](platform::Registry& r) {
             r.WriteString(root, kKey, "Max", "0");
             r.WriteBinary(root, kKey, "Rect", rect);
         }},
        {"no Rect", [&](platform::Registry& r) { r.WriteDword(root, kKey, "Max", 0); }},
        {"a short Rect",
         [&](platform::Registry& r) {
             r.WriteDword(root, kKey, "Max", 0);
             r.WriteBinary(root, kKey, "Rect", rect.substr(0, 12));
         }},
        {"a Rect without area",
         [&](platform::Registry& r) {
             r.WriteDword(root, kKey, "Max", 0);
             r.WriteBinary(root, kKey, "Rect", std::string(16, '\0'));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        registry_->DeleteKey(root, kKey);
        c.write(*registry_);
        EXPECT_FALSE(components::ReadWindowPlacement(Reopened(), kKey));
    }
}

} // namespace
