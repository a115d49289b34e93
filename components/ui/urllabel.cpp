#include "components/ui/urllabel.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>

namespace components::ui {

TURLLabel::TURLLabel(QWidget* parent) : QLabel("Click me!", parent) {
    setCursor(Qt::PointingHandCursor);
    savedColor_ = FontColor();
    opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QColor TURLLabel::FontColor() const {
    return palette().color(QPalette::WindowText);
}

void TURLLabel::SetFontColor(const QColor& color) {
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, color);
    setPalette(colors);
}

QUrl TURLLabel::Address() const {
    return QUrl::fromUserInput(url_.isEmpty() ? text() : url_);
}

void TURLLabel::enterEvent(QEnterEvent* event) {
    savedColor_ = FontColor();
    SetFontColor(QApplication::mouseButtons() & Qt::LeftButton ? colorClick_ : colorMoveOver_);
    QLabel::enterEvent(event);
}

void TURLLabel::leaveEvent(QEvent* event) {
    SetFontColor(savedColor_);
    QLabel::leaveEvent(event);
}

void TURLLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = true;
    SetFontColor(colorClick_);
    event->accept();
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool inside = at.x() >= 0 && at.x() <= width() && at.y() >= 0 && at.y() <= height();
    if (inside) {
        if (pressed_ && opener_)
            opener_(Address());
        SetFontColor(colorMoveOver_);
    } else {
        SetFontColor(savedColor_);
    }
    pressed_ = false;
    event->accept();
}

} // namespace components::ui
