#pragma once
// The plain-text forms of the topic list: the printed topic list (one line
// per topic) and the export of the topic grid (one line per topic and shown
// property), both in the grid's sorted order.
#include <string>
#include <vector>

#include "editor/topicgrid.h"
#include "helpproject/brindlewovenproject.h"

namespace editor {

// The printed line of a topic: the fill character ("." for a bookmarked
// topic, a blank otherwise), the number right-aligned in 7 characters padded
// with it, one fill character and the title; cut to 69 characters and padded
// to 70 with the fill character, so the status always starts in column 71.
std::string TopicListLine(const helpproject::TBrindlewovenTopic& topic);
// One line per topic of the sorted view.
std::vector<std::string> TopicListLines(const helpproject::TBrindlewovenProject& project);

// The grid export: for each topic of the sorted view and each shown property
// in column order, the number ("%6d" on the topic's first line, six blanks
// on the others), " * " for a bookmarked topic or three blanks, and the
// property's value (the column of code 4 gets the B keywords).
std::vector<std::string> GridExportLines(const helpproject::TBrindlewovenProject& project,
                                         const TGridLayout& layout);
// Rewrites `fileName` with those lines, each ended by CR LF; the old file
// stays whole until the new one is complete.
void ExportGrid(const helpproject::TBrindlewovenProject& project, const TGridLayout& layout,
                const std::string& fileName);

} // namespace editor
