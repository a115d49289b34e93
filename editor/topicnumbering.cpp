#include "editor/topicnumbering.h"

#include <algorithm>

#include "platform/textutil.h"

namespace editor {

using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

bool IsAutomaticTopicID(std::string_view id) {
    constexpr std::string_view kPrefix = "Vellumar";
    if (id.size() <= kPrefix.size() || !platform::StartsWithNoCase(id, kPrefix))
        return false;
    return std::all_of(id.begin() + static_cast<std::ptrdiff_t>(kPrefix.size()), id.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::int32_t NewTopicNumber(const TBrindlewovenProject& project, std::int32_t after,
                            std::int32_t idIncrease) {
    const std::int32_t next = project.NextTopic(after)->Number;
    if (next <= after)
        return TBrindlewovenProject::IncreasedTopicNumber(after, idIncrease);
    // Both numbers are topic numbers, so the sums below stay in 64 bits.
    std::int64_t step = idIncrease;
    while (after + step >= next && step >= 2)
        step /= 2;
    step = std::max<std::int64_t>(step, 1);
    return project.FirstFreeNumber(static_cast<std::int32_t>(after + step));
}

std::int32_t RenumberTopic(TBrindlewovenProject& project, TBrindlewovenTopic& topic,
                           std::int32_t requested, bool updateLinks) {
    const std::int32_t oldNumber = topic.Number;
    if (requested == oldNumber)
        return oldNumber;
    const std::int32_t newNumber = project.FirstFreeNumber(requested);
    project.ChangeTopicNumber(oldNumber, newNumber);
    if (IsAutomaticTopicID(topic.TopicID))
        topic.TopicID = TBrindlewovenTopic::AutomaticID(newNumber);
    if (updateLinks)
        project.RenumberTopicLinks(oldNumber, newNumber);
    return newNumber;
}

} // namespace editor
