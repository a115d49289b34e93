#pragma once
// The hotspots of imported WinHelp topics turned into markup codes: jumps
// (double underline) take the editor's strike-out, the hidden text after a
// hotspot becomes the link code for its target, and buttons that jump to a
// topic of the project get its number.
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

// Hidden text becomes "\{" + code + "\}": "link=" for a macro ("!", its
// quotes as MacroWithPlainQuotes makes them) or a target in another file
// ("@"), "linkID=" with the number for a topic ID of the project (a window
// suffix ">w" kept), "linkTarget=" for a target name of the project, else
// "link=" with the text as written. Hidden text is read however Word wrote
// it: a group "{\v text}", a run "\v text\v0" (or ended by "\plain"), text
// that a character or paragraph style hides, and one target split into
// adjacent runs and groups, which gives one code. Where the hotspot's
// format (strike-out, which a double underline becomes, or underline) is
// still on at the code, set at paragraph level or by a word before the
// text, the code goes into a group that turns it off: the
// hotspot's text ends where its code starts, as the editor and every
// writer expect.
std::string ConvertHotspots(const std::string& text, const TLinkLookup& lookup);

// A WinHelp macro as a word processor typed it: its typographic quotes
// (0x91 to 0x94, read from "\lquote" and its kin) become the quotes of the
// macro language, "`", "'" and '"', so that the macro runs.
std::string MacroWithPlainQuotes(std::string macro);

} // namespace helpproject
