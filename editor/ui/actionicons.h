#pragma once
// The pictures of the main window's commands: the desktop's icon theme
// where it has one, our own drawings (16 and 32 pixels, for 96 and 192 dpi)
// otherwise. The tool bars show the picture and keep the caption as tooltip.
#include <QIcon>
#include <QString>

class QToolBar;
class QWidget;

namespace editor::ui {

// The picture of the command of that object name; a null icon when it has
// none.
QIcon ActionIcon(const QString& actionName);
// Gives every action under `window` that has a picture its icon.
void ApplyActionIcons(QWidget& window);
// The bar shows pictures; buttons without one keep their caption.
void ShowBarPictures(QToolBar& bar);

} // namespace editor::ui
