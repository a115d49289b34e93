#pragma once
// The merge dialog's logic: the project to merge, the criterion with its
// topic range, browse sequences and statuses, the choice for numbers both
// projects use, and when OK may be pressed. The dialog is kept between
// uses: the criterion and the choice stay as the person left them.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "editor/projectmerge.h"

namespace helpproject {
class TBrindlewovenProject;
}

namespace editor {

class TMergeDialogModel {
public:
    static const std::vector<std::string>& CriterionNames();
    static const std::vector<std::string>& SameIDNames();

    // Fills the dialog from the project to merge: its title and file name,
    // its "%d: %s" topics (the first and the last chosen), its browse
    // sequences and statuses, all checked.
    void Fill(const helpproject::TBrindlewovenProject& other, const std::string& fileName);

    const std::string& ProjectLabel() const { return label_; }
    const std::vector<std::string>& IDItems() const { return idItems_; }

    TMergeCriterion Criterion() const { return criterion_; }
    void SetCriterion(int index);
    int IDFromIndex() const { return idFrom_; }
    int IDToIndex() const { return idTo_; }
    void SetIDFromIndex(int index) { idFrom_ = index; }
    void SetIDToIndex(int index) { idTo_ = index; }

    // Name and checked state.
    std::vector<std::pair<std::string, bool>>& BrowseSequences() { return browse_; }
    std::vector<std::pair<std::string, bool>>& Statuses() { return statuses_; }

    TSameIDChoice SameID() const { return sameID_; }
    void SetSameID(int index);

    // The topic-ID criterion needs a range whose end is not below its
    // start; every other criterion may go ahead.
    bool OkEnabled() const;
    TMergeSelection Selection() const;

private:
    std::int32_t NumberAt(int index) const;

    std::string label_;
    std::vector<std::string> idItems_;
    int idFrom_ = -1;
    int idTo_ = -1;
    std::vector<std::pair<std::string, bool>> browse_;
    std::vector<std::pair<std::string, bool>> statuses_;
    TMergeCriterion criterion_ = TMergeCriterion::All;
    TSameIDChoice sameID_ = TSameIDChoice::Overwrite;
};

} // namespace editor
