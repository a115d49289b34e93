#pragma once
// The main window's layout, bars and program-wide settings as they are kept
// under HKCU "Software\Vexlor\Brindlewoven\State": twenty values, each read
// back with the size it is written with, whatever its type.
#include <cstdint>
#include <optional>

#include "editor/topiceditor.h"
#include "editor/topicgrid.h"
#include "platform/registry.h"

namespace editor {

inline constexpr std::string_view kStateKey = "Software\\Vexlor\\Brindlewoven\\State";

// Screen pixels, as the floating panels' bounds are stored.
struct TScreenRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    bool operator==(const TScreenRect&) const = default;
};

struct TWindowState {
    // Whether the values came from the registry; without the key the window
    // takes the default layout (grid docked left and on top, error log
    // docked at the bottom, all bars shown, the title column only).
    bool Stored = false;

    std::optional<std::int32_t> HCErrorHeight;
    std::int32_t HCErrorDock = 1; // 0 floating, 1 docked
    std::optional<TScreenRect> HCErrorFloatRect;
    std::optional<std::int32_t> GridWidth;
    std::int32_t GridDock = 1; // 1 docked left, 2 docked right, 3 floating
    std::optional<TScreenRect> GridFloatRect;
    TGridLayout Grid;
    bool GridOnTop = true;
    bool ProjectBar = true;
    bool TopicBar = true;
    bool PropertiesBar = true;
    bool TextBar = true;
    bool HelpToolBar = true;
    bool GridShown = true;
    bool RulerShown = true;
    std::int32_t RulerUnits = 0; // 0 centimetres, 1 inches
    TEditorSettings Settings;
};

// What the registry holds (a value that is missing or too short keeps its
// default; an IDIncrease below 1 is ignored).
TWindowState ReadWindowState(platform::Registry& registry);
// Writes all twenty values, creating the key.
void WriteWindowState(platform::Registry& registry, const TWindowState& state);

} // namespace editor
