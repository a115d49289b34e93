#pragma once
// How long each of a topic's fields may be: what the window's own boxes
// take (the title and context-string boxes 127 characters, the keyword and
// macro boxes 16383, browse sequence and build tag 50, status 255, a window
// name 50). What the person types is held to these by the boxes; what
// comes from outside (a link client, a pasted record) is measured against
// them before any of it is shown, since a field far longer than its box
// makes the window's text layout crawl.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace editor {

enum class TTopicField : std::uint8_t {
    Title,
    Context,
    KKeywords,
    AKeywords,
    BKeywords,
    BrowseSequence,
    BuildTag,
    Status,
    Window,
    EntryMacro,
};

std::size_t TopicFieldMaxLength(TTopicField field);

// The message for the first value longer than its field takes, empty when
// every one fits.
std::string
TopicFieldTooLong(std::initializer_list<std::pair<TTopicField, std::string_view>> values);

} // namespace editor
