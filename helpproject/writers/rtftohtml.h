#pragma once
// Topic rich text to HTML, shared by every HTML writer: small tag builders
// and RtfToHtml, which walks a topic's paragraphs and runs and writes each
// visible character with its own character and paragraph attributes, in
// paragraph form (P and UL elements) or line-break form (BR). The result is
// cached in the topic until its text changes.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "helpproject/brindlewoventopic.h"
#include "helpproject/build/exportprogress.h"
#include "platform/textutil.h"

namespace rtf {
class RtfDocument;
}
namespace components {
class IMessenger;
}

namespace helpproject {

class TBrindlewovenProject;

using TColorValue = std::uint32_t; // 0x00BBGGRR; above 0xFFFFFF a system colour

enum THtmlStyle : unsigned {
    htmlBold = 1,
    htmlItalic = 2,
    htmlUnderline = 4,
    htmlStrikeOut = 8,
};

using platform::HtmlEscape;
std::string HtmlColor(TColorValue color);
std::string HtmlBodyTag(const TBrindlewovenProject& project);
int HtmlFontSize(const TBrindlewovenProject& project, int pointSize);
std::string HtmlFontTag(const TBrindlewovenProject& project, const std::string& face,
                        TColorValue color, int size);
std::string HtmlStyleOpenTags(unsigned styles);
std::string HtmlStyleCloseTags(unsigned styles);
// The META tag naming the project locale's ANSI code page, windows-1252
// (the program's own) when the locale is not given or has no ANSI code
// page.
std::string HtmlCharsetMeta(const TBrindlewovenProject& project);
void InsertPopupScript(const TBrindlewovenProject& project, TStringList& page);
// Drops every empty FONT element ("<FONT ...></FONT>"), in one pass.
std::string RemoveEmptyFontTags(const TBrindlewovenProject& project, const std::string& html);

// Receives each line of HTML as the conversion finishes it; it may take the
// text away.
using THtmlLineSink = std::function<void(std::string& line)>;

// Converts a document read from RTF as RtfToHtml converts a topic's text,
// handing each line to `output` as soon as it is finished (no cache, no
// list of lines).
void RtfDocumentToHtml(const TBrindlewovenProject& project, const rtf::RtfDocument& document,
                       bool paragraphForm, const THtmlLineSink& output);

// Converts the topic (or reuses its cache for the form) and appends the
// lines to `output`. The first "{keepn}" code, where the non-scrolling
// region ends, becomes a rule ("<HR>") after the paragraph that holds it
// (inside a list item), its tags closed first: text after the code goes on
// in a paragraph of the same format. Later codes stay text.
void RtfToHtml(const TBrindlewovenProject& project, const TBrindlewovenTopic& topic,
               TStringList& output, bool paragraphForm);

} // namespace helpproject
