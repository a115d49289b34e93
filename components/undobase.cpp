#include "components/undobase.h"

#include <algorithm>

namespace components {

namespace {

// Sets a flag for the lifetime of the scope, whichever way it leaves.
class TBusyScope {
public:
    explicit TBusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TBusyScope() { flag_ = false; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    bool& flag_;
};

const int kMaxMenuEntries = 16;

} // namespace

TUndoMerge TUndoItem::Merge(std::unique_ptr<TUndoItem>&) {
    return {};
}

bool TUndoItemGroup::IsTransparent() const {
    return !items_.empty() &&
           std::all_of(items_.begin(), items_.end(), [](const std::unique_ptr<TUndoItem>& item) {
               return item->IsTransparent();
           });
}

// The group answers "merged" in both cases: either its last item absorbed
// the new one (what is left of it goes back to the caller, who frees it) or
// the group keeps it as its new last item.
TUndoMerge TUndoItemGroup::Merge(std::unique_ptr<TUndoItem>& next) {
    if (closed_)
        return {};
    if (!items_.empty()) {
        TUndoMerge merged = items_.back()->Merge(next);
        if (merged.Merged) {
            if (merged.Replacement)
                items_.back() = std::move(merged.Replacement);
            return {true, nullptr};
        }
    }
    items_.push_back(std::move(next));
    return {true, nullptr};
}

void TUndoItemGroup::Redo() {
    for (auto& item : items_)
        item->Redo();
}

void TUndoItemGroup::Undo() {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        (*it)->Undo();
}

TUndoBase::TUndoBase() = default;

TUndoItem* TUndoBase::Add(std::unique_ptr<TUndoItem> item) {
    TUndoItem* holder = nullptr;
    bool keepsRedo = mark_ < 0 && item->IsTransparent() && !redo_.empty();
    if (!undo_.empty() && !keepsRedo) {
        TUndoMerge merged = undo_.back()->Merge(item);
        if (merged.Merged) {
            if (merged.Replacement)
                undo_.back() = std::move(merged.Replacement);
            item.reset();
            holder = undo_.back().get();
        }
    }
    if (!holder) {
        holder = item.get();
        undo_.push_back(std::move(item));
    }
    if (!redo_.empty()) {
        if (!undo_.back()->IsTransparent())
            ClearRedo();
        else if (mark_ < 0)
            mark_ = GetUndoCount() - 1;
    }
    return holder;
}

void TUndoBase::Clear() {
    ClearUndo();
    ClearRedo();
}

void TUndoBase::ClearRedo() {
    redo_.clear();
    mark_ = -1;
}

void TUndoBase::ClearUndo() {
    undo_.clear();
}

// While a mark is set, the undone item is a transparent one added after an
// earlier undo: it is taken back and thrown away rather than kept for redo.
void TUndoBase::Undo() {
    TBusyScope busy(busy_);
    std::unique_ptr<TUndoItem> item = std::move(undo_.back());
    undo_.pop_back();
    item->Undo();
    TUndoItem& undone = *item;
    std::unique_ptr<TUndoItem> discarded;
    if (mark_ >= 0) {
        discarded = std::move(item);
        if (GetUndoCount() <= mark_)
            mark_ = -1;
    } else {
        redo_.push_back(std::move(item));
    }
    if (OnUndo)
        OnUndo(*this, undone);
}

void TUndoBase::Redo() {
    while (mark_ >= 0)
        Undo();
    TBusyScope busy(busy_);
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    TUndoItem& item = *undo_.back();
    item.Redo();
    if (OnRedo)
        OnRedo(*this, item);
}

void TUndoBase::UndoTo(int index) {
    while (GetUndoCount() > std::max(index, 0))
        Undo();
}

void TUndoBase::RedoTo(int index) {
    while (GetRedoCount() > std::max(index, 0))
        Redo();
}

std::string FormatUndoText(const std::string& pattern, const std::string& argument) {
    std::string text;
    bool argumentUsed = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            char next = pattern[i + 1];
            if (next == '%') {
                text += '%';
                ++i;
                continue;
            }
            if (next == 's' && !argumentUsed) {
                text += argument;
                argumentUsed = true;
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}

std::vector<TUndoMenuEntry> UndoMenuEntries(const TUndoBase& stacks, bool redo) {
    int count = redo ? stacks.GetRedoCount() : stacks.GetUndoCount();
    const std::string& caption = redo ? stacks.RedoCaption : stacks.UndoCaption;
    const std::string& hintNone = redo ? stacks.HintNoRedo : stacks.HintNoUndo;
    const std::string& hint = redo ? stacks.RedoHint : stacks.UndoHint;
    std::vector<TUndoMenuEntry> entries;
    if (count == 0) {
        entries.push_back({FormatUndoText(caption, stacks.Nothing), hintNone, -1, false});
        return entries;
    }
    for (int index = count - 1; index >= 0 && count - index <= kMaxMenuEntries; --index) {
        const TUndoItem* item = redo ? stacks.GetRedoItem(index) : stacks.GetUndoItem(index);
        std::string text = FormatUndoText(hint, item->GetDescription());
        entries.push_back({text, text, index, true});
    }
    return entries;
}

} // namespace components
