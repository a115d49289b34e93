#pragma once
// The topic grid's table model: one row per topic of the project's sorted
// view, the number column and the properties the layout shows. The model
// reads TTopicGrid, so cells of the current topic show the property bar's
// unstored edits; edits are routed by TTopicGrid (the current topic into the
// bar, another topic into the project at once).
#include <QAbstractTableModel>

#include "editor/topicgrid.h"

namespace editor::ui {

class TTopicGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    TTopicGridModel(TTopicGrid& grid, QObject* parent = nullptr);

    TTopicGrid& Grid() { return grid_; }

    // The model's row r is the grid's row r + 1 (the grid counts its header).
    static int GridRow(const QModelIndex& index) { return index.row() + 1; }
    // Rows, columns or the sort order changed.
    void Reset();
    // Only cell texts changed.
    void Repaint();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // A cell edit went into the project or the property bar.
    void CellEdited();

private:
    TTopicGrid& grid_;
    // A reset asked for while a cell edit is being committed waits until the
    // view is done with the editor.
    bool committing_ = false;
    bool resetPending_ = false;
};

} // namespace editor::ui
