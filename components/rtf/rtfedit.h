#pragma once
// Edits of RTF text at token level. Whatever an edit does not touch is copied
// byte for byte, so topic text keeps its exact form (line breaks, spacing,
// pictures, unknown control words) through any number of edits.
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/rtf/rtftokenizer.h"

namespace rtf {

// Removes every control word `name` (with any parameter, or only with
// `param` when given), together with its delimiting space.
std::string RemoveControlWord(std::string_view rtf, std::string_view name,
                              std::optional<int> param = std::nullopt);

// Replaces every control word `name` by `replacement` (a control word name);
// the parameter, when the old word had one, is kept.
std::string ReplaceControlWord(std::string_view rtf, std::string_view name,
                               std::string_view replacement);

// Removes every group whose first control word (after an optional "\*") is
// `name`, e.g. "pntext", "fldinst", "generator".
std::string RemoveDestination(std::string_view rtf, std::string_view name);

// A markup code typed in the text: "\{keyword...\}" in the RTF.
struct MarkupCode {
    std::size_t start = 0;      // offset of "\{" in the RTF
    std::size_t end = 0;        // offset just after "\}" (or the end of the line when unclosed)
    bool closed = false;        // a "\}" ended it
    std::string keyword;        // the opening as typed up to and including "=" or the
                                // first space ("linkID=", "button "), or up to "}" ("keepn")
    std::string value;          // the typed text after the keyword up to the closing brace,
                                // unescaped ("\\" -> "\", "\'hh" -> byte); control words skipped
    std::size_t valueStart = 0; // offset in the RTF where the value begins
    std::size_t valueEnd = 0;   // offset of the closing "\}" (== end when unclosed)
};

struct MarkupSearch {
    // When not empty, only codes whose keyword starts with one of these
    // (compared without regard to case) are returned.
    std::vector<std::string> keywords;
    // A code does not span lines: an unclosed code ends at the line end.
    bool stopAtLineEnd = true;
    // "\{\{" is a typed double brace, never the start of a code.
    bool doubledBraceIsText = true;
    // Codes whose value may hold typed braces of its own: inside them "\{"
    // and "\}" are counted, and the "\}" that balances the opening ends it.
    std::vector<std::string> nestingKeywords = {"rtf="};
};

// Finds the markup codes in RTF text, left to right. Control words inside a
// code (formatting changed in the middle of a typed code) are skipped and do
// not count as part of the value; literal "\\{" (an escaped backslash before
// a brace) does not open a code.
std::vector<MarkupCode> FindMarkupCodes(std::string_view rtf, const MarkupSearch& search = {});

// One group seen by RewriteGroups.
struct GroupView {
    std::string_view raw;          // from "{" to its matching "}" (to the end when unclosed)
    std::size_t offset = 0;        // of "{" in the source
    std::string_view destination;  // first control word after "{" (and an optional "\*")
    bool starred = false;          // "{\*\..."
    int depth = 0;                 // 1 for a group directly in the document group
    std::span<const Token> tokens; // the group's tokens, "{" and "}" included
    // The group's plain text: text and "\'hh" bytes, "\~" as 0xA0, "\tab" as
    // a tab, escaped braces and backslashes; control words dropped.
    std::string Text() const;
};

// Walks every group (outermost first). The callback returns the replacement
// bytes for a group, or nullopt to keep it and look at the groups inside it.
// Used by the import to turn hidden "{\v ...}" groups into markup codes.
std::string RewriteGroups(std::string_view rtf,
                          const std::function<std::optional<std::string>(const GroupView&)>& fn);

// A footnote of a WinHelp topic: a mark ("#", "$", "K", ...) followed within
// a few tokens by a "{\footnote ...}" group.
struct Footnote {
    char mark = 0;
    std::string text;      // the footnote's text, trimmed of blanks, braces and backslashes
    std::size_t start = 0; // offset of the mark (or of its group, "{\up #}")
    std::size_t end = 0;   // just after the footnote group
};

// The footnotes of a piece of RTF, in order. The footnote's own mark inside
// the group ("{\footnote {\up #} text}" or "{\footnote # text}") is dropped.
std::vector<Footnote> FindFootnotes(std::string_view rtf);

// Splits RTF at every "\page" control word (never at "\pagebb" or other
// words that start with "page"). A "\page" standing alone in its group
// ("{\page}") splits around the whole group. The pieces hold everything in
// between, "\page" excluded; with no "\page" there is one piece.
std::vector<std::string_view> SplitAtPage(std::string_view rtf);

// Offset of the "}" that closes the group opening at `groupStart` ("{"),
// counted on tokens, or npos when it is not closed.
std::size_t MatchingBrace(std::string_view rtf, std::size_t groupStart);

} // namespace rtf
