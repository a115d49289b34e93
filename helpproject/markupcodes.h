#pragma once
// The markup codes typed into topic text ("{linkID=12}", "{button Go,12}",
// "{bmc logo.bmp}", ...) and their translation for the WinHelp topic file.
//
// Topic text is stored as RTF, so a typed brace is escaped there: a code
// begins with "\{" and its keyword and ends with the next "\}" of the same
// line. Keywords are matched without regard to case. Control words inside a
// code (formatting changed in the middle of a typed code) are not part of its
// value. Every reader of topic text (writers, importer, speller, renumbering)
// uses this one vocabulary.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "helpproject/brindlewoventopic.h"

namespace helpproject {

class TBrindlewovenProject;

enum class TMarkupKind : std::uint8_t {
    LinkID,     // "{linkID=" [%|*] number [>window]
    Link,       // "{link=" WinHelp target (context[@file][>window]) or !macro
    LinkTarget, // "{linkTarget=" as Link, to a "{target=" of this project
    LinkFile,   // "{linkFile=" [%|*] file
    LinkDelphi, // "{linkDelphi=" keyword of the development system's library help
    Button,     // "{button " caption "," topic number or macro
    Target,     // "{target=" name
    Bitmap,     // "{bmc ", "{bml ", "{bmr " and "{bmct ", "{bmlt ", "{bmrt " + image file
    Keepn,      // "{keepn}"
    Flash,      // "{flash=" movie file and size
    Rtf,        // "{rtf=" raw RTF
    Html,       // "{html=" raw HTML
};

// A code's opening as written in the documentation (without the brace), for
// the given kind; bitmaps give "bmc ".
std::string_view MarkupOpening(TMarkupKind kind);

// One code found in a line of stored RTF.
struct TMarkupCode {
    TMarkupKind Kind = TMarkupKind::LinkID;
    std::size_t Start = 0;      // offset of "\{"
    std::size_t ValueStart = 0; // just after the opening ("\{linkID=")
    std::size_t CloseStart = 0; // offset of the closing "\}"; the line end when unclosed
    std::size_t End = 0;        // just after the closing "\}"; the line end when unclosed
    bool Closed = false;
    std::string Keyword; // the opening as typed, without "\{" ("LinkID=", "bmct ", "keepn")
    // The typed value: escapes undone ("\\" is one backslash, "\'e9" one
    // byte), control words and RTF group braces left out.
    std::string Value;
    // Group braces of the RTF that fall inside the code (formatting groups
    // that start or end in the middle of a typed code). Whoever replaces the
    // code puts them back, or the document's groups would no longer match.
    std::string GroupBraces;
    // "{rtf=": a group brace of the RTF stood inside the raw value or closed
    // it (formatting changed in the middle of the code, or the code left open
    // up to the brace that ends the topic).
    bool SplitByGroup = false;
    // Bitmaps: 'c', 'l' or 'r', and whether the transparent form was used.
    char BitmapAlign = 0;
    bool Transparent = false;
};

// The code that begins at `pos` (which must be the "\" of "\{"), if any.
std::optional<TMarkupCode> MarkupCodeAt(std::string_view line, std::size_t pos);
// Every code of a line, left to right; the search resumes after each code.
// An escaped backslash before a brace ("\\{") never opens a code.
std::vector<TMarkupCode> ScanMarkupCodes(std::string_view line);
// Every code of a topic's text of many lines, as the flat RTF manual reads
// it: an unclosed code ends at the end of its line, and a typed double
// brace ("\{\{") is a brace of the text that never opens a code.
std::vector<TMarkupCode> ScanTopicMarkupCodes(std::string_view text);

// The raw RTF that an "{rtf=" code of `text` stands for, with a blank after
// it when it ends in a control word that the text after the code would run
// into. Throws EBrindlewoven (UnbalancedRtfCodeMessage, naming
// `topicNumber`) for a code that stays open or that a group brace of the
// RTF splits: either way the output's groups would no longer match.
std::string RawRtfOfCode(std::string_view text, const TMarkupCode& code, std::int32_t topicNumber);

// The parts of a "{linkID=" value. Number holds the digits as written
// (empty when there were none); Window is ">" and the window name, or empty.
struct TLinkIDValue {
    char Prefix = 0; // '%', '*' or 0
    std::string Number;
    std::string Window;
};
TLinkIDValue ParseLinkIDValue(std::string_view value);

// The parts of a "{linkFile=" value.
struct TLinkFileValue {
    char Prefix = 0;
    std::string File;
};
TLinkFileValue ParseLinkFileValue(std::string_view value);

// The parts of a "{button " value: the caption before the first comma and
// the action after it, trimmed. HasComma is false for a code without one.
struct TButtonValue {
    std::string Caption;
    std::string Action;
    bool HasComma = false;
};
TButtonValue ParseButtonValue(std::string_view value);

// The name of a "{target=" code: its value without spaces.
std::string TargetName(std::string_view value);

// A whole decimal topic number ("12", "0012"); false for anything else,
// including numbers too large for a topic.
bool ParseTopicNumber(std::string_view text, std::int32_t& number);

// ---- WinHelp translation ----------------------------------------------------

// Translates the codes of one topic's text (already remapped to the merged
// font and colour tables) into what the WinHelp compilers read: links become
// hidden jump text by context string, targets footnotes, "{rtf=" raw RTF,
// "{keepn}" the non-scrolling region; "{html=" and "{flash=" disappear;
// bitmaps and buttons stay for the compiler. Throws EBrindlewoven naming
// `topicNumber` for a link or button to a missing topic and for an "{rtf="
// code whose braces do not balance.
void TranslateMarkupForWinHelp(TStringList& lines, const TBrindlewovenProject& project,
                               std::int32_t topicNumber);

// One line of the above, without the "{keepn}" region (which needs the
// whole topic). `hadKeepn` is set when the line held a "{keepn}" code, which
// is removed.
std::string TranslateMarkupLineForWinHelp(std::string_view line,
                                          const TBrindlewovenProject& project,
                                          std::int32_t topicNumber, bool* hadKeepn = nullptr);

// Removes every "{html=" and "{flash=" code of a line (output that has no
// use for them: WinHelp and the RTF manual).
std::string RemoveHtmlAndFlashCodes(std::string_view line);

// The messages of the translation.
std::string LinkToMissingTopicMessage(std::int32_t topicNumber, std::string_view linkNumber);
std::string ButtonToMissingTopicMessage(std::int32_t topicNumber, std::string_view action);
std::string UnbalancedRtfCodeMessage(std::int32_t topicNumber);

} // namespace helpproject
