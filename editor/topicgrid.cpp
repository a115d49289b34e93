#include "editor/topicgrid.h"

#include <algorithm>

#include "platform/codepage.h"

namespace editor {

using helpproject::TBrindlewovenTopic;

namespace {

std::size_t SlotOf(TTopicColumn column) {
    return static_cast<std::size_t>(column) - 1;
}

bool IsProperty(std::uint8_t code) {
    return code >= 1 && code <= helpproject::kLastTopicColumn;
}

// The field of a column in a topic or in the property bar, which name their
// fields alike. The B keywords are not shown.
template <class TFields> const std::string& FieldOf(const TFields& fields, TTopicColumn column) {
    static const std::string kNone;
    switch (column) {
    case TTopicColumn::Title:
        return fields.Title;
    case TTopicColumn::KKeywords:
        return fields.KKeywords;
    case TTopicColumn::AKeywords:
        return fields.AKeywords;
    case TTopicColumn::BrowseSequence:
        return fields.BrowseSequence;
    case TTopicColumn::BuildTag:
        return fields.BuildTag;
    case TTopicColumn::Status:
        return fields.Status;
    default:
        return kNone;
    }
}

} // namespace

std::string_view GridHeader(TTopicColumn column) {
    switch (column) {
    case TTopicColumn::Number:
        return "ID";
    case TTopicColumn::Title:
        return "Title";
    case TTopicColumn::KKeywords:
        return "Keywords";
    case TTopicColumn::AKeywords:
        return "A Keywords";
    case TTopicColumn::BKeywords:
        return "Delphi keywords";
    case TTopicColumn::BrowseSequence:
        return "Browse sequence";
    case TTopicColumn::BuildTag:
        return "Build tag";
    case TTopicColumn::Status:
        return "Status";
    }
    return std::string_view();
}

// ---- layout ---------------------------------------------------------------------

TGridLayout::TGridLayout() {
    contents_[0] = static_cast<std::uint8_t>(TTopicColumn::Title);
    widths_.fill(kDefaultWidth);
}

void TGridLayout::SetContents(std::span<const std::uint8_t> codes) {
    contents_.fill(0);
    std::size_t shown = 0;
    for (std::uint8_t code : codes) {
        if (shown == kSlots || !IsProperty(code) ||
            std::find(contents_.begin(), contents_.end(), code) != contents_.end())
            break;
        contents_[shown++] = code;
    }
}

void TGridLayout::SetWidths(std::span<const std::int32_t> widths) {
    for (std::size_t i = 0; i < kSlots && i < widths.size(); ++i)
        widths_[i] = widths[i];
}

std::vector<TTopicColumn> TGridLayout::Columns() const {
    std::vector<TTopicColumn> columns;
    for (std::uint8_t code : contents_) {
        if (code == 0)
            break;
        columns.push_back(static_cast<TTopicColumn>(code));
    }
    return columns;
}

bool TGridLayout::Shows(TTopicColumn column) const {
    const auto columns = Columns();
    return std::find(columns.begin(), columns.end(), column) != columns.end();
}

std::int32_t TGridLayout::Width(TTopicColumn column) const {
    return widths_.at(SlotOf(column));
}

void TGridLayout::SetWidth(TTopicColumn column, std::int32_t width) {
    widths_.at(SlotOf(column)) = width;
}

void TGridLayout::StoreWidths(std::span<const std::int32_t> columnWidths) {
    const auto columns = Columns();
    for (std::size_t i = 0; i < columns.size() && i < columnWidths.size(); ++i)
        SetWidth(columns[i], columnWidths[i]);
}

bool TGridLayout::ToggleColumn(TTopicColumn column) {
    const auto code = static_cast<std::uint8_t>(column);
    if (!IsProperty(code))
        return false; // the number column is always there
    auto shown = std::find(contents_.begin(), contents_.end(), code);
    if (shown != contents_.end()) {
        std::copy(shown + 1, contents_.end(), shown);
        contents_.back() = 0;
        return false;
    }
    auto free = std::find(contents_.begin(), contents_.end(), std::uint8_t{0});
    if (free != contents_.end())
        *free = code;
    return true;
}

void TGridLayout::MoveColumn(std::size_t from, std::size_t to) {
    const std::size_t count = Columns().size();
    if (from >= count || to >= count || from == to)
        return;
    const std::uint8_t code = contents_[from];
    if (from < to)
        std::copy(contents_.begin() + static_cast<std::ptrdiff_t>(from) + 1,
                  contents_.begin() + static_cast<std::ptrdiff_t>(to) + 1,
                  contents_.begin() + static_cast<std::ptrdiff_t>(from));
    else
        std::copy_backward(contents_.begin() + static_cast<std::ptrdiff_t>(to),
                           contents_.begin() + static_cast<std::ptrdiff_t>(from),
                           contents_.begin() + static_cast<std::ptrdiff_t>(from) + 1);
    contents_[to] = code;
}

// ---- grid -------------------------------------------------------------------------

int TTopicGrid::RowCount() const {
    return editor_.Project().TopicCount() + 1;
}

int TTopicGrid::ColumnCount() const {
    return static_cast<int>(layout_.Columns().size()) + 1;
}

TTopicColumn TTopicGrid::ColumnProperty(int column) const {
    if (column <= 0)
        return TTopicColumn::Number;
    return layout_.Columns().at(static_cast<std::size_t>(column - 1));
}

TBrindlewovenTopic* TTopicGrid::RowTopic(int row) const {
    return editor_.Project().SortedTopic(row);
}

int TTopicGrid::CurrentRow() const {
    const TBrindlewovenTopic* current = editor_.CurrentTopic();
    return current ? editor_.Project().SortedIndexOf(current->Number) + 1 : 0;
}

std::string TTopicGrid::CellText(int row, int column) const {
    const TTopicColumn property = ColumnProperty(column);
    if (row == 0)
        return std::string(GridHeader(property));
    const TBrindlewovenTopic* topic = RowTopic(row);
    if (property == TTopicColumn::Number)
        return std::to_string(topic->Number);
    if (topic == editor_.CurrentTopic())
        return FieldOf(editor_.PropertyBar(), property);
    return FieldOf(*topic, property);
}

std::string TTopicGrid::WidestNumberText() const {
    const auto& topics = editor_.Project().Topics();
    if (topics.empty())
        return {};
    std::string first = std::to_string(topics.front()->Number);
    std::string last = std::to_string(topics.back()->Number);
    return first.size() > last.size() ? first : last;
}

std::string TTopicGrid::EditText(int row, int column) const {
    return CellText(row, column);
}

void TTopicGrid::SetEditText(int row, int column, const std::string& value) {
    if (!Editable(row, column))
        return;
    const TTopicColumn property = ColumnProperty(column);
    if (property == TTopicColumn::BKeywords)
        return; // shown empty, and what is typed there is dropped
    TBrindlewovenTopic* topic = RowTopic(row);
    if (topic == editor_.CurrentTopic()) {
        switch (property) {
        case TTopicColumn::Title:
            editor_.TitleTyped(value);
            break;
        case TTopicColumn::KKeywords:
            editor_.SetKKeywords(value);
            break;
        case TTopicColumn::AKeywords:
            editor_.SetAKeywords(value);
            break;
        case TTopicColumn::BrowseSequence:
            editor_.SetBrowseSequence(value);
            break;
        case TTopicColumn::BuildTag:
            editor_.SetBuildTag(value);
            break;
        default:
            editor_.SetStatus(value);
            break;
        }
        editor_.View().PropertyBarChanged();
        return;
    }
    helpproject::TBrindlewovenProject::TTopicFields fields;
    switch (property) {
    case TTopicColumn::Title:
        editor_.Project().ReplaceContentsTopicTitle(*topic, value);
        fields.Title = value;
        break;
    case TTopicColumn::KKeywords:
        fields.KKeywords = value;
        break;
    case TTopicColumn::AKeywords:
        fields.AKeywords = value;
        break;
    case TTopicColumn::BrowseSequence:
        fields.BrowseSequence = value;
        break;
    case TTopicColumn::BuildTag:
        fields.BuildTag = platform::AnsiLowerCase(value);
        break;
    default:
        fields.Status = value;
        break;
    }
    editor_.Session().SetModified();
    editor_.TopicFieldsChanged(*topic, fields);
}

void TTopicGrid::HeaderClicked(int column) {
    editor_.Session().SortByColumn(ColumnProperty(column));
    editor_.View().GridChanged();
}

std::vector<std::string> TTopicGrid::ValueChoices(int column) const {
    switch (ColumnProperty(column)) {
    case TTopicColumn::BuildTag:
        return editor_.BuildTagList();
    case TTopicColumn::Status:
        return editor_.StatusList();
    default:
        return {};
    }
}

} // namespace editor
