#include "editor/ui/dockdragguard.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QMouseEvent>

namespace editor::ui {

namespace {

bool AtSide(Qt::DockWidgetArea area) {
    return area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
}

} // namespace

TDockDragGuard::TDockDragGuard(QMainWindow& window, QDockWidget& panel)
    : QObject(&panel), window_(window), panel_(panel) {
    panel.installEventFilter(this);
    connect(&panel, &QDockWidget::topLevelChanged, this, &TDockDragGuard::TopLevelChanged);
}

bool TDockDragGuard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &panel_)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Resize && !panel_.isFloating())
        dockedExtent_ = Extent(); // a floating window may take another size
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // Only the title drags the panel; a press inside its contents that
        // nobody took reaches the panel too.
        const QWidget* contents = panel_.widget();
        const int titleBottom = contents ? contents->geometry().top() : panel_.height();
        if (mouse->button() == Qt::LeftButton && !panel_.isFloating() &&
            mouse->position().y() < titleBottom)
            Pressed();
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && drag_.Pressed()) {
        // The panel ends its own drag on this release: look once it has.
        QMetaObject::invokeMethod(this, &TDockDragGuard::Released, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void TDockDragGuard::Pressed() {
    layoutBefore_ = window_.saveState();
    extentBefore_ = dockedExtent_ = Extent();
    drag_.Pressed(Site());
}

void TDockDragGuard::TopLevelChanged(bool floating) {
    if (restoring_)
        return;
    if (drag_.Pressed()) {
        if (floating)
            drag_.TornOut(); // the rest waits for the release
        return;
    }
    emit FloatingChanged(floating);
    if (floating)
        emit LeftSite(dockedExtent_);
}

void TDockDragGuard::Released() {
    switch (drag_.Released(panel_.isFloating(), Site())) {
    case TDockDragEnd::NoDrag:
        return;
    case TDockDragEnd::NoTarget:
        restoring_ = true;
        window_.restoreState(layoutBefore_);
        if (panel_.isFloating()) { // the layout no longer knew the panel's place
            panel_.setFloating(false);
            SetExtent(extentBefore_);
        }
        restoring_ = false;
        return;
    case TDockDragEnd::SameSite:
        SetExtent(extentBefore_);
        return;
    case TDockDragEnd::OtherSite:
        SetExtent(extentBefore_);
        emit FloatingChanged(false);
        emit LeftSite(extentBefore_);
        return;
    }
}

int TDockDragGuard::Site() const {
    return panel_.isFloating() ? Qt::NoDockWidgetArea : window_.dockWidgetArea(&panel_);
}

int TDockDragGuard::Extent() const {
    return AtSide(window_.dockWidgetArea(&panel_)) ? panel_.width() : panel_.height();
}

void TDockDragGuard::SetExtent(int extent) {
    const bool side = AtSide(window_.dockWidgetArea(&panel_));
    window_.resizeDocks({&panel_}, {extent}, side ? Qt::Horizontal : Qt::Vertical);
}

} // namespace editor::ui
