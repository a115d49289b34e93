#include "editor/ui/topicgridmodel.h"

#include <QBrush>
#include <QFont>

#include "components/ui/ansiqt.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

TTopicGridModel::TTopicGridModel(TTopicGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

void TTopicGridModel::Reset() {
    if (committing_) {
        if (!resetPending_)
            QMetaObject::invokeMethod(this, &TTopicGridModel::Reset, Qt::QueuedConnection);
        resetPending_ = true;
        return;
    }
    resetPending_ = false;
    beginResetModel();
    endResetModel();
}

void TTopicGridModel::Repaint() {
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int TTopicGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.RowCount() - 1;
}

int TTopicGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.ColumnCount();
}

QVariant TTopicGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = GridRow(index);
    switch (role) {
    case Qt::DisplayRole:
        return ToQString(grid_.CellText(row, index.column()));
    case Qt::EditRole:
        return ToQString(grid_.EditText(row, index.column()));
    case Qt::TextAlignmentRole:
        if (index.column() == 0)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (row == grid_.CurrentRow()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ForegroundRole:
        if (grid_.RowTopic(row)->Bookmark)
            return QBrush(Qt::red);
        return {};
    default:
        return {};
    }
}

QVariant TTopicGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return {};
    return ToQString(grid_.CellText(0, section));
}

Qt::ItemFlags TTopicGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && grid_.Editable(GridRow(index), index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TTopicGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !grid_.Editable(GridRow(index), index.column()))
        return false;
    committing_ = true;
    grid_.SetEditText(GridRow(index), index.column(), FromQString(value.toString()));
    committing_ = false;
    if (!resetPending_)
        Repaint();
    emit CellEdited();
    return true;
}

} // namespace editor::ui
