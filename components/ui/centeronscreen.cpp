#include "components/ui/centeronscreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace components::ui {

void CenterOnScreen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace components::ui
