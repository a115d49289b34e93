#pragma once
// Import of a WinHelp project: the help project file (.hpj) with its options
// and sections, every RTF topic file it lists, cut into topics at "\page"
// with the topic fields taken from the footnotes and the hotspots turned into
// markup codes, and the contents file (.cnt).
//
// The .hpj is read with the rules of INI files: section and key names
// compared without regard to case, the first match wins, and ";" starts a
// comment only at the start of a line or after a blank outside quotes, so
// that macro chains such as "A();B()" survive.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "helpproject/brindlewovenproject.h"

namespace helpproject {

// The progress and abort seam of a long import: the user interface shows the
// text and a gauge and sets the abort flag; batch runs and tests pass nothing.
class TImportProgress {
public:
    virtual ~TImportProgress() = default;
    // A new stage: `text` with the gauge at 0 of `maxValue`.
    virtual void Start(const std::string& /*text*/, int /*maxValue*/) {}
    // Moves the gauge (and lets pending events through).
    virtual void SetPosition(int /*value*/) {}
    // Polled between topics; true ends the import with EImportAborted.
    virtual bool AbortRequested() { return false; }
};

// The user stopped the import. Topics already added stay in the project.
class EImportAborted : public std::runtime_error {
public:
    EImportAborted() : std::runtime_error("Import aborted by user") {}
};

struct TWinHelpImportResult {
    int TopicsImported = 0;
    int PagesWithoutID = 0; // pages skipped because they have no "#" footnote
    // Problems that did not stop the import ("Error importing contents
    // file.\r..."); the caller shows them.
    TStringList Warnings;
};

// Reads the project `hpjFileName` (a path as the user gave it; Windows paths
// with drive letters and backslashes are resolved) into `project`. Throws
// EProjectError for a missing [FILES] section, an RTF file that is not RTF or
// is empty, EBrindlewoven for a topic that cannot be converted, EImportAborted
// when the user stopped it, and the platform's error for a file that cannot
// be read; topics added until then stay.
TWinHelpImportResult ImportWinHelpProject(TBrindlewovenProject& project,
                                          const std::string& hpjFileName,
                                          TImportProgress* progress = nullptr);

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

// A footnote of a topic: its mark, its cleaned text and where it stands
// (from the mark, or the group holding the mark, to the end of the footnote
// group).
struct TImportedFootnote {
    char Mark = 0;
    std::string Text;
    std::size_t Start = 0;
    std::size_t End = 0;
};

// Every footnote of a piece of RTF, in order. The text has "\'hh" escapes
// decoded, control words dropped, the repeated mark at its start left out
// (a leading group holding only the mark, as "{\footnote {\up #} ID}", or
// the mark followed by a blank, as "{\footnote # ID}") and blanks, control
// characters, backslashes and braces trimmed.
std::vector<TImportedFootnote> ExtractFootnotes(std::string_view rtf);

// The text of the first footnote with `mark`, or empty.
std::string ExtractFootnote(std::string_view rtf, char mark);

} // namespace helpproject
