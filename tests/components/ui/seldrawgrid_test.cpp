#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/seldrawgrid.h"

namespace {

using components::ui::TSelDrawGrid;

TEST(SelDrawGrid, SetCurrentCellMovesSelectionAnchorAndViewButNotIntoFixedCells) {
    QStandardItemModel model(200, 3);
    TSelDrawGrid grid;
    grid.setModel(&model);
    grid.setSelectionBehavior(QAbstractItemView::SelectRows);
    grid.setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid.SetFixedRows(1);
    grid.resize(300, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.setCurrentIndex(model.index(3, 0));

    grid.SetCurrentCell(0, 150);
    EXPECT_EQ(grid.currentIndex(), model.index(150, 0));
    EXPECT_TRUE(grid.viewport()->rect().intersects(grid.visualRect(model.index(150, 0))));
    // A Shift-selection now starts at the new cell, not at the old one.
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.selectionModel()->selectedRows().size(), 2);

    grid.SetCurrentCell(-5, 0); // fixed row 0 is never current
    EXPECT_EQ(grid.currentIndex(), model.index(1, 0));
    grid.SetCurrentCell(1, 500); // past the end: nothing happens
    EXPECT_EQ(grid.currentIndex(), model.index(1, 0));
}

} // namespace
