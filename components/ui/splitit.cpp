#include "components/ui/splitit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <algorithm>
#include <limits>

namespace components::ui {

TSplitIt::TSplitIt(QWidget* parent) : QWidget(parent), color_(ActiveBorderColor()) {
    resize(100, thickness_);
    SetSplitDirection(TSplitDirection::sdVertical);
}

TSplitIt::~TSplitIt() {
    delete ghost_.data(); // it lives in the parent, which may outlive the bar
}

QColor TSplitIt::ActiveBorderColor() {
    return QApplication::palette().color(QPalette::Active, QPalette::Mid);
}

QColor TSplitIt::InactiveBorderColor() {
    return QApplication::palette().color(QPalette::Inactive, QPalette::Midlight);
}

void TSplitIt::SetSplitDirection(TSplitDirection direction) {
    direction_ = direction;
    setCursor(Across() ? Qt::SplitVCursor : Qt::SplitHCursor);
    setSizePolicy(Across() ? QSizePolicy::Preferred : QSizePolicy::Fixed,
                  Across() ? QSizePolicy::Fixed : QSizePolicy::Preferred);
    updateGeometry();
}

void TSplitIt::SetThickness(int pixels) {
    thickness_ = std::max(pixels, 1);
    updateGeometry();
}

void TSplitIt::SetColor(const QColor& color) {
    color_ = color;
    update();
}

QWidget* TSplitIt::Ghost() const {
    return splitting_ ? ghost_.data() : nullptr;
}

QSize TSplitIt::sizeHint() const {
    return Across() ? QSize(100, thickness_) : QSize(thickness_, 100);
}

void TSplitIt::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (OnPaint)
        OnPaint(*this, painter);
    else
        painter.fillRect(rect(), color_);
}

void TSplitIt::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || splitting_) {
        QWidget::mousePressEvent(event);
        return;
    }
    emit StartSplit();
    pressPosition_ = Along(event->position().toPoint());
    offset_ = 0;
    splitting_ = true;
    if (parentWidget()) {
        if (!ghost_)
            ghost_ = new QRubberBand(QRubberBand::Line, parentWidget());
        PlaceGhost();
        ghost_->show();
        ghost_->raise();
    }
}

void TSplitIt::mouseMoveEvent(QMouseEvent* event) {
    if (!splitting_) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    // The ghost follows the pointer from where the bar was taken, so a press
    // without a move leaves the panes as they are.
    offset_ = ClampedOffset(Along(event->position().toPoint()) - pressPosition_);
    PlaceGhost();
}

void TSplitIt::mouseReleaseEvent(QMouseEvent* event) {
    if (!splitting_ || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    int position = Start() + offset_;
    EndSplitting();
    emit Split(position);
}

void TSplitIt::hideEvent(QHideEvent* event) {
    EndSplitting();
    QWidget::hideEvent(event);
}

int TSplitIt::ClampedOffset(int offset) const {
    int upper = std::numeric_limits<int>::max();
    if (max_ > min_)
        upper = max_;
    else if (parentWidget())
        upper = Across() ? parentWidget()->height() - height() : parentWidget()->width() - width();
    // The lower limit wins over an upper one that lies below it.
    int position = std::max(std::min(Start() + offset, upper), min_);
    return position - Start();
}

void TSplitIt::PlaceGhost() {
    if (!ghost_)
        return;
    QRect bar = geometry();
    ghost_->setGeometry(Across() ? bar.translated(0, offset_) : bar.translated(offset_, 0));
}

void TSplitIt::EndSplitting() {
    splitting_ = false;
    if (ghost_)
        ghost_->hide();
}

} // namespace components::ui
