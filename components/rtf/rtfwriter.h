#pragma once
// Writes a document in the layout the whole program relies on:
//   line 1  {\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fswiss\fcharset0 Arial;}...}
//   line 2  {\colortbl ;\red255\green0\blue0;...}
//   then one line per paragraph: "\pard" with the paragraph format, the runs
//   with their format changes, ending in "\par"; the last line ends "\par }".
// A markup code typed across a paragraph end is never cut: the paragraph
// that leaves a code open continues on the same line. Bullets are written
// both as "{\pntext...}" and as "{\*\pn...\pnlvlblt...}", so that readers of
// either kind see them.
#include <string>
#include <vector>

#include "components/rtf/rtfdocument.h"

namespace rtf {

// The RTF lines (without line ends).
std::vector<std::string> WriteRtfLines(const RtfDocument& document);
// The same lines, each followed by CR LF.
std::string WriteRtf(const RtfDocument& document);

} // namespace rtf
