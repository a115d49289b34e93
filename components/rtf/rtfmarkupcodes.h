#pragma once
// Markup codes typed into RTF text: "\{keyword...\}" in the RTF, a brace
// the person typed, a keyword, a value and the closing brace. One finder
// serves every reader of typed codes; the search says which rules apply.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "components/rtf/rtftokenizer.h"

namespace rtf {

struct MarkupCode {
    std::size_t start = 0;      // offset of "\{" in the RTF
    std::size_t end = 0;        // just after the closing brace (the line end when unclosed)
    bool closed = false;        // a closing brace ended it
    std::string keyword;        // the opening as typed (see MarkupSearch::keywordsAsWritten)
    std::string value;          // the typed text after the keyword up to the closing brace,
                                // unescaped ("\\" -> "\", "\'hh" -> byte); control words skipped
    std::size_t valueStart = 0; // offset in the RTF where the value begins
    std::size_t valueEnd = 0;   // offset of the closing brace (== end when unclosed)
    // Group braces of the RTF inside the code (formatting groups that start
    // or end in the middle of a typed code), in order. Whoever replaces the
    // code puts them back, or the document's groups would no longer match.
    // Raw RTF values count their braces as typed and leave this empty.
    std::string groupBraces;
    // Raw RTF values: a group brace of the RTF stood inside the value or
    // closed it, so the code and the document's groups overlap. Whoever turns
    // the value into RTF cannot keep both balanced and refuses the code.
    bool splitByGroup = false;
};

struct MarkupSearch {
    // Which codes count. With keywordsAsWritten off, the keyword is the
    // typed text up to and including "=" or the first space (or up to the
    // closing brace), and when this list is not empty only codes whose typed
    // text starts with one of these (ignoring case) are returned; the others
    // are looked into for codes. With keywordsAsWritten on, a code opens only
    // where one of these is written plainly right after "\{" (ignoring case,
    // the first that matches; formatting inside the keyword means no code),
    // and that is its keyword.
    std::vector<std::string> keywords;
    bool keywordsAsWritten = false;
    // A code does not span lines: an unclosed code ends at the line end.
    bool stopAtLineEnd = true;
    // "\{\{" is a typed double brace, never the start of a code.
    bool doubledBraceIsText = true;
    // Codes whose value is raw RTF typed as text ("\{rtf=\{\\b x\}\}"): its
    // escapes are undone and its braces counted on the result, so that a
    // brace escaped in the raw RTF does not count and the brace that balances
    // the opening one ends the code; "\'hh" stays as written, formatting is
    // left out. Matched on the keyword, ignoring case.
    std::vector<std::string> rawRtfKeywords = {"rtf="};
    // Codes that take no value ("keepn"): only formatting and spaces may
    // stand before their closing brace, else (or unclosed) they are no code.
    std::vector<std::string> valuelessKeywords;
    // "\tab" in a value is a typed tab; off, it is formatting and left out.
    bool tabIsText = true;
    LexerOptions lexing;
};

// Finds the markup codes in RTF text, left to right; the search resumes
// after each code found. Control words inside a code are skipped and do not
// count as part of the value; an escaped backslash before a brace ("\\{")
// does not open a code.
std::vector<MarkupCode> FindMarkupCodes(std::string_view rtf, const MarkupSearch& search = {});

} // namespace rtf
