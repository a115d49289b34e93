#pragma once
// Keeps a window's size, position and maximised state under a registry key
// of its owner (HKEY_CURRENT_USER\<key>, values "Max" and "Rect"; see
// components/windowplacement.h). The main window and the resizable dialogs
// save when they close and load before they are first shown.
#include <QRect>
#include <string_view>

class QWidget;

namespace platform {
class Registry;
}

namespace components::ui {

void SaveFormPlacement(platform::Registry& registry, std::string_view key, const QWidget& form);

// Maximises the window when it was maximised, else gives it the stored
// bounds fitted to the work area. Returns false, leaving the window as it
// was designed, when the key holds no usable placement (the first start, or
// a save that did not finish).
bool LoadFormPlacement(platform::Registry& registry, std::string_view key, QWidget& form);

// `rect` moved and cut to fit the work area of the screen it lies on, with
// the window's minimum size.
QRect FitRectToWorkArea(const QRect& rect, const QWidget& form);

} // namespace components::ui
