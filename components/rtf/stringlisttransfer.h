#pragma once
// Transfer of a whole document to and from a list of lines, as topics store
// their text: loading joins the lines with CR LF, passes them through the
// read conversion and parses them (RTF or plain text); saving writes the
// program's RTF layout and splits it into lines.
#include <string>
#include <string_view>
#include <vector>

#include "components/rtf/rtfdocument.h"

namespace rtf {

// Throws ERtfError on refused RTF (too deeply nested).
RtfDocument LoadFromStrings(const std::vector<std::string>& lines);
std::vector<std::string> SaveToStrings(const RtfDocument& document);

// Lines of a text as a string list reads them: CR LF, LF and CR end a line;
// a last line without an end is kept; nothing after a final line end.
std::vector<std::string> SplitLines(std::string_view text);
// Lines each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

} // namespace rtf
