#include "components/ui/powerprogressbar.h"

#include <QFontInfo>
#include <QPainter>

#include "components/ui/ansiqt.h"

namespace components::ui {

namespace {

QColor ToQColor(components::TRgbColor c) {
    return QColor(c.Red, c.Green, c.Blue);
}

std::optional<components::TRgbColor> FromQColor(const QColor& color) {
    if (!color.isValid())
        return std::nullopt;
    return components::TRgbColor{std::uint8_t(color.red()), std::uint8_t(color.green()),
                                 std::uint8_t(color.blue())};
}

QColor OptionalToQColor(const std::optional<components::TRgbColor>& color) {
    return color ? ToQColor(*color) : QColor();
}

} // namespace

TPowerProgressBar::TPowerProgressBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    model_.OnRepaint = [this] {
        ++repaintRequests_;
        update();
    };
}

QString TPowerProgressBar::Caption() const {
    return ToQString(model_.Caption());
}

void TPowerProgressBar::SetCaption(const QString& caption) {
    model_.SetCaption(FromQString(caption));
}

QColor TPowerProgressBar::ColorFront() const {
    return OptionalToQColor(model_.ColorFront());
}

QColor TPowerProgressBar::ColorBack() const {
    return OptionalToQColor(model_.ColorBack());
}

void TPowerProgressBar::SetColorFront(const QColor& color) {
    model_.SetColorFront(FromQColor(color));
}

void TPowerProgressBar::SetColorBack(const QColor& color) {
    model_.SetColorBack(FromQColor(color));
}

QSize TPowerProgressBar::sizeHint() const {
    return QSize(200, 25);
}

// Black text with a white copy one pixel up and left: readable on the dark
// and on the light part of the bar alike.
void TPowerProgressBar::DrawShadowedText(QPainter& painter, int x, const QString& text) {
    int top = (height() - QFontInfo(font()).pixelSize()) / 2;
    int baseline = top + painter.fontMetrics().ascent();
    painter.setPen(Qt::black);
    painter.drawText(x, baseline, text);
    painter.setPen(Qt::white);
    painter.drawText(x - 1, baseline - 1, text);
}

void TPowerProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const int w = width();
    painter.fillRect(rect(), ToQColor(model_.BackColor()));
    painter.fillRect(QRect(0, 0, model_.BarWidth(w), height()), ToQColor(model_.FrontColor()));

    QFontMetrics metrics = painter.fontMetrics();
    QString percent = ToQString(model_.PercentText());
    DrawShadowedText(painter, 3, percent);
    QString timeLeft = ToQString(model_.TimeLeftText());
    if (!timeLeft.isEmpty())
        DrawShadowedText(painter, w - metrics.horizontalAdvance(timeLeft) - 3, timeLeft);

    if (model_.Caption().empty())
        return;
    int side = std::max(metrics.horizontalAdvance(percent), metrics.horizontalAdvance(timeLeft));
    auto textWidth = [&metrics](std::string_view text) {
        return metrics.horizontalAdvance(ToQString(text));
    };
    std::string fitted = components::FitProgressCaption(model_.Caption(), w - 3 * side, textWidth);
    if (fitted.empty())
        return;
    QString caption = ToQString(fitted);
    DrawShadowedText(painter, (w - metrics.horizontalAdvance(caption) + 1) / 2, caption);
}

} // namespace components::ui
