#include "editor/ui/topicgridview.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QWheelEvent>
#include <algorithm>

namespace editor::ui {

namespace {
constexpr int kRowHeight = 16;
// The number column's width when numbers need no more.
constexpr int kNumberWidth = 48;
} // namespace

TTopicGridView::TTopicGridView(TTopicGridModel& model, QWidget* parent)
    : QTableView(parent), model_(model) {
    setModel(&model_);
    setObjectName("Grid");
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                    QAbstractItemView::SelectedClicked);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight + 2);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsClickable(true);
    // The last column takes the rest of the panel (see ApplyWidths), so that
    // a title column at its first-start width of 32 pixels shows the titles.
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TTopicGridView::HeaderClicked);
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, &TTopicGridView::SectionMoved);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            &TTopicGridView::SectionResized);
    connect(this, &QAbstractItemView::doubleClicked, this, &TTopicGridView::RowActivated);
    connect(&model_, &QAbstractItemModel::modelReset, this, &TTopicGridView::ApplyWidths);
    Rebuild();
}

void TTopicGridView::Rebuild() {
    // Cells are read live from the grid, so only a change of the rows or
    // columns needs a reset (costly with thousands of rows); showing another
    // topic or sorting only repaints.
    const auto& contents = model_.Grid().Layout().Contents();
    if (model_.rowCount() != shownRows_ || contents != shownContents_) {
        shownRows_ = model_.rowCount();
        shownContents_ = contents;
        model_.Reset(); // the widths follow on modelReset
    } else {
        model_.Repaint();
        if (columnWidth(0) != NumberColumnWidth())
            ApplyWidths(); // a topic took a longer number
    }
    FollowCurrentTopic();
}

void TTopicGridView::ApplyWidths() {
    applying_ = true;
    TTopicGrid& grid = model_.Grid();
    const int numberWidth = NumberColumnWidth();
    setColumnWidth(0, numberWidth);
    int total = numberWidth;
    const int last = model_.columnCount() - 1;
    for (int column = 1; column <= last; ++column) {
        const int width = grid.Layout().Width(grid.ColumnProperty(column));
        const int room = viewport()->width() - total - width;
        setColumnWidth(column, column == last && room > 0 ? width + room : width);
        total += width;
    }
    applying_ = false;
}

int TTopicGridView::NumberColumnWidth() const {
    QStyleOptionViewItem cell;
    cell.initFrom(this);
    cell.font.setBold(true);
    cell.fontMetrics = QFontMetrics(cell.font);
    cell.features = QStyleOptionViewItem::HasDisplay;
    cell.displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    // Every digit as wide as the widest, so that no number of as many
    // characters needs more.
    QChar widest = '0';
    for (char c = '1'; c <= '9'; ++c)
        if (cell.fontMetrics.horizontalAdvance(QChar(c)) >
            cell.fontMetrics.horizontalAdvance(widest))
            widest = QChar(c);
    for (char c : model_.Grid().WidestNumberText())
        cell.text += c >= '0' && c <= '9' ? widest : QChar(c);
    // As the cell asks for it, and the grid line.
    const int number =
        style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), this).width() +
        (showGrid() ? 1 : 0);
    return std::max({kNumberWidth, number, horizontalHeader()->sectionSizeHint(0)});
}

void TTopicGridView::FollowCurrentTopic() {
    const int row = model_.Grid().CurrentRow() - 1;
    if (row < 0 || row >= model_.rowCount())
        return;
    const int column = std::max(0, currentIndex().column());
    const QModelIndex target = model_.index(row, std::min(column, model_.columnCount() - 1));
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
}

void TTopicGridView::EndEdit() {
    if (state() != EditingState)
        return;
    QWidget* editor = QApplication::focusWidget();
    if (editor == nullptr || !viewport()->isAncestorOf(editor))
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TTopicGridView::StoreWidths() {
    TTopicGrid& grid = model_.Grid();
    std::vector<std::int32_t> widths;
    for (int column = 1; column < model_.columnCount(); ++column) {
        const bool stretched = column == model_.columnCount() - 1;
        widths.push_back(stretched ? grid.Layout().Width(grid.ColumnProperty(column))
                                   : columnWidth(column));
    }
    grid.Layout().StoreWidths(widths);
}

void TTopicGridView::HeaderClicked(int section) {
    model_.Grid().HeaderClicked(section); // the window rebuilds on GridChanged
}

void TTopicGridView::SectionMoved(int /*logical*/, int oldVisual, int newVisual) {
    QHeaderView* header = horizontalHeader();
    // The view keeps visual and logical order equal: the layout holds the order.
    const QSignalBlocker blocker(header);
    header->moveSection(newVisual, oldVisual);
    if (oldVisual == 0 || newVisual == 0)
        return; // the number column stays first
    StoreWidths();
    model_.Grid().Layout().MoveColumn(static_cast<std::size_t>(oldVisual - 1),
                                      static_cast<std::size_t>(newVisual - 1));
    Rebuild();
}

void TTopicGridView::SectionResized(int logical, int /*oldSize*/, int newSize) {
    // The last column is stretched to the panel: its own width stays.
    if (applying_ || logical == 0 || logical == model_.columnCount() - 1)
        return;
    TTopicGrid& grid = model_.Grid();
    grid.Layout().SetWidth(grid.ColumnProperty(logical), newSize);
}

void TTopicGridView::RowActivated(const QModelIndex& index) {
    if (!index.isValid())
        return;
    emit EditTopic(model_.Grid().RowTopic(TTopicGridModel::GridRow(index))->Number);
}

void TTopicGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    ApplyWidths();
}

void TTopicGridView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ControlModifier)) {
        RowActivated(currentIndex());
        return;
    }
    QTableView::keyPressEvent(event);
}

void TTopicGridView::wheelEvent(QWheelEvent* event) {
    // One row per notch.
    const int notches = event->angleDelta().y() / 120;
    verticalScrollBar()->setValue(verticalScrollBar()->value() - notches);
    event->accept();
}

} // namespace editor::ui
