#include "helpproject/build/buildreport.h"

#include <algorithm>

#include "helpproject/brindlewovenproject.h"

namespace helpproject {

void KeepBuildChoices(TBrindlewovenProject& project, const TBuildReport& report) {
    if (report.LocaleID)
        project.LocaleID = *report.LocaleID;
    for (std::int32_t number : report.AutomaticIDs)
        if (TBrindlewovenTopic* topic = project.FindTopic(number))
            topic->TopicID = TBrindlewovenTopic::AutomaticID(number);
    const auto& numbers = report.IncludedTopics;
    for (const auto& topic : project.Topics())
        topic->Included = std::binary_search(numbers.begin(), numbers.end(), topic->Number);
}

} // namespace helpproject
