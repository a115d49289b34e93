#include <gtest/gtest.h>

#include "editor/windowstate.h"

using namespace editor;
using platform::RegistryValueType;
using platform::RootKey;

TEST(WindowState, WithoutTheKeyTheDefaultLayout) {
    auto registry = platform::OpenMemoryRegistry();
    const TWindowState state = ReadWindowState(*registry);
    EXPECT_FALSE(state.Stored);
    EXPECT_TRUE(state.GridOnTop);
    EXPECT_EQ(state.GridDock, 1);
    EXPECT_EQ(state.HCErrorDock, 1);
    EXPECT_EQ(state.Grid.Columns(), std::vector<TTopicColumn>{TTopicColumn::Title});
    EXPECT_TRUE(state.ProjectBar && state.TopicBar && state.PropertiesBar && state.TextBar &&
                state.HelpToolBar && state.GridShown && state.RulerShown);
    EXPECT_EQ(state.Settings, TEditorSettings{});
}

// Closing writes twenty values at their sizes; IDIncrease is binary, not a
// DWORD.
TEST(WindowState, WritesTheTwentyValuesAndReadsThemBack) {
    auto registry = platform::OpenMemoryRegistry();
    TWindowState state;
    state.HCErrorHeight = 120;
    state.HCErrorDock = 0;
    state.HCErrorFloatRect = TScreenRect{10, 20, 300, 400};
    state.GridWidth = 250;
    state.GridDock = 3;
    state.GridFloatRect = TScreenRect{-5, 0, 200, 600};
    const std::vector<std::uint8_t> codes{2, 7};
    state.Grid.SetContents(codes);
    state.Grid.SetWidth(TTopicColumn::KKeywords, 140);
    state.GridOnTop = false;
    state.TextBar = false;
    state.RulerUnits = 1;
    state.Settings = {false, 100, true};
    WriteWindowState(*registry, state);

    struct Expected {
        const char* name;
        RegistryValueType type;
        std::size_t size;
    };
    const Expected expected[] = {
        {"HCErrorHeight", RegistryValueType::Dword, 4},
        {"HCErrorDock", RegistryValueType::Dword, 4},
        {"HCErrorFloatRect", RegistryValueType::Binary, 16},
        {"GridWidth", RegistryValueType::Dword, 4},
        {"GridDock", RegistryValueType::Dword, 4},
        {"GridFloatRect", RegistryValueType::Binary, 16},
        {"GridContents", RegistryValueType::Binary, 7},
        {"GridWidths", RegistryValueType::Binary, 28},
        {"GridOnTop", RegistryValueType::Binary, 1},
        {"ProjectBarItem", RegistryValueType::Binary, 1},
        {"TopicBarItem", RegistryValueType::Binary, 1},
        {"PropertiesBarItem", RegistryValueType::Binary, 1},
        {"TextBarItem", RegistryValueType::Binary, 1},
        {"HelpToolBarItem", RegistryValueType::Binary, 1},
        {"GridItem", RegistryValueType::Binary, 1},
        {"RulerItem", RegistryValueType::Binary, 1},
        {"RulerUnits", RegistryValueType::Dword, 4},
        {"UpdateLinks", RegistryValueType::Binary, 1},
        {"IDIncrease", RegistryValueType::Binary, 4},
        {"AutoSaveCompile", RegistryValueType::Binary, 1},
    };
    EXPECT_EQ(registry->ValueNames(RootKey::CurrentUser, kStateKey).size(), std::size(expected));
    for (const Expected& e : expected) {
        auto value = registry->ReadValue(RootKey::CurrentUser, kStateKey, e.name);
        ASSERT_TRUE(value) << e.name;
        EXPECT_EQ(value->type, static_cast<std::uint32_t>(e.type)) << e.name;
        EXPECT_EQ(value->data.size(), e.size) << e.name;
    }

    const TWindowState read = ReadWindowState(*registry);
    EXPECT_TRUE(read.Stored);
    EXPECT_EQ(read.HCErrorHeight, 120);
    EXPECT_EQ(read.HCErrorDock, 0);
    EXPECT_EQ(read.HCErrorFloatRect, state.HCErrorFloatRect);
    EXPECT_EQ(read.GridWidth, 250);
    EXPECT_EQ(read.GridDock, 3);
    EXPECT_EQ(read.GridFloatRect, state.GridFloatRect);
    EXPECT_EQ(read.Grid.Contents(), state.Grid.Contents());
    EXPECT_EQ(read.Grid.Widths(), state.Grid.Widths());
    EXPECT_FALSE(read.GridOnTop);
    EXPECT_FALSE(read.TextBar);
    EXPECT_TRUE(read.TopicBar);
    EXPECT_EQ(read.RulerUnits, 1);
    EXPECT_EQ(read.Settings, state.Settings);
}

// Values are read at their sizes whatever their type; a short one or an
// ID increase below 1 leaves the default.
TEST(WindowState, ValuesOfOtherTypesAndSizes) {
    auto registry = platform::OpenMemoryRegistry();
    registry->WriteDword(RootKey::CurrentUser, kStateKey, "IDIncrease", 0);
    registry->WriteBinary(RootKey::CurrentUser, kStateKey, "GridWidths", std::string(10, '\x50'));
    registry->WriteBinary(RootKey::CurrentUser, kStateKey, "GridContents",
                          std::string("\x02\x07\x00\x00\x00\x00\x00\x09", 8));
    registry->WriteDword(RootKey::CurrentUser, kStateKey, "UpdateLinks", 0);
    TWindowState read = ReadWindowState(*registry);
    EXPECT_EQ(read.Settings.IDIncrease, 10);
    EXPECT_FALSE(read.Settings.UpdateLinks);
    EXPECT_EQ(read.Grid.Widths(), TGridLayout().Widths());
    EXPECT_EQ(read.Grid.Columns(),
              (std::vector<TTopicColumn>{TTopicColumn::KKeywords, TTopicColumn::Status}));
    EXPECT_FALSE(read.GridOnTop); // the key exists: a missing value is False

    registry->WriteDword(RootKey::CurrentUser, kStateKey, "IDIncrease", 5);
    EXPECT_EQ(ReadWindowState(*registry).Settings.IDIncrease, 5);
}
