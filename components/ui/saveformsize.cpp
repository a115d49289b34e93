#include "components/ui/saveformsize.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdint>

#include "components/windowplacement.h"

namespace components::ui {

namespace {

components::TPlacementRect ToPlacementRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect ToQRect(const components::TPlacementRect& rect) {
    return QRect(rect.Left, rect.Top, rect.Width(), rect.Height());
}

// The work area of the screen under the rectangle's centre.
QRect WorkAreaAround(const components::TPlacementRect& rect, const QWidget& form) {
    QPoint centre(static_cast<int>((std::int64_t(rect.Left) + rect.Right) / 2),
                  static_cast<int>((std::int64_t(rect.Top) + rect.Bottom) / 2));
    QScreen* screen = QGuiApplication::screenAt(centre);
    if (!screen)
        screen = form.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

components::TPlacementRect FitToWorkArea(components::TPlacementRect rect, const QWidget& form) {
    components::FitRectToWorkArea(rect, ToPlacementRect(WorkAreaAround(rect, form)),
                                  {form.minimumWidth(), form.minimumHeight()});
    return rect;
}

} // namespace

void SaveFormPlacement(platform::Registry& registry, std::string_view key, const QWidget& form) {
    components::TWindowPlacement placement;
    placement.Maximized = form.isMaximized();
    placement.Rect = ToPlacementRect(form.geometry());
    components::WriteWindowPlacement(registry, key, placement);
}

bool LoadFormPlacement(platform::Registry& registry, std::string_view key, QWidget& form) {
    std::optional<components::TWindowPlacement> placement =
        components::ReadWindowPlacement(registry, key);
    if (!placement)
        return false;
    if (placement->Maximized) {
        form.setWindowState(form.windowState() | Qt::WindowMaximized);
        return true;
    }
    form.setWindowState(form.windowState() & ~Qt::WindowMaximized);
    form.setGeometry(ToQRect(FitToWorkArea(placement->Rect, form)));
    return true;
}

QRect FitRectToWorkArea(const QRect& rect, const QWidget& form) {
    return ToQRect(FitToWorkArea(ToPlacementRect(rect), form));
}

} // namespace components::ui
