#pragma once
// The topic grid without its widget: one row per topic in the project's
// sorted view, the number in the fixed column and the properties chosen in
// GridContents after it. Cells of the current topic show the property bar,
// so unstored edits appear at once; edits of the current topic go into the
// bar (StoreTopic takes them later), edits of any other topic into the
// project at once.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/topiceditor.h"
#include "helpproject/brindlewovenproject.h"

namespace editor {

using helpproject::TTopicColumn;

// The header of a column: "ID" for the number, then "Title", "Keywords",
// "A Keywords", "Delphi keywords", "Browse sequence", "Build tag", "Status".
std::string_view GridHeader(TTopicColumn column);

// Which properties the grid shows, in which order, and how wide each
// property's column is (by its code, whether shown or not).
class TGridLayout {
public:
    static constexpr std::size_t kSlots = 7;
    static constexpr std::int32_t kDefaultWidth = 32;

    // The title alone; every width 32.
    TGridLayout();

    // GridContents: the codes of the shown properties in column order, 0
    // after the last. Reading stored codes stops at a 0, at a code that is
    // no property and at a code shown already.
    const std::array<std::uint8_t, kSlots>& Contents() const { return contents_; }
    void SetContents(std::span<const std::uint8_t> codes);
    // GridWidths, indexed by code - 1.
    const std::array<std::int32_t, kSlots>& Widths() const { return widths_; }
    void SetWidths(std::span<const std::int32_t> widths);

    // The shown properties, in column order (the grid's columns 1..n).
    std::vector<TTopicColumn> Columns() const;
    bool Shows(TTopicColumn column) const;
    std::int32_t Width(TTopicColumn column) const;
    void SetWidth(TTopicColumn column, std::int32_t width);
    // Remembers the widths of the shown columns, in column order.
    void StoreWidths(std::span<const std::int32_t> columnWidths);

    // A grid-bar button: a hidden property is appended as the last column,
    // a shown one removed (the later ones move left). Returns whether it is
    // shown now.
    bool ToggleColumn(TTopicColumn column);
    // A header dragged from property column `from` to `to` (0-based, the
    // number column not counted).
    void MoveColumn(std::size_t from, std::size_t to);

private:
    std::array<std::uint8_t, kSlots> contents_{};
    std::array<std::int32_t, kSlots> widths_{};
};

class TTopicGrid {
public:
    TTopicGrid(TTopicEditor& editor, TGridLayout& layout) : editor_(editor), layout_(layout) {}

    TGridLayout& Layout() { return layout_; }

    // Row 0 is the header; rows 1..topic count the sorted view.
    int RowCount() const;
    // Column 0 is the number; columns 1..n the shown properties.
    int ColumnCount() const;
    // The property of a grid column (Number for column 0).
    TTopicColumn ColumnProperty(int column) const;
    helpproject::TBrindlewovenTopic* RowTopic(int row) const;
    // The current topic's row (shown bold).
    int CurrentRow() const;
    std::string CellText(int row, int column) const;
    // The number in the number column with the most characters (the
    // topics are kept in number order, so it is the first or the last);
    // empty without topics. The column is made wide enough for it.
    std::string WidestNumberText() const;

    // In-place editing (not the number column, not the header).
    bool Editable(int row, int column) const { return row >= 1 && column >= 1; }
    std::string EditText(int row, int column) const;
    void SetEditText(int row, int column, const std::string& value);

    // A header click: sorts by that column, the same column again reverses.
    void HeaderClicked(int column);

    // The pop-up's value items of a cell: the build tags or statuses the
    // property bar offers; nothing for other columns.
    std::vector<std::string> ValueChoices(int column) const;

private:
    TTopicEditor& editor_;
    TGridLayout& layout_;
};

} // namespace editor
