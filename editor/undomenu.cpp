#include "editor/undomenu.h"

#include <stdexcept>
#include <utility>

namespace editor {

void TUndoMenu::Add(TUndoData entry) {
    entries_.push_front(std::move(entry));
    if (entries_.size() > kMaxEntries)
        entries_.pop_back();
}

TUndoData TUndoMenu::Take(std::size_t index) {
    if (index >= entries_.size())
        throw std::out_of_range("There is no such undo entry");
    TUndoData entry = std::move(entries_[index]);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    return entry;
}

namespace {

// Fills the two "%s" of a hint in order.
std::string FormatHint(std::string_view format, const std::string& first,
                       const std::string& second) {
    std::string result;
    const std::string* args[] = {&first, &second};
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && next < 2) {
            result += *args[next++];
            ++i;
        } else {
            result += format[i];
        }
    }
    return result;
}

} // namespace

TUndoData MakeUndoData(TUndoData::TKind kind, std::int32_t number,
                       std::unique_ptr<helpproject::TBrindlewovenTopic> copy,
                       const char* hintFormat) {
    TUndoData data;
    data.Kind = kind;
    data.Number = number;
    data.Caption =
        (kind == TUndoData::TKind::Changes ? "Changes to #" : "Delete #") + std::to_string(number);
    if (copy)
        data.Hint = FormatHint(hintFormat, std::to_string(copy->Number), copy->Title);
    data.Copy = std::move(copy);
    return data;
}

} // namespace editor
