#pragma once
// A small undo framework: actions, compound actions, and the undo and redo
// stacks with their kept-redo mark. An editor derives its actions from
// TUndoItem (or TUndoItemGroup) and hands them to a TUndoBase, which owns
// them from then on; the windowed TUndo (components/ui/undo.h) adds the two
// menus that list what can be undone and redone.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace components {

class TUndoItem;

// The answer of TUndoItem::Merge. Not merged: the offered item was left
// untouched. Merged: the offered item is part of this one now; whatever is
// still left in the caller's pointer is freed by the caller, and a
// Replacement, when given, takes this item's place (this item is freed).
struct TUndoMerge {
    bool Merged = false;
    std::unique_ptr<TUndoItem> Replacement;
};

class TUndoItem {
public:
    virtual ~TUndoItem() = default;
    virtual std::string GetLongDescription() const = 0;
    // The text put into "&Undo %s" and the like.
    virtual std::string GetDescription() const = 0;
    // A transparent item may be added after an undo without throwing the
    // redo stack away.
    virtual bool IsTransparent() const { return false; }
    // Lets this (the newest) item absorb `next`. The base merges nothing.
    virtual TUndoMerge Merge(std::unique_ptr<TUndoItem>& next);
    virtual void Redo() = 0;
    virtual void Undo() = 0;
};

// A compound action: its items undo from last to first and redo from first
// to last. While open it takes every new item, offering it to its last item
// first.
class TUndoItemGroup : public TUndoItem {
public:
    void Close() { closed_ = true; }
    bool Closed() const { return closed_; }
    int GetCount() const { return static_cast<int>(items_.size()); }
    TUndoItem* GetItem(int index) const { return items_.at(index).get(); }

    bool IsTransparent() const override;
    TUndoMerge Merge(std::unique_ptr<TUndoItem>& next) override;
    void Redo() override;
    void Undo() override;

private:
    bool closed_ = false;
    std::vector<std::unique_ptr<TUndoItem>> items_;
};

class TUndoBase {
public:
    using TUndoEvent = std::function<void(TUndoBase& sender, TUndoItem& item)>;

    TUndoBase();
    virtual ~TUndoBase() = default;
    TUndoBase(const TUndoBase&) = delete;
    TUndoBase& operator=(const TUndoBase&) = delete;

    // Takes the item; returns the item that holds it now (the item itself,
    // or the item on top that absorbed it).
    virtual TUndoItem* Add(std::unique_ptr<TUndoItem> item);
    virtual void Clear();
    void ClearRedo();
    void ClearUndo();

    // Only while the stack in question is not empty; the owner checks the
    // counts, as it does when it enables its commands.
    void Undo();
    void Redo();
    // Undoes (redoes) while the stack holds more items than `index`: the
    // action at that stack index and everything above it.
    void UndoTo(int index);
    void RedoTo(int index);

    int GetUndoCount() const { return static_cast<int>(undo_.size()); }
    int GetRedoCount() const { return static_cast<int>(redo_.size()); }
    // Index 0 is the bottom of the stack, count - 1 its top.
    TUndoItem* GetUndoItem(int index) const { return undo_.at(index).get(); }
    TUndoItem* GetRedoItem(int index) const { return redo_.at(index).get(); }
    // The undo-stack index of the first transparent item added after an
    // undo; -1 when none.
    int KeptRedoMark() const { return mark_; }
    // True while an undo or redo runs.
    bool Busy() const { return busy_; }

    TUndoEvent OnUndo;
    TUndoEvent OnRedo;

    std::string HintNoUndo = "At the moment there is nothing that can be undone";
    std::string HintNoRedo = "At the moment there are no undone actions that can be redone";
    std::string Nothing = "<nothing>";
    std::string UndoCaption = "&Undo %s";
    std::string RedoCaption = "&Redo %s";
    std::string UndoHint = "Undo %s";
    std::string RedoHint = "Redo %s";
    // For the owner, with GetLongDescription; the stacks do not use them.
    std::string UndoLongCaption = "Undo %s";
    std::string RedoLongCaption = "Redo %s";

private:
    bool busy_ = false;
    int mark_ = -1;
    std::vector<std::unique_ptr<TUndoItem>> undo_;
    std::vector<std::unique_ptr<TUndoItem>> redo_;
};

// One entry of an undo or redo menu.
struct TUndoMenuEntry {
    std::string Caption;
    std::string Hint;
    int Tag = -1; // the stack index the entry undoes (redoes) down to
    bool Enabled = true;
};

// The entries of the undo menu (redo: `redo` true): newest first, at most 16;
// with an empty stack one disabled entry saying there is nothing.
std::vector<TUndoMenuEntry> UndoMenuEntries(const TUndoBase& stacks, bool redo);

// The caption and hint texts hold one %s; "%%" stands for a percent sign.
std::string FormatUndoText(const std::string& pattern, const std::string& argument);

} // namespace components
