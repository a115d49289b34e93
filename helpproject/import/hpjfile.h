#pragma once
// The help project file (.hpj) of a WinHelp project, read for what the
// import and other readers of WinHelp projects take from it: the [OPTIONS]
// keys, the [CONFIG], [BAGGAGE] and [WINDOWS] lines, the [FILES] list and
// the [MAP] of topic IDs to numbers.
//
// It is read with the rules of INI files: section and key names compared
// without regard to case, the first match wins, and ";" starts a comment
// only at the start of a line or after a blank outside quotes, so that
// macro chains such as "A();B()" survive.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "helpproject/brindlewoventopic.h"

namespace helpproject {

// The largest .hpj the readers take: a text file of a help project, far
// smaller in practice.
inline constexpr std::uint64_t kMaxHpjBytes = 16u << 20;

struct THpjFile {
    // The keys of the first [OPTIONS] section, in file order: the name
    // trimmed, the value trimmed, its comment stripped and enclosing double
    // quotes removed.
    std::vector<std::pair<std::string, std::string>> Options;
    // The non-empty, comment-stripped lines of each section, with every
    // section of that name added in turn. A section that is present but
    // empty differs from one that is missing.
    bool HasConfig = false, HasBaggage = false, HasWindows = false, HasFiles = false;
    TStringList Config, Baggage, Windows;
    TStringList Files; // without "#include" lines
    // Lower-cased topic ID -> number text as written; the first line wins.
    std::unordered_map<std::string, std::string> Map;

    // The value of an [OPTIONS] key (ignoring case; the first wins).
    std::optional<std::string> Option(std::string_view key) const;
    // The [MAP] number of a topic ID (ignoring case) when it is a valid
    // topic number.
    std::optional<std::int32_t> MappedNumber(std::string_view id) const;
};

// Reads .hpj text.
THpjFile ParseHpj(std::string_view text);
// Reads a .hpj file (a regular file of at most kMaxHpjBytes); throws the
// platform's error when it cannot.
THpjFile ReadHpjFile(const std::filesystem::path& path);

// ---- the small routines, for the tests and for other readers of .hpj text ----

// The line without its comment, trimmed: ";" starts a comment at the start of
// the line or after a blank, outside "..." and `...' quotes.
std::string StripHpjComment(std::string_view line);

// An .hpj Boolean: True, Yes, On or 1 (any case) are true; False, No, Off or 0
// false; anything else gives `defaultValue`.
bool ReadHpjBoolean(std::string_view value, bool defaultValue);

// Reads a value of an INI text: the first section named `section` and in it
// the first key named `key` (both compared ignoring case). The value is
// trimmed, its comment stripped and enclosing double quotes removed. Returns
// false when there is no such key.
bool ReadIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                  std::string& value);

// One line of a [MAP] section ("#define ID 12", "ID 12", "ID=12"): true with
// the ID and the number text when the line gives both.
bool ParseMapLine(std::string_view line, std::string& id, std::string& number);

// A [MAP] number: decimal or "0x" hexadecimal, a valid topic number (1 or
// more).
bool ParseMapNumber(std::string_view text, std::int32_t& number);

} // namespace helpproject
