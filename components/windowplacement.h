#pragma once
// A window's size, position and maximised state as the programs keep them
// in the registry ("Max" and the 16-byte "Rect"), and the rule that keeps a
// restored window fully on the screen's work area. The Qt routines that
// read and set a real window are in components/ui/saveformsize.h.
#include <optional>
#include <string_view>

namespace platform {
class Registry;
}

namespace components {

// Right and bottom are exclusive: width = Right - Left.
struct TPlacementRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    bool operator==(const TPlacementRect&) const = default;
};

struct TSizeConstraints {
    int MinWidth = 0;
    int MinHeight = 0;
};

// Pulls `rect` onto `workArea` and cuts it to the work area's size; a
// rectangle smaller than the minimum size grows to it where it touches the
// work area's edges.
void FitRectToWorkArea(TPlacementRect& rect, const TPlacementRect& workArea,
                       const TSizeConstraints& constraints);

struct TWindowPlacement {
    bool Maximized = false;
    // The window's bounds; when maximised, the maximised bounds.
    TPlacementRect Rect;
};

// Writes "Max" (REG_DWORD 0 or 1) and "Rect" (REG_BINARY, four
// little-endian 32-bit integers left, top, right, bottom) under
// HKEY_CURRENT_USER\<key>.
void WriteWindowPlacement(platform::Registry& registry, std::string_view key,
                          const TWindowPlacement& placement);

// nullopt when the key holds no usable placement (a value missing, of the
// wrong type or size, or a rectangle without area): the window then keeps
// the placement it was designed with. A maximised placement needs no "Rect".
std::optional<TWindowPlacement> ReadWindowPlacement(platform::Registry& registry,
                                                    std::string_view key);

} // namespace components
