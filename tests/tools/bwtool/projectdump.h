#pragma once
// A stable text listing of a project: options, topics with all fields and
// text, windows, contents, macros and text styles. Text bytes are printed as
// they are (Windows-1252); control characters as \xNN. Tools print it so that
// tests compare whole projects by text.
#include <string>

#include "helpproject/brindlewovenproject.h"

namespace bwtool {

std::string DumpProject(const helpproject::TBrindlewovenProject& project,
                        const helpproject::TTextStyleList& styles);

} // namespace bwtool
