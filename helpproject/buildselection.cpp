#include "helpproject/buildselection.h"

#include <algorithm>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/helputils.h"
#include "platform/codepage.h"

namespace helpproject {

namespace {

bool NamesTag(const std::vector<std::string>& wanted, const std::string& tag) {
    return std::any_of(wanted.begin(), wanted.end(),
                       [&](const std::string& w) { return platform::AnsiSameText(w, tag); });
}

bool PassesBuildTags(const std::vector<std::string>& wanted, const TBrindlewovenTopic& topic) {
    if (topic.BuildTag.empty())
        return true;
    const std::vector<std::string> tags = SplitDelimited(topic.BuildTag, ';');
    return tags.empty() || std::any_of(tags.begin(), tags.end(), [&](const std::string& tag) {
               return NamesTag(wanted, tag);
           });
}

} // namespace

TBuildSelection TBuildSelection::All(const TBrindlewovenProject& project) {
    TBuildSelection selection;
    for (const auto& topic : project.Topics())
        selection.Add(*topic);
    return selection;
}

TBuildSelection TBuildSelection::ByBuildTags(const TBrindlewovenProject& project) {
    if (project.BuildTags.empty())
        return All(project);
    const std::vector<std::string> wanted = SplitDelimited(project.BuildTags, ';');
    TBuildSelection selection;
    for (const auto& topic : project.Topics())
        if (PassesBuildTags(wanted, *topic))
            selection.Add(*topic);
    return selection;
}

TBuildSelection TBuildSelection::ForBuild(const TBrindlewovenProject& project) {
    TBuildSelection selection = ByBuildTags(project);
    CheckBuildLeavesTopics(project, selection);
    return selection;
}

TBuildSelection TBuildSelection::For(const TBrindlewovenProject& project, bool applyBuildTags) {
    return applyBuildTags ? ForBuild(project) : All(project);
}

bool TBuildSelection::Includes(const TBrindlewovenTopic& topic) const {
    return Includes(topic.Number);
}

std::vector<std::int32_t> TBuildSelection::Numbers() const {
    std::vector<std::int32_t> numbers;
    numbers.reserve(topics_.size());
    for (const TBrindlewovenTopic* topic : topics_)
        numbers.push_back(topic->Number);
    return numbers;
}

void TBuildSelection::Add(const TBrindlewovenTopic& topic) {
    topics_.push_back(&topic);
    numbers_.insert(topic.Number);
}

void CheckBuildLeavesTopics(const TBrindlewovenProject& project, const TBuildSelection& selection) {
    if (!project.BuildTags.empty() && selection.Empty())
        throw EProjectError("The build tag settings you specified caused all topics to be "
                            "excluded from the help project.  Therefore, the help file has not "
                            "been compiled.");
}

} // namespace helpproject
