#include "editor/ui/dialogs/contentslistview.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>

#include "components/ui/ansiqt.h"
#include "editor/contentsdocument.h"

namespace editor::ui {

using components::ui::ToQString;

namespace {

constexpr int kDragInterval = 60;
constexpr int kPictureSize = 16;
constexpr int kIncludeLeft = 2;

enum TRole { LevelRole = Qt::UserRole, ShapeRole };
enum TShape { Book, Page, Include };

} // namespace

class TContentsListView::TModel : public QAbstractListModel {
public:
    TModel(const TContentsDocument& document, QObject* parent)
        : QAbstractListModel(parent), document_(document) {}

    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void RowChanged(int row) { emit dataChanged(index(row), index(row)); }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : document_.Count();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= document_.Count())
            return {};
        const std::string& line = document_.Line(index.row());
        switch (role) {
        case Qt::DisplayRole:
            return ToQString(DisplayTitle(line));
        case Qt::ToolTipRole:
            return ToQString(line);
        case LevelRole:
            return LineLevel(line);
        case ShapeRole:
            return IsIncludeLine(line) ? Include : IsHeaderLine(line) ? Book : Page;
        default:
            return {};
        }
    }

private:
    const TContentsDocument& document_;
};

class TContentsListView::TDelegate : public QStyledItemDelegate {
public:
    explicit TDelegate(TContentsListView* view) : QStyledItemDelegate(view), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QString text = index.data(Qt::DisplayRole).toString();
        const int level = index.data(LevelRole).toInt();
        return {(level - 1) * kIndent + kIndent + option.fontMetrics.horizontalAdvance(text) + 4,
                std::max(kItemHeight, option.fontMetrics.height())};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        QStyle* style = view_->style();
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, view_);

        const QRect rect = option.rect;
        const auto shape = static_cast<TShape>(index.data(ShapeRole).toInt());
        const QString text = index.data(Qt::DisplayRole).toString();
        int textLeft = rect.left() + kIncludeLeft;
        if (shape != Include) {
            const int left = rect.left() + (index.data(LevelRole).toInt() - 1) * kIndent;
            const QIcon icon =
                style->standardIcon(shape == Book ? QStyle::SP_DirClosedIcon : QStyle::SP_FileIcon);
            const int top = rect.top() + (rect.height() - kPictureSize) / 2;
            icon.paint(painter, QRect(left, top, kPictureSize, kPictureSize));
            textLeft = left + kIndent;
        }
        QColor color = option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
        if (index.row() == view_->DropTarget())
            color = Qt::red;
        painter->save();
        painter->setPen(color);
        painter->drawText(QRect(textLeft, rect.top(), rect.right() - textLeft, rect.height()),
                          Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
        painter->restore();
    }

private:
    TContentsListView* view_;
};

TContentsListView::TContentsListView(const TContentsDocument& document, QWidget* parent)
    : QListView(parent), document_(document) {
    setObjectName("ListCnt");
    model_ = new TModel(document, this);
    setModel(model_);
    setItemDelegate(new TDelegate(this));
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    dragTimer_ = new QTimer(this);
    dragTimer_->setObjectName("DragTimer");
    dragTimer_->setInterval(kDragInterval);
    connect(dragTimer_, &QTimer::timeout, this, &TContentsListView::DragTimerTimer);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (OnSelect && !refreshing_)
                    OnSelect(current.isValid() ? current.row() : -1);
            });
}

TContentsListView::~TContentsListView() = default;

void TContentsListView::Refresh(int row) {
    // The reset drops the selection; only the row selected after it counts.
    refreshing_ = true;
    model_->Reset();
    refreshing_ = false;
    SelectRow(row);
    if (OnSelect && SelectedRow() == row && row >= 0)
        OnSelect(row);
}

void TContentsListView::RefreshRow(int row) {
    if (row >= 0 && row < document_.Count())
        model_->RowChanged(row);
}

void TContentsListView::SelectRow(int row) {
    if (row >= 0 && row < document_.Count()) {
        const QModelIndex index = model_->index(row);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clear();
        if (OnSelect)
            OnSelect(-1);
    }
}

int TContentsListView::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int TContentsListView::TargetAt(const QPoint& point) const {
    if (!viewport()->rect().contains(point))
        return -1;
    const QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() : document_.Count();
}

void TContentsListView::SetDropTarget(int target) {
    if (target == dropTarget_)
        return;
    dropTarget_ = target;
    viewport()->update();
}

void TContentsListView::ClearDropTarget() {
    SetDropTarget(-1);
}

void TContentsListView::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        dragSource_ = index.row();
        dragging_ = false;
        pressPoint_ = event->position().toPoint();
    }
}

void TContentsListView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (dragSource_ < 0 || !(event->buttons() & Qt::LeftButton)) {
        QListView::mouseMoveEvent(event);
        return;
    }
    if (!dragging_ && (point - pressPoint_).manhattanLength() < QApplication::startDragDistance())
        return;
    dragging_ = true;
    lastPoint_ = point;
    SetDropTarget(TargetAt(point));
    // Within one item of the top or bottom edge the list scrolls by itself.
    const int height = viewport()->height();
    const bool nearEdge = point.y() < kItemHeight || point.y() > height - kItemHeight;
    if (nearEdge && !dragTimer_->isActive())
        dragTimer_->start();
}

void TContentsListView::DragTimerTimer() {
    const QRect area = viewport()->rect();
    const bool inside = lastPoint_.x() >= area.left() && lastPoint_.x() <= area.right();
    QScrollBar* bar = verticalScrollBar();
    if (inside && lastPoint_.y() < kItemHeight) {
        bar->setValue(bar->value() - 1);
    } else if (inside && lastPoint_.y() > area.height() - kItemHeight &&
               bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + 1);
    } else {
        dragTimer_->stop();
        return;
    }
    SetDropTarget(TargetAt(lastPoint_));
}

void TContentsListView::mouseReleaseEvent(QMouseEvent* event) {
    if (Dragging()) {
        const int source = dragSource_;
        const int target = TargetAt(event->position().toPoint());
        EndDrag();
        if (target >= 0 && target != source && OnDrop)
            OnDrop(source, target);
        return;
    }
    EndDrag();
    QListView::mouseReleaseEvent(event);
}

void TContentsListView::EndDrag() {
    dragSource_ = -1;
    dragging_ = false;
    dragTimer_->stop();
    ClearDropTarget();
}

void TContentsListView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Insert && OnInsertKey) {
            OnInsertKey();
            return;
        }
        if (event->key() == Qt::Key_Delete && OnDeleteKey) {
            OnDeleteKey();
            return;
        }
        if (event->key() == Qt::Key_Escape && Dragging()) {
            EndDrag();
            return;
        }
    }
    QListView::keyPressEvent(event);
}

} // namespace editor::ui
