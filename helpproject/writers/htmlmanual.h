#pragma once
// The flat manual in HTML: every included topic in one page, in the grid's
// sort order, each at its own anchor, links jumping within the page.
#include <string>

#include "helpproject/writers/htmlexportprogress.h"

namespace helpproject {

class TBrindlewovenProject;

// The address written into the manual's GENERATOR META.
inline constexpr const char* kMakerWebSite = "https://www.vexlor.example/brindlewoven";

// Writes the manual to `fileName` (its pictures beside it). `noLinks`
// writes hotspots as plain text, without anchors or buttons.
void ExportHtmlManual(TBrindlewovenProject& project, const std::string& fileName, bool noLinks,
                      THtmlExportProgress* progress = nullptr);

} // namespace helpproject
