#pragma once
// A stable text listing of what a parse collected, one line per item, for
// the test driver and for comparing runs.
#include "unitparser/unitparser.h"

#include <string>

namespace unitparser {

// Line breaks inside descriptions are written as "\n" so each item stays on
// one line.
std::string DumpParse(const TUnitParser& parser);

} // namespace unitparser
