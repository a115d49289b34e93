#pragma once
// The hotspots of imported WinHelp topics turned into markup codes: jumps
// (double underline) take the editor's strike-out, each hidden-text group
// becomes the link code for its target, and buttons that jump to a topic of
// the project get its number.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace helpproject {

// What the links of the imported project can reach.
struct TLinkLookup {
    std::unordered_map<std::string, std::int32_t> ids; // lower-cased topic ID -> number
    std::unordered_set<std::string> targets;           // lower-cased target names
};

// A hidden group "{\v text}" becomes "\{" + code + "\}": "link=" for a macro
// ("!") or a target in another file ("@"), "linkID=" with the number for a
// topic ID of the project (a window suffix ">w" kept), "linkTarget=" for a
// target name of the project, else "link=" with the text as written.
std::string ConvertHotspots(const std::string& text, const TLinkLookup& lookup);

} // namespace helpproject
