#pragma once
// Cut, Copy and Paste of whole topics. A copied topic is the clipboard
// record (helpproject/topicclipboard.h) plus, for programs that know only
// text, "Brindlewoven topic: " and its title. The window moves both to and
// from the system clipboard; these commands work on any topic, the current
// one or another row of the grid.
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/topiceditor.h"

namespace editor {

// What Copy places on the clipboard.
struct TTopicClipboardContent {
    std::string Record; // in the topic format
    std::string Text;   // as plain text
};

inline constexpr std::string_view kTopicClipboardTextPrefix = "Brindlewoven topic: ";

class TTopicClipboardCommands {
public:
    explicit TTopicClipboardCommands(TTopicEditor& editor) : editor_(editor) {}

    // The current topic is stored first, so the copy holds what the editor
    // and the property bar show.
    TTopicClipboardContent Copy(std::int32_t number);
    // Copy, then delete the topic (Undo brings it back).
    TTopicClipboardContent Cut(std::int32_t number);
    // The topic's fields and text become the record's; it keeps its number.
    // A damaged record throws EProjectError and changes nothing.
    void Paste(std::int32_t number, std::string_view record);

private:
    // The topic, stored first when it is the current one.
    helpproject::TBrindlewovenTopic& Stored(std::int32_t number);

    TTopicEditor& editor_;
};

} // namespace editor
