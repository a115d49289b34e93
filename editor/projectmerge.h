#pragma once
// Merging another project into the open one: which of its topics are
// taken, what happens to a topic number both projects use, and the
// insertion itself. The other project is worked on first, so a failure
// leaves the open project as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "helpproject/brindlewovenproject.h"

namespace editor {

// The merge dialog's criteria, by their places in its list.
enum class TMergeCriterion : std::uint8_t { All = 0, TopicID = 1, BrowseSequence = 2, Status = 3 };
// What to do with a topic number both projects use, by its radio button.
enum class TSameIDChoice : std::uint8_t { Overwrite = 0, DoNotAdd = 1, ChangeID = 2 };

struct TMergeSelection {
    TMergeCriterion Criterion = TMergeCriterion::All;
    std::int32_t From = 0; // the topic-number range (inclusive)
    std::int32_t To = 0;
    std::vector<std::string> BrowseSequences; // the checked names
    std::vector<std::string> Statuses;        // the checked statuses
    TSameIDChoice SameID = TSameIDChoice::Overwrite;
};

// Deletes from `other` every topic the criterion leaves out: outside the
// range; without a browse field "name:position" whose name (ignoring case)
// is checked; with a status (ignoring case) that is not checked.
void SelectMergeTopics(helpproject::TBrindlewovenProject& other, const TMergeSelection& selection);

// Settles the numbers `other` shares with `current`: DoNotAdd deletes those
// topics from `other`; ChangeID moves each to a number free in both
// projects, the links of `other` following. Overwrite leaves them for
// InsertMergedTopics. EProjectError when no free number is left.
void ResolveMergeClashes(const helpproject::TBrindlewovenProject& current,
                         helpproject::TBrindlewovenProject& other, TSameIDChoice choice);

// Puts every topic of `other` into `current` at its number, in number
// order, with all its fields; a topic of `current` at that number is
// overwritten (the same topic object takes the fields). Returns how many.
std::size_t InsertMergedTopics(helpproject::TBrindlewovenProject& current,
                               const helpproject::TBrindlewovenProject& other);

} // namespace editor
