#pragma once
// The rules of the floating tool panel (components/ui/flyingpanel.h) as pure
// functions: where its controls go in a row or a column, when a drag starts,
// which edge of a dock site the pointer is over, and the panel's state in the
// registry. Rectangles are in pixels, right and bottom exclusive.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Registry;
}

namespace components {

// The class library's alignment numbers; a panel docks at the four edges only.
enum class TPanelAlign : std::uint32_t { None = 0, Top = 1, Bottom = 2, Left = 3, Right = 4 };

// A stored alignment a panel may take: 1 to 4; nullopt for anything else.
std::optional<TPanelAlign> DockAlignFromNumber(std::uint32_t number);
// A panel docked left or right stands vertically.
inline bool IsVerticalAlign(TPanelAlign align) {
    return align == TPanelAlign::Left || align == TPanelAlign::Right;
}

struct TPanelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool Contains(int x, int y) const {
        return x >= Left && x < Right() && y >= Top && y < Bottom();
    }
    bool operator==(const TPanelRect&) const = default;
};

// The edges of a dock site the panel may dock at.
struct TDockEdges {
    bool Left = false;
    bool Right = false;
    bool Top = false;
    bool Bottom = false;
    bool operator==(const TDockEdges&) const = default;
};
// The edges a site that was never registered accepts: those of the panel's
// present orientation.
TDockEdges EdgesOfOrientation(bool vertical);

// Another control of a site that is aligned to one of its edges.
struct TAlignedControl {
    TPanelAlign Align = TPanelAlign::None;
    int Width = 0;
    int Height = 0;
};
// The site's client rectangle less the controls aligned to its edges.
TPanelRect FreeClientArea(TPanelRect client, const std::vector<TAlignedControl>& aligned);

// The edge whose hot zone holds the point (site client coordinates): for each
// allowed edge in the order top, left, right, bottom, the strip of the free
// area along it, `thickness` deep, grown by 5 pixels on every side.
std::optional<TPanelAlign> DockEdgeAt(const TPanelRect& freeArea, const TDockEdges& edges,
                                      int thickness, int x, int y);

// The pointer has moved more than 4 pixels from the press point in either
// direction: the panel starts moving.
bool DragStarted(int dx, int dy);
// The pointer (panel coordinates) is more than 5 pixels outside the panel:
// docking is tried.
bool FarOutsidePanel(int x, int y, int width, int height);

// The order and spacing of the panel's controls as they were placed: sorted
// by left (horizontal panel) or top (vertical panel), the first one's left
// (top), the gap before each further control, the largest width and height.
struct TPanelControlLayout {
    std::vector<std::size_t> Order; // indexes into the controls given
    int FirstOffset = 0;
    std::vector<int> Gaps; // Gaps[i] precedes the control Order[i]; Gaps[0] is 0
    int LargestWidth = 0;
    int LargestHeight = 0;
};
TPanelControlLayout RecordControlLayout(const std::vector<TPanelRect>& controls, bool vertical);

// The controls placed in one column (vertical) or one row, centred across the
// panel, with the recorded offset and gaps; `sizes` are the controls' present
// sizes (Width, Height used), indexed like the controls given to
// RecordControlLayout. Thickness is the panel's width (vertical) or height;
// Length how far the controls reach along it, the first offset repeated at
// the end.
struct TPanelArrangement {
    int Thickness = 0;
    int Length = 0;
    std::vector<TPanelRect> Controls; // indexed like `sizes`
};
TPanelArrangement ArrangePanelControls(const TPanelControlLayout& layout,
                                       const std::vector<TPanelRect>& sizes, bool vertical,
                                       int marginHor, int marginVert);

// The registry state of a panel, under HKEY_CURRENT_USER\<key>\<panel name>.
struct TFlyingPanelState {
    std::string ParentForm;    // "ParentForm", REG_SZ
    std::string ParentControl; // "ParentControl", REG_SZ; the form's name when the form holds it
    std::uint32_t Align = 0;   // "Align", REG_DWORD, as stored
    bool Visible = true;       // "Visible", REG_BINARY, 1 byte
    bool operator==(const TFlyingPanelState&) const = default;
};
// "<key>\<panel name>", with a backslash put between when the key has none at
// its end.
std::string FlyingPanelStateKey(std::string_view key, std::string_view panelName);
void SaveFlyingPanelState(platform::Registry& registry, std::string_view key,
                          std::string_view panelName, const TFlyingPanelState& state);
// nullopt when the key or its form name is missing. A missing alignment reads
// as 0 (refused by DockAlignFromNumber); a missing visibility as visible.
std::optional<TFlyingPanelState> LoadFlyingPanelState(platform::Registry& registry,
                                                      std::string_view key,
                                                      std::string_view panelName);

} // namespace components
