#pragma once
// The undo steps of the index editor over a TKeywordIndex: adding and
// deleting a keyword row (with the topics it holds), a keyword deleted with
// its sub-keywords and a rename as one step each, and adding and removing a
// topic of a row. Each step is recorded after its change was made.
#include <string>
#include <vector>

#include "components/undobase.h"
#include "editor/keywordindex.h"

namespace editor {

class TUndoAddKeyword : public components::TUndoItem {
public:
    TUndoAddKeyword(TKeywordIndex& index, int position, std::string text);
    std::string GetLongDescription() const override { return GetDescription(); }
    std::string GetDescription() const override;
    // Takes in a following topic added to the same row: undoing the new
    // keyword takes its first topics along.
    components::TUndoMerge Merge(std::unique_ptr<components::TUndoItem>& next) override;
    void Undo() override;
    void Redo() override;

protected:
    void Remove();
    void Insert();

    TKeywordIndex& index_;
    int position_;
    std::string text_;
    // The row's topics while it is out of the index.
    std::vector<helpproject::TBrindlewovenTopic*> topics_;
};

class TUndoDeleteKeyword : public TUndoAddKeyword {
public:
    // The row was deleted with these topics.
    TUndoDeleteKeyword(TKeywordIndex& index, int position, std::string text,
                       std::vector<helpproject::TBrindlewovenTopic*> topics);
    std::string GetDescription() const override;
    // A deleted row's place belongs to the next row now: nothing merges.
    components::TUndoMerge Merge(std::unique_ptr<components::TUndoItem>& next) override;
    void Undo() override { Insert(); }
    void Redo() override { Remove(); }
};

class TUndoDeleteKeywordGroup : public components::TUndoItemGroup {
public:
    explicit TUndoDeleteKeywordGroup(std::string text) : text_(std::move(text)) {}
    std::string GetLongDescription() const override { return GetDescription(); }
    std::string GetDescription() const override;

private:
    std::string text_;
};

class TUndoChangeKeyword : public components::TUndoItemGroup {
public:
    TUndoChangeKeyword(std::string oldText, std::string newText)
        : oldText_(std::move(oldText)), newText_(std::move(newText)) {}
    std::string GetLongDescription() const override { return GetDescription(); }
    std::string GetDescription() const override;

private:
    std::string oldText_;
    std::string newText_;
};

class TUndoAddTopic : public components::TUndoItem {
public:
    TUndoAddTopic(TKeywordIndex& index, int position, helpproject::TBrindlewovenTopic* topic);
    std::string GetLongDescription() const override { return GetDescription(); }
    std::string GetDescription() const override;
    void Undo() override { index_.EraseTopic(position_, topic_); }
    void Redo() override { index_.InsertTopic(position_, topic_); }
    int Position() const { return position_; }

protected:
    TKeywordIndex& index_;
    int position_;
    helpproject::TBrindlewovenTopic* topic_;
    std::string keyword_;
};

class TUndoRemoveTopic : public TUndoAddTopic {
public:
    using TUndoAddTopic::TUndoAddTopic;
    std::string GetDescription() const override;
    void Undo() override { index_.InsertTopic(position_, topic_); }
    void Redo() override { index_.EraseTopic(position_, topic_); }
};

} // namespace editor
