#include "helpproject/build/buildreport.h"

#include <algorithm>

#include "helpproject/brindlewovenproject.h"

namespace helpproject {

namespace {

void CopyName(std::string& field, const std::string& chosen) {
    if (!chosen.empty())
        field = chosen;
}

void ApplyIncludedTopics(TBrindlewovenProject& project, const std::vector<std::int32_t>& numbers) {
    for (const auto& topic : project.Topics())
        topic->Included = std::binary_search(numbers.begin(), numbers.end(), topic->Number);
    project.FirstTopic = numbers.empty() ? nullptr : project.FindTopic(numbers.front());
}

} // namespace

void ApplyBuildReport(TBrindlewovenProject& project, const TBuildReport& report) {
    project.MissingImages = report.MissingImages;
    project.BrokenLinks = report.BrokenLinks;
    project.TempFiles.insert(project.TempFiles.end(), report.TempFiles.begin(),
                             report.TempFiles.end());
    CopyName(project.HelpFileName, report.HelpFileName);
    CopyName(project.CntFileName, report.CntFileName);
    CopyName(project.ChmFileName, report.ChmFileName);
    CopyName(project.ErrorLogFileName, report.ErrorLogFileName);
    if (report.LocaleID)
        project.LocaleID = *report.LocaleID;
    for (std::int32_t number : report.AutomaticIDs)
        if (TBrindlewovenTopic* topic = project.FindTopic(number))
            topic->TopicID = TBrindlewovenTopic::AutomaticID(number);
    ApplyIncludedTopics(project, report.IncludedTopics);
}

} // namespace helpproject
