#pragma once
// The flat manual in HTML: every included topic in one page, in the grid's
// sort order, each at its own anchor, links jumping within the page.
#include <string>

#include "helpproject/build/buildreport.h"

namespace components {
class IMessenger;
}

namespace helpproject {

class TBrindlewovenProject;

// The address written into the manual's GENERATOR META.
inline constexpr const char* kMakerWebSite = "https://www.vexlor.example/brindlewoven";

// The flat-manual command's step before it writes the HTML manual: the
// smaller FONT sizes of ordinary browsers instead of the HTML Help viewer's
// larger ones. Topic conversions cached with the larger sizes are dropped.
void UseManualFontSizes(TBrindlewovenProject& project);

// Writes the manual to `fileName` (its pictures beside it). `noLinks`
// writes hotspots as plain text, without anchors or buttons. Only the topics
// the build tags let through are written; EProjectError when they leave
// none.
TBuildReport ExportHtmlManual(const TBrindlewovenProject& project, const std::string& fileName,
                              bool noLinks, components::IMessenger* messenger = nullptr);

} // namespace helpproject
