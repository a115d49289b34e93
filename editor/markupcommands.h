#pragma once
// What the markup commands type into a topic: each code, where it goes and
// how it and its hotspot are coloured. Codes are ordinary text in maroon;
// a jump hotspot is green and struck out, a popup hotspot green and
// underlined. The commands work on the editor's selection.
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "editor/texteditor.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/textstylemacro.h"

namespace editor {

// How the hotspot text in front of a link looks.
enum class THotspotKind : std::uint8_t {
    Jump,  // strike-out on, underline off
    Popup, // underline on, strike-out off
};

// Text of the author's that goes into a code must neither end the code
// early nor open another: the codes have no escape, so "{" and "}" are
// refused wherever they would stand. A double quote is refused where the
// code, or what the writers make of it, puts the text between double
// quotes (an internet address, a linked file, another help file's topic).
enum class TCodeQuoting : std::uint8_t { Unquoted, Quoted };
// Why `text` cannot go into a code, naming it as `what` ("The address"), or
// empty when it can.
std::string CodeTextProblem(std::string_view what, std::string_view text,
                            TCodeQuoting quoting = TCodeQuoting::Unquoted);
// A command refused for that reason; the window shows its message.
class ECodeText : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// Throws ECodeText when `text` cannot go into a code.
void RequireCodeText(std::string_view what, std::string_view text,
                     TCodeQuoting quoting = TCodeQuoting::Unquoted);
// The same for a file whose name (without folder) goes into a code.
void RequireFileNameForCode(std::string_view fileName,
                            TCodeQuoting quoting = TCodeQuoting::Unquoted);

// The common insertion rule of every code: the caret goes to the end of the
// selection, the code is typed there and made maroon without underline or
// strike-out, the caret goes behind it and typing takes the text's own
// colour, underline and strike-out again (as they were at the caret).
// Returns where the code starts.
std::size_t InsertCode(ITextEditor& editor, std::string_view code);
// The same behind a hotspot: typing takes the look `text` that the text had
// before it became the hotspot.
std::size_t InsertCode(ITextEditor& editor, std::string_view code, const rtf::CharFormat& text);

// The selection becomes hotspot text of that kind; `green` also makes it
// green (links of the link dialog may keep their colour).
void FormatHotspot(ITextEditor& editor, THotspotKind kind, bool green = true);

// With nothing selected, types `text` at the caret and selects it, so that a
// link always has a hotspot.
void EnsureHotspotText(ITextEditor& editor, std::string_view text);

// "{linkID=" number ">" window "}" for a jump to a topic with a window,
// otherwise "{linkID=" number "}"; a popup never names a window. A window
// name that would break the code throws ECodeText.
std::string TopicLinkCode(const helpproject::TBrindlewovenTopic& target, THotspotKind kind);

// Link and Popup Link: the target's title is the hotspot when nothing is
// selected.
void InsertTopicLink(ITextEditor& editor, const helpproject::TBrindlewovenTopic& target,
                     THotspotKind kind);

// Internet Link: `text` replaces the selection and gets the internet-link
// style's font, struck out and not underlined; behind it the code that
// opens `address`; typing then takes the topic-text style's font. An
// address that would break the code throws ECodeText and nothing changes.
void InsertInternetLink(ITextEditor& editor, std::string_view text, std::string_view address,
                        const helpproject::TTextStyleMacro& internetLinkStyle,
                        const helpproject::TTextStyleMacro& topicTextStyle);
std::string InternetLinkCode(std::string_view address);

// Link to File: the file's name (without folder) is the hotspot when nothing
// is selected. Here and for movies and pictures, a name that would break
// the code throws ECodeText and nothing changes.
void InsertFileLink(ITextEditor& editor, std::string_view fileName);

// Flash movies are for HTML Help: the command is offered only while the
// project's compiler is HTML Help or none.
bool FlashAllowed(const helpproject::TBrindlewovenProject& project);
// "{flash=" name "}"; the movie's folder joins the project's bitmap paths.
void InsertFlash(ITextEditor& editor, helpproject::TBrindlewovenProject& project,
                 std::string_view fileName);

enum class TBitmapAlign : std::uint8_t { Character, Left, Right };
// "{bmc", "{bml" or "{bmr", "t" when transparent, a blank, the name and "}".
std::string BitmapCode(std::string_view fileName, TBitmapAlign align, bool transparent);
// The code; the picture's folder joins the project's bitmap paths.
void InsertBitmap(ITextEditor& editor, helpproject::TBrindlewovenProject& project,
                  std::string_view fileName, TBitmapAlign align, bool transparent);
// Appends the folder of `fileName` (without its trailing separator) to the
// ","-separated bitmap paths unless one of them is that folder ignoring case.
// True when it was added.
bool AddToBitmapPaths(helpproject::TBrindlewovenProject& project, std::string_view fileName);

// "{button " caption "," action "}".
std::string ButtonCode(std::string_view caption, std::string_view action);

// A target name keeps letters, digits and underscores (what a context
// string may hold); "{target=" name "}" is typed unless nothing is left.
std::string TargetName(std::string_view typed);
bool InsertTarget(ITextEditor& editor, std::string_view typedName);

void InsertKeepn(ITextEditor& editor);
// "{rtf=}" and "{html=}" with the caret inside, before the closing brace.
void InsertRtfCode(ITextEditor& editor);
void InsertHtmlCode(ITextEditor& editor);

// Follow Link: the code around the caret, when it links a topic number.
struct TFollowLink {
    std::int32_t Number = 0;
    std::string Caption; // "&Follow Link to #" + number
};
// A "}" within 15 characters after the caret, at a position above 10, with
// an "=" among the 10 characters before it: the text after the "=" (up to a
// ">") must be a decimal topic number, after an optional "%" or "*" prefix.
// nullopt when there is no such code: the item reads "&Follow Link" and is
// disabled.
std::optional<TFollowLink> FollowLinkAt(std::string_view text, std::size_t caret);

// Typing right behind a markup code is text again: it takes the colour,
// underline and strike-out of the text, not the code's maroon. `paragraph`
// is the caret's paragraph (without its end) and `caret` an offset in it;
// `sameLook(a, b)` tells whether two of its characters look alike (used to
// step back over a link's hotspot). None when the caret is not directly
// behind a code.
struct TTextLook {
    // The character whose look typing takes: the text before the code and
    // its hotspot, else the text after the caret; none: the plain look
    // (automatic colour, no underline, no strike-out).
    std::optional<std::size_t> From;
};
std::optional<TTextLook>
TextLookBehindCode(std::string_view paragraph, std::size_t caret,
                   const std::function<bool(std::size_t, std::size_t)>& sameLook);
inline constexpr std::string_view kFollowLinkCaption = "&Follow Link";

} // namespace editor
