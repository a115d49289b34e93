#pragma once
// One page of a WinHelp topic file (the RTF between two "\page" words) as
// an imported topic: its fields from the footnotes and its body.
#include <string>
#include <string_view>

#include "components/rtf/rtfheader.h"
#include "helpproject/brindlewoventopic.h"

namespace helpproject {

struct TImportedPage {
    // A page without a "#" footnote is no topic.
    bool HasID = false;
    // "#" (the first), "$", "K", "A", "B", "+", "*", ">" and "!": keywords of
    // several footnotes of one kind are joined with ";", other fields take
    // the first footnote. The entry macro's typographic quotes become the
    // macro language's (MacroWithPlainQuotes).
    std::string ID, Title, KKeywords, AKeywords, BKeywords, BrowseSequence, BuildTag, Window,
        EntryMacro;
    // The names of further "#" footnotes, which the body holds as target codes.
    TStringList Targets;
    // The topic body: the field footnotes taken out (an "@" comment too),
    // further "#" footnotes turned into "\{Target=...\}" codes, "\keepn"
    // replaced by the "\{keepn\}" code at the end of the non-scrolling
    // region (the leading run of keep-with-next paragraphs; the word is
    // dropped from later ones), braces balanced and the last paragraph
    // closed with "\r\n\par }" (or "\r\n}" when it holds no text).
    std::string Body;
};

// Reads one page. The page's RTF must not nest deeper than the RTF engine
// allows (the import checks the whole file first).
TImportedPage ReadImportedPage(std::string_view page);

// The header every imported topic's RTF starts with: the document's default
// font, font table (a default one when it has none), colour table and style
// sheet, on one line.
std::string ImportedTopicHeader(const rtf::RtfHeader& header);

} // namespace helpproject
