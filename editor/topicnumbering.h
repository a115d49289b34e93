#pragma once
// Topic numbers as the editor hands them out and changes them: the number
// of a new topic after another, and moving a topic to another number (the
// number box of the property bar and the Topic Properties dialog share it).
#include <cstdint>
#include <string_view>

#include "helpproject/brindlewovenproject.h"

namespace editor {

// True for an automatic context string: "Vellumar" followed by digits only,
// in any case. Such an ID names the topic's number and is made anew when the
// number changes.
bool IsAutomaticTopicID(std::string_view id);

// The number of a new topic placed after topic `after`: halfway steps of
// `idIncrease` that stay below the next topic's number, then the first free
// number from there; after the last topic, `after` + `idIncrease`.
// EProjectError when that passes the highest topic number.
std::int32_t NewTopicNumber(const helpproject::TBrindlewovenProject& project, std::int32_t after,
                            std::int32_t idIncrease);

// Moves `topic` to the first free number from `requested` (its own number
// when that is what is asked), keeping every field of it. An automatic
// context string becomes the one of the new number. With `updateLinks`,
// every link to the old number follows. Returns the number taken.
std::int32_t RenumberTopic(helpproject::TBrindlewovenProject& project,
                           helpproject::TBrindlewovenTopic& topic, std::int32_t requested,
                           bool updateLinks);

} // namespace editor
