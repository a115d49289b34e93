#pragma once
// The flat RTF manual: every included topic in one document for printing, in
// the order of the topic grid's sorted view, each topic's RTF kept as it
// stands under one merged font and colour table. Codes that mean nothing on
// paper go: links with their hotspot formatting, link targets and the end of
// the non-scrolling region; raw RTF codes become real RTF. Buttons,
// pictures, movies and raw HTML print as typed.
#include <cstdint>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/build/buildreport.h"

namespace helpproject {

// The manual's bytes: the topics the build tags let through, in the grid's
// order. Throws EBrindlewoven naming the topic for a topic without a font
// table, for merged tables that would pass 255 entries and for an "{rtf="
// code whose braces do not balance; EProjectError when the build tags
// exclude every topic.
std::string RtfManualBytes(const TBrindlewovenProject& project, bool pageBreaks);

// Writes the manual over `fileName` (through a temporary file; a failure
// leaves the old file).
TBuildReport ExportRtfManual(const TBrindlewovenProject& project, const std::string& fileName,
                             bool pageBreaks);

// The question the flat-manual command asks before calling ExportRtfManual.
inline constexpr const char* kRtfManualPageBreakQuestion =
    "Do you want the topics in the flat .rtf file to be separated by page breaks?";

} // namespace helpproject
