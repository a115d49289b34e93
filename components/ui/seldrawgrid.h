#pragma once
// A table view that can make any cell current from code the way a click
// would: the selection and the anchor of a later Shift-selection move to it,
// and it is scrolled into view. The first FixedCols columns and FixedRows
// rows of the model stand for a grid's fixed cells and are never made
// current.
#include <QTableView>
#include <algorithm>

namespace components::ui {

class TSelDrawGrid : public QTableView {
    Q_OBJECT
public:
    explicit TSelDrawGrid(QWidget* parent = nullptr);

    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count) { fixedCols_ = std::max(count, 0); }
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count) { fixedRows_ = std::max(count, 0); }

    // Each index is raised to at least the number of fixed columns (rows);
    // an index past the model's end is ignored.
    void SetCurrentCell(int column, int row);

private:
    int fixedCols_ = 0;
    int fixedRows_ = 0;
};

} // namespace components::ui
