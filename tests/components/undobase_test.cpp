// The undo stacks: merging, groups, the kept-redo mark, ownership and the
// menu entries.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/undobase.h"

namespace {

using components::TUndoBase;
using components::TUndoItem;
using components::TUndoItemGroup;
using components::TUndoMerge;

// An action that writes what it does into a shared log and counts the
// living actions, so that a leaked or twice-freed one shows.
struct TLog {
    std::vector<std::string> Done;
    int Alive = 0;
};

class TAction : public TUndoItem {
public:
    TAction(TLog& log, std::string name, bool transparent = false)
        : log_(log), name_(std::move(name)), transparent_(transparent) {
        ++log_.Alive;
    }
    ~TAction() override { --log_.Alive; }
    std::string GetLongDescription() const override { return "long " + name_; }
    std::string GetDescription() const override { return name_; }
    bool IsTransparent() const override { return transparent_; }
    void Redo() override { log_.Done.push_back("redo " + name_); }
    void Undo() override { log_.Done.push_back("undo " + name_); }

protected:
    TLog& log_;
    std::string name_;
    bool transparent_;
};

// Typing: a key absorbs the next key.
class TKey : public TAction {
public:
    using TAction::TAction;
    TUndoMerge Merge(std::unique_ptr<TUndoItem>& next) override {
        if (!dynamic_cast<TKey*>(next.get()))
            return {};
        name_ += dynamic_cast<TKey*>(next.get())->name_;
        return {true, nullptr};
    }
};

// Hands its place to the newer item.
class TYielding : public TAction {
public:
    using TAction::TAction;
    TUndoMerge Merge(std::unique_ptr<TUndoItem>& next) override { return {true, std::move(next)}; }
};

// Groups are abstract like actions: an editor names its compound edits.
class TGroup : public TUndoItemGroup {
public:
    std::string GetLongDescription() const override { return "group"; }
    std::string GetDescription() const override { return "group"; }
};

template <class T = TAction>
std::unique_ptr<TUndoItem> Make(TLog& log, const std::string& name, bool transparent = false) {
    return std::make_unique<T>(log, name, transparent);
}

TEST(UndoStack, TransparentItemAfterUndoIsDiscardedByRedo) {
    TLog log;
    TUndoBase stacks;
    stacks.Add(Make(log, "A"));
    stacks.Undo();
    stacks.Add(Make(log, "T", true));
    EXPECT_EQ(stacks.GetRedoCount(), 1); // A is kept for redo
    EXPECT_EQ(stacks.KeptRedoMark(), 0);
    stacks.Redo();
    EXPECT_EQ(log.Done, (std::vector<std::string>{"undo A", "undo T", "redo A"}));
    EXPECT_EQ(stacks.GetRedoCount(), 0);
    EXPECT_EQ(stacks.GetUndoCount(), 1);
    EXPECT_EQ(stacks.KeptRedoMark(), -1);
    EXPECT_EQ(log.Alive, 1); // T is gone
    stacks.Undo();
    EXPECT_EQ(stacks.GetRedoCount(), 1); // A goes on the redo stack again
    EXPECT_EQ(stacks.GetRedoItem(0)->GetDescription(), "A");
}

TEST(UndoStack, MarkRules) {
    TLog log;
    {
        TUndoBase stacks; // a non-transparent item after an undo drops the redo stack
        stacks.Add(Make(log, "A"));
        stacks.Undo();
        stacks.Add(Make(log, "B"));
        EXPECT_EQ(stacks.GetRedoCount(), 0);
        EXPECT_EQ(stacks.KeptRedoMark(), -1);
    }
    {
        TUndoBase stacks; // ... also after transparent ones
        stacks.Add(Make(log, "A"));
        stacks.Add(Make(log, "B"));
        stacks.Undo();
        stacks.Add(Make(log, "T1", true));
        stacks.Add(Make(log, "T2", true));
        EXPECT_EQ(stacks.KeptRedoMark(), 1);
        stacks.Add(Make(log, "C"));
        EXPECT_EQ(stacks.GetRedoCount(), 0);
        EXPECT_EQ(stacks.KeptRedoMark(), -1);
    }
    {
        TUndoBase stacks; // undoing back below the mark clears it
        stacks.Add(Make(log, "A"));
        stacks.Add(Make(log, "B"));
        stacks.Undo();
        stacks.Add(Make(log, "T", true));
        stacks.Undo(); // T is thrown away, not kept for redo
        EXPECT_EQ(stacks.KeptRedoMark(), -1);
        EXPECT_EQ(stacks.GetRedoCount(), 1);
        EXPECT_EQ(stacks.GetUndoCount(), 1);
    }
    {
        TUndoBase stacks; // ClearRedo clears the mark
        stacks.Add(Make(log, "A"));
        stacks.Undo();
        stacks.Add(Make(log, "T", true));
        stacks.ClearRedo();
        EXPECT_EQ(stacks.KeptRedoMark(), -1);
    }
    EXPECT_EQ(log.Alive, 0);
}

TEST(UndoStack, MergingAndGroups) {
    TLog log;
    TUndoBase stacks;
    TUndoItem* holder = stacks.Add(Make<TKey>(log, "a"));
    EXPECT_EQ(stacks.Add(Make<TKey>(log, "b")), holder); // absorbed and freed
    EXPECT_EQ(log.Alive, 1);
    EXPECT_EQ(holder->GetDescription(), "ab");

    auto group = std::make_unique<TGroup>();
    TGroup* g = group.get();
    stacks.Add(Make(log, "plain"));
    stacks.Add(std::move(group)); // plain does not merge: the group is pushed
    EXPECT_EQ(stacks.Add(Make(log, "x")), g);
    EXPECT_EQ(stacks.Add(Make(log, "y")), g);
    EXPECT_EQ(g->GetCount(), 2);
    g->Close();
    stacks.Add(Make(log, "z")); // a closed group refuses
    EXPECT_EQ(stacks.GetUndoCount(), 4);

    stacks.Undo(); // z
    stacks.Undo(); // the group, last item first
    stacks.Redo();
    EXPECT_EQ(log.Done,
              (std::vector<std::string>{"undo z", "undo y", "undo x", "redo x", "redo y"}));

    stacks.Clear();
    EXPECT_EQ(log.Alive, 0);
}

// The last item of an open group absorbs a new item: the stack gets the
// group back and must still free the absorbed item, at once.
TEST(UndoStack, ItemAbsorbedInsideAnOpenGroupIsFreed) {
    TLog log;
    {
        TUndoBase stacks;
        auto group = std::make_unique<TGroup>();
        stacks.Add(std::move(group));
        stacks.Add(Make<TKey>(log, "a"));
        stacks.Add(Make<TKey>(log, "b"));
        stacks.Add(Make<TKey>(log, "c"));
        EXPECT_EQ(log.Alive, 1);
        auto* g = dynamic_cast<TUndoItemGroup*>(stacks.GetUndoItem(0));
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->GetCount(), 1);
        EXPECT_EQ(g->GetItem(0)->GetDescription(), "abc");
    }
    EXPECT_EQ(log.Alive, 0);
}

TEST(UndoStack, ReplacementTakesThePlaceOfTheOldItem) {
    TLog log;
    TUndoBase stacks;
    stacks.Add(Make<TYielding>(log, "old"));
    TUndoItem* holder = stacks.Add(Make(log, "new"));
    EXPECT_EQ(holder->GetDescription(), "new");
    EXPECT_EQ(stacks.GetUndoCount(), 1);
    EXPECT_EQ(log.Alive, 1);

    auto group = std::make_unique<TGroup>();
    TGroup* g = group.get();
    stacks.Add(std::move(group));
    stacks.Add(Make<TYielding>(log, "first"));
    stacks.Add(Make(log, "second"));
    EXPECT_EQ(g->GetCount(), 1);
    EXPECT_EQ(g->GetItem(0)->GetDescription(), "second");
    EXPECT_EQ(log.Alive, 2);
}

TEST(UndoStack, EventsSeeTheItemEvenWhenItIsDiscarded) {
    TLog log;
    TUndoBase stacks;
    std::vector<std::string> seen;
    stacks.OnUndo = [&](TUndoBase& sender, TUndoItem& item) {
        EXPECT_TRUE(sender.Busy());
        seen.push_back("undo " + item.GetDescription());
    };
    stacks.OnRedo = [&](TUndoBase&, TUndoItem& item) {
        seen.push_back("redo " + item.GetDescription());
    };
    stacks.Add(Make(log, "A"));
    stacks.Undo();
    stacks.Add(Make(log, "T", true));
    stacks.Redo();
    EXPECT_FALSE(stacks.Busy());
    EXPECT_EQ(seen, (std::vector<std::string>{"undo A", "undo T", "redo A"}));
}

TEST(UndoStack, MenuEntries) {
    TLog log;
    TUndoBase stacks;
    auto undo = components::UndoMenuEntries(stacks, false);
    ASSERT_EQ(undo.size(), 1u);
    EXPECT_EQ(undo[0].Caption, "&Undo <nothing>");
    EXPECT_EQ(undo[0].Hint, "At the moment there is nothing that can be undone");
    EXPECT_FALSE(undo[0].Enabled);
    auto redo = components::UndoMenuEntries(stacks, true);
    EXPECT_EQ(redo[0].Caption, "&Redo <nothing>");
    EXPECT_EQ(redo[0].Hint, "At the moment there are no undone actions that can be redone");

    for (int i = 0; i < 20; ++i)
        stacks.Add(Make(log, "edit " + std::to_string(i)));
    stacks.UndoTo(0);
    EXPECT_EQ(stacks.GetRedoCount(), 20);
    redo = components::UndoMenuEntries(stacks, true);
    ASSERT_EQ(redo.size(), 16u);
    EXPECT_EQ(redo[0].Caption, "Redo edit 0"); // the newest undone action first
    EXPECT_EQ(redo[0].Tag, 19);
    EXPECT_EQ(redo[15].Caption, "Redo edit 15");
    EXPECT_EQ(redo[15].Tag, 4);

    stacks.RedoTo(redo[2].Tag); // edits 0, 1 and 2
    EXPECT_EQ(stacks.GetUndoCount(), 3);
    EXPECT_EQ(stacks.GetUndoItem(2)->GetDescription(), "edit 2");
}

TEST(UndoStack, FormatUndoText) {
    EXPECT_EQ(components::FormatUndoText("&Undo %s", "typing"), "&Undo typing");
    EXPECT_EQ(components::FormatUndoText("100%% %s %s", "x"), "100% x %s");
    EXPECT_EQ(components::FormatUndoText("end %", "x"), "end %");
}

} // namespace
