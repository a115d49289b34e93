#include "editor/topicclipboardcommands.h"

#include "helpproject/topicclipboard.h"

namespace editor {

namespace {

TTopicClipboardContent ContentOf(const helpproject::TBrindlewovenTopic& topic) {
    return {helpproject::SaveToClipboardData(topic),
            std::string(kTopicClipboardTextPrefix) + topic.Title};
}

} // namespace

helpproject::TBrindlewovenTopic& TTopicClipboardCommands::Stored(std::int32_t number) {
    helpproject::TBrindlewovenTopic* current = editor_.CurrentTopic();
    if (!current || current->Number != number)
        return *editor_.Project().TopicByNumber(number);
    editor_.StoreTopic();
    // The title box shows the stored title again.
    editor_.View().PropertyBarChanged();
    // Storing takes a number typed into the number box along.
    return *editor_.CurrentTopic();
}

TTopicClipboardContent TTopicClipboardCommands::Copy(std::int32_t number) {
    return ContentOf(Stored(number));
}

TTopicClipboardContent TTopicClipboardCommands::Cut(std::int32_t number) {
    const helpproject::TBrindlewovenTopic& topic = Stored(number);
    TTopicClipboardContent content = ContentOf(topic);
    editor_.DeleteTopic(topic.Number);
    return content;
}

void TTopicClipboardCommands::Paste(std::int32_t number, std::string_view record) {
    editor_.PasteTopic(number, record);
}

} // namespace editor
