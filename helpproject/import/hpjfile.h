#pragma once
// The help project file (.hpj) of a WinHelp project, read for what the
// import and other readers of WinHelp projects take from it: the [OPTIONS]
// keys, the [CONFIG], [BAGGAGE] and [WINDOWS] lines, the [FILES] list, the
// [MAP] of topic IDs to numbers (with the C headers it includes) and the
// [ALIAS] lines.
//
// It is read with the rules of INI files: section and key names compared
// without regard to case, the first match wins, and ";" starts a comment
// only at the start of a line or after a blank outside quotes, so that
// macro chains such as "A();B()" survive.
#include <cstdint>
#include <filesystem>
#include <functional>
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
    // Lower-cased topic ID -> number text as written; the first line wins,
    // and the lines of an included file count where the "#include" stands.
    std::unordered_map<std::string, std::string> Map;
    // [ALIAS] "A=B": topic ID A and the ID B it answers as, in file order,
    // and by lower-cased A (the first line of an ID wins).
    std::vector<std::pair<std::string, std::string>> AliasLines;
    std::unordered_map<std::string, std::string> Aliases;
    // What was left out without stopping the reading: [MAP] includes that
    // could not be read, each with its message.
    TStringList Warnings;

    // The value of an [OPTIONS] key (ignoring case; the first wins).
    std::optional<std::string> Option(std::string_view key) const;
    // Every value of a key that may be given more than once (ROOT, BMROOT),
    // in file order.
    std::vector<std::string> OptionValues(std::string_view key) const;
    // The [MAP] number of a topic ID (ignoring case) when it is a valid
    // topic number.
    std::optional<std::int32_t> MappedNumber(std::string_view id) const;
    // The ID an [ALIAS] line makes `id` answer as, followed through chains
    // of aliases (a loop ends where it closes); `id` itself when no line
    // names it.
    std::string AliasTarget(std::string_view id) const;
};

// The deepest nesting of "#include" in [MAP]: a header that includes
// itself ends there.
inline constexpr int kMaxMapIncludeDepth = 8;

// Reads a file that a [MAP] "#include" names: its text, or nullopt with the
// reason in `problem`.
using THpjIncludeReader =
    std::function<std::optional<std::string>(const std::string& name, std::string& problem)>;

// Reads .hpj text. "#include" lines of [MAP] are read through
// `readInclude` (without one, or when it gives nothing, they are noted in
// Warnings): their "#define NAME VALUE" and "NAME VALUE" lines become map
// lines, C comments skipped, nested includes followed to
// kMaxMapIncludeDepth.
THpjFile ParseHpj(std::string_view text, const THpjIncludeReader& readInclude = {});
// Reads a .hpj file (a regular file of at most kMaxHpjBytes); throws the
// platform's error when it cannot. Its [MAP] includes are looked for as
// HpjFileCandidates says, from the .hpj's folder first.
THpjFile ReadHpjFile(const std::filesystem::path& path);

// The ROOT folders of a project, in order: every ROOT line, each a list
// separated by "," or ";", relative ones taken from the .hpj's folder. A
// folder on a drive nobody mapped is left out.
std::vector<std::filesystem::path> HpjRootFolders(const THpjFile& hpj,
                                                  const std::filesystem::path& hpjFolder);

// Where a file that a project names may be, in the order to try: `name`
// taken from each of `folders`, then (a project moved from elsewhere) its
// bare name in the .hpj's folder; each path once.
std::vector<std::filesystem::path>
HpjFileCandidates(std::string_view name, const std::vector<std::filesystem::path>& folders,
                  const std::filesystem::path& hpjFolder);

// ---- the small routines, for the tests and for other readers of .hpj text ----

// The line without its comment, trimmed: ";" starts a comment at the start of
// the line or after a blank, outside "..." and `...' quotes.
std::string StripHpjComment(std::string_view line);

// An .hpj Boolean: True, Yes, On or 1 (any case) are true; False, No, Off or 0
// false; anything else gives `defaultValue`.
bool ReadHpjBoolean(std::string_view value, bool defaultValue);

// The COMPRESS option, whose value's first word counts ("12 Hall Zeck"):
// True, Yes, On, High, Medium or a number other than 0 ask for
// compression; False, No, Off or 0 for none; anything else gives
// `defaultValue`.
bool ReadHpjCompress(std::string_view value, bool defaultValue);

// Reads a value of an INI text: the first section named `section` and in it
// the first key named `key` (both compared ignoring case). The value is
// trimmed, its comment stripped and enclosing double quotes removed. Returns
// false when there is no such key.
bool ReadIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                  std::string& value);

// One line of a [MAP] section ("#define ID 12", "ID 12", "ID=12"): true with
// the ID and the number text when the line gives both.
bool ParseMapLine(std::string_view line, std::string& id, std::string& number);

// The file an "#include" line names ("#include <afxhelp.hm>", "#include
// \"app.hm\""), or nullopt when the line is no "#include".
std::optional<std::string> ParseIncludeLine(std::string_view line);

// A [MAP] number: decimal or "0x" hexadecimal, a valid topic number (1 or
// more).
bool ParseMapNumber(std::string_view text, std::int32_t& number);

} // namespace helpproject
