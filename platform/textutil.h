#pragma once
// Small text helpers over Windows-1252 bytes. Case-blind comparisons use the
// code page's own case tables, never the C locale.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Blanks in the sense most readers use: space, tab, CR and LF.
inline constexpr std::string_view kBlanks = " \t\r\n";

// `text` without leading and trailing characters from `blanks`.
std::string_view TrimView(std::string_view text, std::string_view blanks = kBlanks);
std::string_view TrimLeftView(std::string_view text, std::string_view blanks = kBlanks);
std::string_view TrimRightView(std::string_view text, std::string_view blanks = kBlanks);
inline std::string Trim(std::string_view text, std::string_view blanks = kBlanks) {
    return std::string(TrimView(text, blanks));
}
// Trims every character up to and including the space (control characters
// too), as the programs' own "Trim" does.
std::string_view TrimControlView(std::string_view text);

bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
// Where `what` first occurs in `text` at `from` or later, case-blind; npos
// when it does not, or when `what` is empty.
std::size_t FindNoCase(std::string_view text, std::string_view what, std::size_t from = 0);

// 0-15 for a hexadecimal digit of either case, -1 for anything else.
// Inline: tokenizers call it per byte.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
// A whole run of hexadecimal digits (no prefix, no sign) as a number; nullopt
// for an empty run, a foreign character or a value above 32 bits.
std::optional<std::uint32_t> ParseHex32(std::string_view digits);
// Text for HTML and XML, in content and in quoted attribute values: "&",
// "<", ">" and '"' become entities, every other byte stays.
std::string HtmlEscape(std::string_view text);

// Upper-case hexadecimal of `value`, at least `width` digits.
std::string HexUpper(std::uint32_t value, int width = 0);

} // namespace platform
