#include "editor/dialogs/topicpicker.h"

namespace editor {

using helpproject::TBrindlewovenProject;

const helpproject::TTopicList& TTopicPicker::Items() const {
    return numberStyle_ ? project_->TopicsByNumber() : project_->TopicsByTitle();
}

int TTopicPicker::SelectedIndex() const {
    if (text_.empty())
        return -1;
    const auto& items = Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].Text == text_)
            return static_cast<int>(i);
    return -1;
}

void TTopicPicker::Select(int index) {
    const auto& items = Items();
    text_ = index >= 0 && static_cast<std::size_t>(index) < items.size()
                ? items[static_cast<std::size_t>(index)].Text
                : std::string();
}

std::int32_t TTopicPicker::Number() const {
    return TBrindlewovenProject::NumberFromListText(text_, numberStyle_);
}

std::string TTopicPicker::TopicID() const {
    // A number no topic has is taken as typed, like any other context string.
    const std::int32_t number = Number();
    if (number != -1 && !project_->FindTopic(number))
        return text_;
    return project_->IDFromListText(text_, numberStyle_);
}

void TTopicPicker::SetNumberStyleKeepingID(bool numberStyle) {
    const std::string id = TopicID();
    numberStyle_ = numberStyle;
    text_ = project_->ListTextFromID(id, numberStyle_);
}

void TTopicPicker::SetNumberStyleKeepingNumber(bool numberStyle, bool selectFirst) {
    const std::int32_t number = SelectedIndex() >= 0 ? Number() : -1;
    numberStyle_ = numberStyle;
    int index = number >= 0 ? project_->TopicListIndex(number, numberStyle_) : -1;
    if (index < 0 && selectFirst && !Items().empty())
        index = 0;
    Select(index);
}

} // namespace editor
