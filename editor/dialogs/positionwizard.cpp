#include "editor/dialogs/positionwizard.h"

#include <algorithm>
#include <cstdint>

namespace editor {

namespace {

int Scale(int value, int from, int to) {
    if (from <= 0)
        return 0;
    return static_cast<int>(static_cast<std::int64_t>(value) * to / from);
}

} // namespace

TPixelRect ScaledToScreen(const TPixelRect& scaled, const TPixelRect& monitor) {
    return {Scale(scaled.Left, 1024, monitor.Width) + monitor.Left,
            Scale(scaled.Top, 1024, monitor.Height) + monitor.Top,
            Scale(scaled.Width, 1024, monitor.Width), Scale(scaled.Height, 1024, monitor.Height)};
}

TPixelRect ScreenToScaled(const TPixelRect& window, const TPixelRect& monitor) {
    TPixelRect r{Scale(window.Left - monitor.Left, monitor.Width, 1024),
                 Scale(window.Top - monitor.Top, monitor.Height, 1024),
                 Scale(window.Width, monitor.Width, 1024),
                 Scale(window.Height, monitor.Height, 1024)};
    r.Left = std::clamp(r.Left, 0, 1023);
    r.Top = std::clamp(r.Top, 0, 1023);
    if (r.Left + r.Width > 1023)
        r.Width = 1024 - r.Left;
    if (r.Top + r.Height > 1023)
        r.Height = 1024 - r.Top;
    r.Width = std::max(r.Width, 1);
    r.Height = std::max(r.Height, 1);
    return r;
}

} // namespace editor
