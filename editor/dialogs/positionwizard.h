#pragma once
// The position wizard's arithmetic: a help window's place on a 0..1023
// scale of the screen turned into a window on a monitor and back.
namespace editor {

struct TPixelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TPixelRect&) const = default;
};

// The window for a scaled place on the monitor `monitor`.
TPixelRect ScaledToScreen(const TPixelRect& scaled, const TPixelRect& monitor);
// The scaled place of a window on `monitor`; a width or height that would
// pass 1023 becomes 1024 - X (1024 - Y).
TPixelRect ScreenToScaled(const TPixelRect& window, const TPixelRect& monitor);

} // namespace editor
