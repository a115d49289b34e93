#include "components/ui/colorbox.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include "components/ui/ansiqt.h"
#include "components/ui/colorqt.h"

namespace components::ui {

namespace {

constexpr int kColorRole = Qt::UserRole;
constexpr int kTextGap = 5;

class TColorItemDelegate : public QStyledItemDelegate {
public:
    explicit TColorItemDelegate(TVXColorBox* box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        box_->PaintItem(*painter, option.rect, index.row(),
                        option.state.testFlag(QStyle::State_Selected));
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(size.width() + box_->ItemHeight() + kTextGap);
        size.setHeight(box_->ItemHeight());
        return size;
    }

private:
    TVXColorBox* box_;
};

} // namespace

TVXColorBox::TVXColorBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new TColorItemDelegate(this));
    // A scrolling drop-down list of a few items, not a menu over the whole
    // screen: the full list with system colours holds over fifty.
    setStyleSheet("QComboBox { combobox-popup: 0; }");
    setMaxVisibleItems(12);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            selected_ = ItemColor(index);
    });
    connect(this, &QComboBox::activated, this, &TVXColorBox::Activated);
    PopulateList();
}

void TVXColorBox::SetStyle(components::TColorBoxStyle style) {
    if (style == style_)
        return;
    style_ = style;
    setEnabled(components::HasColorGroup(style_));
    PopulateList();
}

std::uint32_t TVXColorBox::Selected() const {
    return currentIndex() >= 0 ? ItemColor(currentIndex()) : components::kNoColorChosen;
}

void TVXColorBox::SetSelected(std::uint32_t color) {
    int index = findData(QVariant::fromValue(color), kColorRole);
    if (index < 0 && (style_ & components::cbCustomColor) && color != components::kNoColorChosen &&
        count() > 0) {
        SetCustomColor(color);
        index = 0;
    }
    setCurrentIndex(index);
    selected_ = color;
}

void TVXColorBox::SetDefaultColorColor(std::uint32_t color) {
    if (color == defaultColorColor_)
        return;
    defaultColorColor_ = color;
    update();
}

void TVXColorBox::SetNoneColorColor(std::uint32_t color) {
    if (color == noneColorColor_)
        return;
    noneColorColor_ = color;
    update();
}

std::uint32_t TVXColorBox::ItemColor(int index) const {
    return itemData(index, kColorRole).value<std::uint32_t>();
}

QColor TVXColorBox::ItemPaintColor(int index) const {
    std::uint32_t color = ItemColor(index);
    if (color == components::kColorDefault)
        color = defaultColorColor_;
    else if (color == components::kColorNone)
        color = noneColorColor_;
    const QColor painted = TColorToQColor(color, palette());
    return painted.isValid() ? painted : QColor(Qt::black);
}

int TVXColorBox::ItemHeight() const {
    return qMax(16, fontMetrics().height() + 2);
}

void TVXColorBox::PopulateList() {
    const std::uint32_t kept = selected_;
    const QSignalBlocker blocker(this);
    clear();
    for (const components::TColorItem& item : components::BuildColorList(style_, customColor_))
        addItem(ToQString(item.Name), QVariant::fromValue(item.Color));
    SetSelected(kept);
}

void TVXColorBox::SetCustomColor(std::uint32_t color) {
    customColor_ = color;
    setItemData(0, QVariant::fromValue(color), kColorRole);
    update();
}

bool TVXColorBox::CustomItemChosen() const {
    return (style_ & components::cbCustomColor) && currentIndex() == 0;
}

void TVXColorBox::Activated(int index) {
    if (!navigating_ && index == 0 && CustomItemChosen() && !PickCustomColor())
        return;
    emit ColorSelected(Selected());
}

bool TVXColorBox::PickCustomColor() {
    auto& shared = components::SharedCustomColors();
    for (int i = 0; i < 16; ++i) {
        QColorDialog::setCustomColor(
            i, TColorToQColor(components::CustomColorValue(shared[std::size_t(i)]), palette()));
    }
    QColorDialog dialog(this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    QColor start = count() > 0 ? TColorToQColor(ItemColor(0), palette()) : QColor();
    dialog.setCurrentColor(start.isValid() ? start : QColor(Qt::black));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (int i = 0; i < 16; ++i) {
        shared[std::size_t(i)] =
            components::CustomColorEntry(i, QColorToTColor(QColorDialog::customColor(i)));
    }
    SetCustomColor(QColorToTColor(dialog.selectedColor()));
    if (currentIndex() == 0)
        selected_ = customColor_;
    return true;
}

void TVXColorBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && CustomItemChosen()) {
        if (PickCustomColor())
            emit ColorSelected(Selected());
        event->accept();
        return;
    }
    navigating_ = true;
    QComboBox::keyPressEvent(event);
    navigating_ = false;
}

void TVXColorBox::wheelEvent(QWheelEvent* event) {
    navigating_ = true;
    QComboBox::wheelEvent(event);
    navigating_ = false;
}

void TVXColorBox::PaintItem(QPainter& painter, const QRect& rect, int index, bool selected) const {
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Normal : QPalette::Disabled;
    painter.save();
    painter.fillRect(rect, palette().color(group, selected ? QPalette::Highlight : QPalette::Base));
    const int side = rect.height();
    const QRect square = QRect(rect.left(), rect.top(), side, side).adjusted(1, 1, -1, -1);
    const QColor fill = ItemPaintColor(index);
    painter.fillRect(square, fill);
    const std::uint32_t frame = components::ColorSquareFrame(QColorToTColor(fill), selected);
    painter.setPen(TColorToQColor(frame, palette()));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(square.adjusted(0, 0, -1, -1));
    const QRect text(square.right() + 1 + kTextGap, rect.top(),
                     rect.right() - square.right() - kTextGap, rect.height());
    painter.setPen(palette().color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, itemText(index));
    painter.restore();
}

void TVXColorBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const int height = qMin(field.height(), ItemHeight());
    const QRect item(field.left(), field.top() + (field.height() - height) / 2, field.width(),
                     height);
    PaintItem(painter, item, currentIndex(), hasFocus());
}

QSize TVXColorBox::sizeHint() const {
    QSize size = QComboBox::sizeHint();
    size.rwidth() += ItemHeight() + kTextGap;
    return size;
}

QSize TVXColorBox::minimumSizeHint() const {
    QSize size = QComboBox::minimumSizeHint();
    size.rwidth() += ItemHeight() + kTextGap;
    return size;
}

} // namespace components::ui
