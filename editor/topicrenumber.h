#pragma once
// Renumbering a range of topics: the plan of new numbers, the moves that
// carry it out without two topics ever sharing a number, and the hotspot
// bitmaps that follow the topics they link to.
#include <cstdint>
#include <string>
#include <vector>

#include "helpproject/brindlewovenproject.h"

namespace helpproject {
class TSHG;
}

namespace editor {

// The range (inclusive) and the new numbering the renumber dialog collects.
struct TRenumberRequest {
    std::int32_t From = 0;
    std::int32_t To = 0;
    std::int32_t Start = 10;
    std::int32_t Gap = 10;
};

// One topic of the range: the number it has and the number it gets.
struct TRenumberMove {
    std::int32_t Old = 0;
    std::int32_t New = 0;
};

// The topics numbered within the range, in number order, each with the next
// number of Start, Start + Gap, ... or, when a topic outside the range holds
// that number, the first free number above it. Nothing is changed.
// EProjectError, with the reason, when a new number would pass the highest
// topic number.
std::vector<TRenumberMove> PlanRenumber(const helpproject::TBrindlewovenProject& project,
                                        const TRenumberRequest& request);

// Gives every topic of the plan its new number (automatic context strings
// follow, HTML caches emptied). The topic objects stay the same, so
// pointers to them (the current topic) stay valid; the links are not
// touched (RenumberTopicLinks with the plan's map does that).
void MoveTopics(helpproject::TBrindlewovenProject& project, const std::vector<TRenumberMove>& plan);

// The plan as an old -> new map, without the topics that keep their number.
helpproject::TTopicNumberMap RenumberMap(const std::vector<TRenumberMove>& plan);

// The distinct hotspot-bitmap names ("{bmc pic.shg}" and its kin) of every
// topic's text, sorted ignoring case.
std::vector<std::string> GatherSHGFiles(const helpproject::TBrindlewovenProject& project);

// Where hotspot bitmaps are looked for: the project file's folder (when the
// project has a file name) and each entry of its bitmap paths, each with a
// trailing separator, sorted, without duplicates.
std::vector<std::string> SHGFolders(const helpproject::TBrindlewovenProject& project);

// The first of the folders, searched from the last to the first, that holds
// the file; "" when none does.
std::string FindSHGFile(const std::vector<std::string>& folders, const std::string& name);

// Every hotspot whose target is exactly "Vellumar" + a number of the map
// gets "Vellumar" + the new number; each hotspot is mapped at most once.
// True when a target changed.
bool RenumberHotspots(helpproject::TSHG& shg, const helpproject::TTopicNumberMap& numbers);

} // namespace editor
