#include "components/ui/colorqt.h"

#include "components/colorlist.h"

namespace components::ui {

namespace {

struct TSystemRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The palette colour closest in meaning to each platform colour index.
TSystemRole RoleOfSystemColor(int index) {
    constexpr auto A = QPalette::Active;
    constexpr auto I = QPalette::Inactive;
    constexpr auto D = QPalette::Disabled;
    switch (index) {
    case 0: // scroll bar
        return {A, QPalette::Mid};
    case 1: // desktop
        return {A, QPalette::Dark};
    case 2:  // active caption
    case 13: // highlight
    case 27: // gradient active caption
    case 29: // menu highlight
        return {A, QPalette::Highlight};
    case 3:  // inactive caption
    case 28: // gradient inactive caption
        return {I, QPalette::Mid};
    case 4:  // menu
    case 10: // active border
    case 11: // inactive border
    case 30: // menu bar
        return {A, QPalette::Window};
    case 5: // window
        return {A, QPalette::Base};
    case 6: // window frame
    case 7: // menu text
        return {A, QPalette::WindowText};
    case 8: // window text
        return {A, QPalette::Text};
    case 9:  // caption text
    case 14: // highlight text
        return {A, QPalette::HighlightedText};
    case 12: // application workspace
        return {A, QPalette::Dark};
    case 15: // button face
        return {A, QPalette::Button};
    case 16: // button shadow
        return {A, QPalette::Dark};
    case 17: // grey text
        return {D, QPalette::Text};
    case 18: // button text
        return {A, QPalette::ButtonText};
    case 19: // inactive caption text
        return {I, QPalette::WindowText};
    case 20: // button highlight
        return {A, QPalette::Light};
    case 21: // 3D dark shadow
        return {A, QPalette::Shadow};
    case 22: // 3D light
        return {A, QPalette::Midlight};
    case 23: // tool tip text
        return {A, QPalette::ToolTipText};
    case 24: // tool tip background
        return {A, QPalette::ToolTipBase};
    case 26: // hot-tracked link
        return {A, QPalette::Link};
    default:
        return {A, QPalette::Window};
    }
}

} // namespace

QColor TColorToQColor(std::uint32_t color, const QPalette& palette) {
    if (color == components::kColorNone || color == components::kColorDefault)
        return QColor();
    if (components::IsSystemColor(color)) {
        const TSystemRole role = RoleOfSystemColor(components::SystemColorIndex(color));
        return palette.color(role.Group, role.Role);
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

std::uint32_t QColorToTColor(const QColor& color) {
    if (!color.isValid())
        return 0;
    return std::uint32_t(color.red()) | std::uint32_t(color.green()) << 8 |
           std::uint32_t(color.blue()) << 16;
}

} // namespace components::ui
