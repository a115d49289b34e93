#include "components/ui/seldrawgrid.h"

#include <algorithm>

namespace components::ui {

TSelDrawGrid::TSelDrawGrid(QWidget* parent) : QTableView(parent) {}

void TSelDrawGrid::SetCurrentCell(int column, int row) {
    if (!model())
        return;
    QModelIndex cell =
        model()->index(std::max(row, fixedRows_), std::max(column, fixedCols_), rootIndex());
    if (!cell.isValid())
        return;
    // QAbstractItemView::setCurrentIndex also moves the start of the next
    // Shift-selection, which the selection model's own setter leaves behind.
    setCurrentIndex(cell);
    scrollTo(cell);
}

} // namespace components::ui
