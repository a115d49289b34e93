#pragma once
// The records behind the topic-level Undo and Redo menus: each holds a copy
// of a topic as it was (changes) or as it was deleted, with the entry's
// caption and hint. A menu keeps the 16 newest, newest first.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "helpproject/brindlewoventopic.h"

namespace editor {

struct TUndoData {
    enum class TKind : std::uint8_t { Changes = 0, Deletion = 1 };

    TKind Kind = TKind::Changes;
    // The topic the entry works on: for changes the number the topic has
    // now, for a deletion the number it had.
    std::int32_t Number = 0;
    std::unique_ptr<helpproject::TBrindlewovenTopic> Copy;
    std::string Caption; // "Changes to #12", "Delete #12"
    std::string Hint;
};

class TUndoMenu {
public:
    static constexpr std::size_t kMaxEntries = 16;

    const std::deque<TUndoData>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }
    // Puts the entry on top; a 17th entry drops the oldest with its record.
    void Add(TUndoData entry);
    // Removes the entry and hands it over; std::out_of_range for a bad index.
    TUndoData Take(std::size_t index);
    void Clear() { entries_.clear(); }

private:
    std::deque<TUndoData> entries_;
};

// An entry with its caption ("Changes to #" or "Delete #" and `number`) and
// the hint made from `hintFormat`, whose two "%s" take the number and title
// of the copy.
TUndoData MakeUndoData(TUndoData::TKind kind, std::int32_t number,
                       std::unique_ptr<helpproject::TBrindlewovenTopic> copy,
                       const char* hintFormat);

} // namespace editor
