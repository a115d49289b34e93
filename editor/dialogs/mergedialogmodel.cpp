#include "editor/dialogs/mergedialogmodel.h"

#include <algorithm>

#include "helpproject/brindlewovenproject.h"
#include "platform/pathnames.h"

namespace editor {

using helpproject::TBrindlewovenProject;

const std::vector<std::string>& TMergeDialogModel::CriterionNames() {
    static const std::vector<std::string> names = {"Insert all topics", "Topic ID",
                                                   "Browse sequence", "Status"};
    return names;
}

const std::vector<std::string>& TMergeDialogModel::SameIDNames() {
    static const std::vector<std::string> names = {
        "Overwrite the topic in the current project",
        "Do not add the topic from the project to merge to this project",
        "Change the Topic ID of the topic in the project to merge before inserting it"};
    return names;
}

void TMergeDialogModel::Fill(const TBrindlewovenProject& other, const std::string& fileName) {
    label_ = other.Title + " - " + platform::ExtractFileName(fileName);
    idItems_.clear();
    for (const auto& item : other.TopicsByNumber())
        idItems_.push_back(item.Text);
    idFrom_ = idItems_.empty() ? -1 : 0;
    idTo_ = static_cast<int>(idItems_.size()) - 1;
    helpproject::TStringList names;
    other.GetBrowseSequences(names);
    browse_.clear();
    for (const std::string& name : names)
        browse_.emplace_back(name, true);
    names.clear();
    other.GetStatuses(names);
    statuses_.clear();
    for (const std::string& status : names)
        statuses_.emplace_back(status, true);
}

void TMergeDialogModel::SetCriterion(int index) {
    criterion_ = static_cast<TMergeCriterion>(std::clamp(index, 0, 3));
}

void TMergeDialogModel::SetSameID(int index) {
    sameID_ = static_cast<TSameIDChoice>(std::clamp(index, 0, 2));
}

std::int32_t TMergeDialogModel::NumberAt(int index) const {
    if (index < 0 || index >= static_cast<int>(idItems_.size()))
        return -1;
    return TBrindlewovenProject::NumberFromListText(idItems_[static_cast<std::size_t>(index)],
                                                    true);
}

bool TMergeDialogModel::OkEnabled() const {
    if (criterion_ != TMergeCriterion::TopicID)
        return true;
    const std::int32_t first = NumberAt(idFrom_);
    return first >= 1 && NumberAt(idTo_) >= first;
}

TMergeSelection TMergeDialogModel::Selection() const {
    TMergeSelection selection;
    selection.Criterion = criterion_;
    selection.From = NumberAt(idFrom_);
    selection.To = NumberAt(idTo_);
    for (const auto& [name, on] : browse_)
        if (on)
            selection.BrowseSequences.push_back(name);
    for (const auto& [status, on] : statuses_)
        if (on)
            selection.Statuses.push_back(status);
    selection.SameID = sameID_;
    return selection;
}

} // namespace editor
