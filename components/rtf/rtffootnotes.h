#pragma once
// The footnotes of WinHelp topic text: a mark ("#", "$", "K", ...) standing
// a few tokens before a "{\footnote ...}" group, as WinHelp authoring tools
// write them. The import takes every topic field from them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rtf {

struct Footnote {
    char mark = 0;         // 0 when no mark stands before the group
    std::string text;      // the footnote's text, cleaned as FindFootnotes says
    std::size_t start = 0; // offset of the mark, of the group holding it ("{\up #}"), or
                           // of the footnote group when there is no mark
    std::size_t end = 0;   // just after the footnote group (the end when unclosed)
};

// Every footnote of a piece of RTF, in order. The mark is the last
// character of the text just before the group ("#{\footnote"), or a group
// of its own holding only that character ("{\up #}{\footnote"); control
// words and line breaks in between are passed over, up to eight tokens.
// The text is read as PlainTextReader reads it ("\'hh" escapes, "\lquote"
// and its kin and "\uN" become their characters, other control words are
// dropped); groups starred or holding another footnote are left out; the
// mark repeated at its start is dropped, as a leading group holding only
// the mark ("{\footnote {\up #} ID}") or as the mark and a blank
// ("{\footnote # ID}"), so that a keyword starting with its own mark letter
// keeps it; blanks, control characters and braces are trimmed from both
// ends, backslashes from its start.
std::vector<Footnote> FindFootnotes(std::string_view rtf);

// The text of the first footnote with `mark`, or empty.
std::string FindFootnote(std::string_view rtf, char mark);

} // namespace rtf
