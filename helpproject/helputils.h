#pragma once
// Small routines shared by the project model and the writers.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/textutil.h"

namespace helpproject {

class TBrindlewovenProject;

// The decimal text of `value` with "0" put in front until it has `width`
// characters.
std::string ZeroPad(std::int64_t value, int width);
// The short form of a path. Linux has no 8.3 names, so it is the path itself.
std::string GetShortPath(const std::string& path);
// The WinHelp hash of a context string (the part before ">" or "@").
std::uint32_t WinHelpHash(std::string_view contextString);
// The text without its characters below 32.
std::string StripControlChars(std::string_view text);
// The text without CR and LF.
std::string StripLineBreaks(std::string_view text);
// The list-splitting rule of delimited string lists: items end at the
// delimiter or at a space or control character outside double quotes;
// double quotes group an item ("" inside quotes is one quote).
std::vector<std::string> SplitDelimited(std::string_view text, char delimiter);
// Trims spaces and control characters from both ends.
inline std::string TrimText(std::string_view text) {
    return std::string(platform::TrimControlView(text));
}
// A whole decimal number (optional sign, surrounding blanks allowed) that
// fits 32 bits; false otherwise.
bool TryParseInt32(std::string_view text, std::int32_t& value);
// The hexadecimal digits of a locale entry's code ("0409" of "0x0409
// English (U.S.)"): the run after "0x" or "0X" in an entry of at least five
// characters, given trimmed. Empty when the entry has no code.
std::string_view LocaleCodeDigits(std::string_view locale);

// An ANSI file name of the project as a path of this system.
std::filesystem::path ProjectPath(const std::string& fileName);
// The project's help file name: the project file name, or the output folder
// followed by the project file's name, with the extension ".hlp". An unsaved
// project's takes the name of the help project `hpjFileName` instead.
std::string DefaultHelpFileName(const TBrindlewovenProject& project,
                                const std::string& hpjFileName = {});

} // namespace helpproject
