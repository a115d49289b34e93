#include "editor/keywordundo.h"

#include "platform/textutil.h"

namespace editor {

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + platform::Trim(text, " ") + "\"";
}

} // namespace

TUndoAddKeyword::TUndoAddKeyword(TKeywordIndex& index, int position, std::string text)
    : index_(index), position_(position), text_(std::move(text)) {}

std::string TUndoAddKeyword::GetDescription() const {
    return "adding new keyword " + Quoted(text_);
}

components::TUndoMerge TUndoAddKeyword::Merge(std::unique_ptr<components::TUndoItem>& next) {
    auto* topic = dynamic_cast<TUndoAddTopic*>(next.get());
    if (!topic || dynamic_cast<TUndoRemoveTopic*>(next.get()) || topic->Position() != position_)
        return {};
    // The topic is in the row already; undoing this step takes it along.
    next.reset();
    return {true, nullptr};
}

void TUndoAddKeyword::Remove() {
    topics_ = index_.RemoveItem(position_).Topics;
}

void TUndoAddKeyword::Insert() {
    index_.InsertItem(position_, TIndexItem{text_, std::move(topics_)});
    topics_.clear();
}

void TUndoAddKeyword::Undo() {
    Remove();
}

void TUndoAddKeyword::Redo() {
    Insert();
}

TUndoDeleteKeyword::TUndoDeleteKeyword(TKeywordIndex& index, int position, std::string text,
                                       std::vector<helpproject::TBrindlewovenTopic*> topics)
    : TUndoAddKeyword(index, position, std::move(text)) {
    topics_ = std::move(topics);
}

std::string TUndoDeleteKeyword::GetDescription() const {
    return "deleting keyword " + Quoted(text_);
}

components::TUndoMerge TUndoDeleteKeyword::Merge(std::unique_ptr<components::TUndoItem>&) {
    return {};
}

std::string TUndoDeleteKeywordGroup::GetDescription() const {
    return "deleting keyword " + Quoted(text_);
}

std::string TUndoChangeKeyword::GetDescription() const {
    return "changing keyword " + Quoted(oldText_) + " into " + Quoted(newText_);
}

TUndoAddTopic::TUndoAddTopic(TKeywordIndex& index, int position,
                             helpproject::TBrindlewovenTopic* topic)
    : index_(index), position_(position), topic_(topic), keyword_(index.Name(position)) {}

std::string TUndoAddTopic::GetDescription() const {
    return "adding topic " + Quoted(topic_->Title) + " to keyword " + Quoted(keyword_);
}

std::string TUndoRemoveTopic::GetDescription() const {
    return "removing topic " + Quoted(topic_->Title) + " from keyword " + Quoted(keyword_);
}

} // namespace editor
