#pragma once
// What a run of tokens says beyond each single token: which brace closes
// which group, what a group is (its destination) and the plain text the
// tokens stand for. The token edits, the footnote and markup-code finders
// and the WinHelp import all read token runs through these.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/rtf/rtftokenizer.h"

namespace rtf {

// Every token of `rtf`. When nesting is refused, the rest of the text is one
// more text token, so that copying every token gives the input back.
std::vector<Token> TokenizeAll(std::string_view rtf, LexerOptions options = {});

// For each GroupStart token, the index of its GroupEnd (tokens.size() when
// unclosed); the other entries are unused.
std::vector<std::size_t> MatchGroups(const std::vector<Token>& tokens);

// For each GroupEnd token, the index of its GroupStart (tokens.size() when
// it closes nothing); the other entries are unused.
std::vector<std::size_t> OpeningGroups(const std::vector<Token>& tokens,
                                       const std::vector<std::size_t>& match);

// The destination of a group (`group` starts at its "{"): its first control
// word, after line breaks and one "\*" (then `starred` is set); empty when
// the group starts with anything else.
std::string_view GroupDestination(std::span<const Token> group, bool& starred);
// The same for the group that opens at token `i`.
std::string_view DestinationAt(const std::vector<Token>& tokens, std::size_t i, bool& starred);

// What a reader of a document's text makes of the group that destination
// `word` opens ("{\word", or starred "{\*\word"), as the document parser
// reads it: text like any other group's (an unknown word, a field and its
// result); nothing of the text (font and colour tables, the style sheet,
// document information, bookmarks, index entries, field instructions, the
// numbers a list writes out, an unknown starred destination ...); or one
// object that stands in the text (a picture, an embedded object, a shape,
// a footnote).
enum class DestinationText : std::uint8_t { Text, None, Object };
DestinationText TextOfDestination(std::string_view word, bool starred);

// Appends the plain text a token stands for: text, the byte of "\'hh", "\~"
// as 0xA0, "\_" as "-", escaped braces and backslashes, and "\tab" as a tab
// unless `tabIsText` is off; other control words and symbols add nothing.
void AppendTokenText(std::string& out, const Token& token, bool tabIsText = true);

// The Windows-1252 character a control word names ("\lquote" 0x91,
// "\rquote" 0x92, "\ldblquote" 0x93, "\rdblquote" 0x94, "\bullet" 0x95,
// "\endash" 0x96, "\emdash" 0x97), or 0 for any other word.
char NamedCharacter(std::string_view word);

// The plain text of a run of tokens as a reader of RTF sees it, fed token by
// token in order: what AppendTokenText gives, the characters NamedCharacter
// gives, and "\uN" as its Windows-1252 character ("?" when it has none)
// with the "\ucN" fallback that follows it skipped.
class PlainTextReader {
public:
    explicit PlainTextReader(bool tabIsText = true) : tabIsText_(tabIsText) {}
    void Append(std::string& out, const Token& token);

private:
    // Whether the token is a fallback character of the last "\u" (then it
    // is dropped).
    bool Skipped(const Token& token);

    bool tabIsText_;
    std::vector<int> uc_{1}; // "\ucN" of each open group
    int skip_ = 0;           // fallback characters still to drop
    bool pendingHigh_ = false;
};

// The plain text of tokens [from, to), read by a PlainTextReader.
std::string TokensText(const std::vector<Token>& tokens, std::size_t from, std::size_t to);

} // namespace rtf
