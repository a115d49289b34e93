// One page of a topic file as Word writes it: where the non-scrolling region
// ends, and how hotspots become codes however their format was set.
#include <gtest/gtest.h>

#include <string>

#include "helpproject/import/hotspotconversion.h"
#include "helpproject/import/importedpage.h"

using namespace helpproject;

namespace {

// The region is the leading run of keep-with-next paragraphs; a heading
// further down that Word also keeps with its next paragraph neither moves
// the marker nor keeps its word.
TEST(WinHelpImportPages, NonScrollingRegionIsTheLeadingKeepnRun) {
    const std::string footnotes = "#{\\footnote id}${\\footnote Title}";
    struct Case {
        const char* name;
        std::string page;
        std::string bodyHas; // empty: no marker at all
    };
    const Case cases[] = {
        {"one heading", footnotes + "\\pard\\keepn\\b Title\\b0\\par\r\n\\pard Text.\\par\r\n",
         "\\b Title\\b0 \\{keepn\\}\\par"},
        {"two leading paragraphs, then a heading further down",
         footnotes +
             "\\pard\\plain\\s1\\keepn Title\\par\r\n\\pard\\plain\\s3\\keepn How To\\par\r\n"
             "\\pard\\plain Text.\\par\r\n\\pard\\plain\\s3\\keepn Commands\\par\r\n"
             "\\pard\\plain More.\\par\r\n",
         "How To \\{keepn\\}\\par"},
        {"the footnotes in a paragraph of their own before the heading",
         "\\pard " + footnotes + "\\par\r\n\\pard\\keepn Title\\par\r\n\\pard Text.\\par\r\n",
         "Title \\{keepn\\}\\par"},
        {"only a heading further down",
         footnotes + "\\pard Text.\\par\r\n\\pard\\keepn Later\\par\r\n"
                     "\\pard More.\\par\r\n",
         ""},
        {"every paragraph keeps with the next",
         footnotes + "\\pard\\keepn One\\par\r\n\\pard\\keepn Two\\par\r\n",
         "Two \\{keepn\\}\\par"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TImportedPage page = ReadImportedPage(c.page);
        EXPECT_EQ(page.Body.find("\\keepn"), std::string::npos) << page.Body;
        if (c.bodyHas.empty()) {
            EXPECT_EQ(page.Body.find("\\{keepn\\}"), std::string::npos) << page.Body;
            continue;
        }
        const std::size_t at = page.Body.find(c.bodyHas);
        EXPECT_NE(at, std::string::npos) << page.Body;
        EXPECT_EQ(page.Body.find("\\{keepn\\}", at + c.bodyHas.size()), std::string::npos)
            << page.Body;
    }
}

// Word sets a jump's double underline (or a popup's underline, or a strike)
// for the paragraph or with a word before the text as often as with a group
// around it: the code then leaves the format, so that the hotspot's text
// ends where the code starts. The hidden target is a group, a run or a
// style's text, and Word splits it where it splits runs.
TEST(WinHelpImportPages, HotspotsBecomeCodesHoweverTheirFormatWasSet) {
    TLinkLookup lookup;
    lookup.ids = {{"idh_editmenu", 30}, {"gloss", 40}, {"idh_file_menu", 20}};
    struct Case {
        const char* name;
        const char* rtf;
        const char* converted;
    };
    const Case cases[] = {
        {"a group around the text", "{\\uldb Edit Menu}{\\v IDH_EDITMENU}",
         "{\\strike Edit Menu}\\{linkID=30\\}"},
        {"the paragraph's format",
         "\\pard\\plain\\s4\\uldb\\f0 {Edit Menu}{\\v\\ulnone IDH_EDITMENU}\\par",
         "\\pard\\plain\\s4\\strike\\f0 {Edit Menu}{\\strike0 \\{linkID=30\\}}\\par"},
        {"a word before the text, ended before the code",
         "\\uldb Edit Menu\\uldb0 {\\v IDH_EDITMENU} more",
         "\\strike Edit Menu\\strike0 \\{linkID=30\\} more"},
        {"a popup's underline for the paragraph",
         "\\pard\\ul {Glossary}{\\v gloss}{\\ulnone  rest}\\par",
         "\\pard\\ul {Glossary}{\\ulnone \\{linkID=40\\}}{\\ulnone  rest}\\par"},
        {"a strike set for a group that holds the code too", "{\\strike Jump{\\v IDH_EDITMENU}}",
         "{\\strike Jump{\\strike0 \\{linkID=30\\}}}"},
        {"a plain reset before the code", "\\uldb Edit\\plain {\\v IDH_EDITMENU}",
         "\\strike Edit\\plain \\{linkID=30\\}"},
        {"an underline of another kind", "\\ulw Pop{\\v gloss}",
         "\\ulw Pop{\\ulnone \\{linkID=40\\}}"},
        {"a macro with typographic quotes",
         "{\\uldb Run}{\\v !JI(`menu.hlp\\rquote ,\\lquote file_menu\\rquote )}",
         "{\\strike Run}\\{link=!JI(`menu.hlp',`file_menu')\\}"},
        {"a macro in double quotes", "{\\uldb Run}{\\v %!CBB(\\ldblquote b\\rdblquote ,x)}",
         "{\\strike Run}\\{link=%!CBB(\"b\",x)\\}"},
        // Hidden text as a run: the code leaves the hidden format too.
        {"a hidden run after a jump set by words",
         "\\uldb Edit Menu\\uldb0 \\v IDH_EDITMENU\\v0 more",
         "\\strike Edit Menu\\strike0 \\v {\\v0 \\{linkID=30\\}}\\v0 more"},
        {"a strike and a hidden run", "\\strike Go\\strike0\\v gloss\\v0.",
         "\\strike Go\\strike0\\v {\\v0 \\{linkID=40\\}}\\v0."},
        {"a hidden run that a plain reset ends, the jump still on",
         "\\uldb Edit\\v IDH_EDITMENU\\plain  more",
         "\\strike Edit\\v {\\v0\\strike0 \\{linkID=30\\}}\\plain  more"},
        {"a character style that hides",
         "{\\stylesheet{\\*\\cs17 \\additive \\v\\cf2 Hidden;}}{\\uldb Edit}{\\cs17 IDH_EDITMENU}.",
         "{\\stylesheet{\\*\\cs17 \\additive \\v\\cf2 Hidden;}}{\\strike Edit}\\{linkID=30\\}."},
        // One target that Word split into several runs is one code.
        {"split at revisions",
         "{\\uldb Edit}{\\v\\insrsid1 IDH_}{\\v\\insrsid2 EDIT}\r\n{\\v\\insrsid3 MENU} more",
         "{\\strike Edit}\\{linkID=30\\}\r\n more"},
        {"a run that a font change interrupts", "{\\uldb Edit}\\v IDH_\\f1 EDIT\\f0 MENU\\v0 .",
         "{\\strike Edit}\\v {\\v0 \\{linkID=30\\}}\\f1 \\f0 \\v0 ."},
        {"a bookmark inside the target", "{\\uldb Edit}{\\v IDH_{\\*\\bkmkstart x}EDITMENU}",
         "{\\strike Edit}{\\v {\\v0 \\{linkID=30\\}}{\\*\\bkmkstart x}}"},
        {"a picture between two targets",
         "{\\uldb Edit}{\\v IDH_EDITMENU}{\\pict\\wmetafile8 0102}{\\v gloss}",
         "{\\strike Edit}\\{linkID=30\\}{\\pict\\wmetafile8 0102}\\{linkID=40\\}"},
        {"a prefix and a window in parts", "{\\ul Pop}{\\v %IDH_}{\\v EDITMENU>main}",
         "{\\ul Pop}\\{linkID=%30>main\\}"},
        {"a target in another file, as a run", "{\\uldb Other}\\v topic@other.hlp\\v0 ",
         "{\\strike Other}\\v {\\v0 \\{link=topic@other.hlp\\}}\\v0 "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertHotspots(c.rtf, lookup), c.converted) << c.name;
}

// Word breaks the lines of its tables anywhere, also right after a control
// word: the header every topic starts with is one line that keeps the word
// apart from the text after it.
TEST(WinHelpImportPages, TopicHeaderOnOneLineKeepsItsWords) {
    const std::string document =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\r\nTimes New Roman;}}\r\n"
        "{\\stylesheet{\\*\\cs10 \\additive\r\nDefault Paragraph Font;}}\r\n"
        "\\pard text\\par}";
    EXPECT_EQ(ImportedTopicHeader(rtf::ReadHeader(document)),
              "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}"
              "{\\stylesheet{\\*\\cs10 \\additive Default Paragraph Font;}}");
}

TEST(WinHelpImportPages, MacroQuotes) {
    EXPECT_EQ(MacroWithPlainQuotes("CBB(\x93"
                                   "d3\x94,\x93JI(`a.hlp\x92,\x91"
                                   "b\x92)\x94)"),
              "CBB(\"d3\",\"JI(`a.hlp',`b')\")");
    EXPECT_EQ(MacroWithPlainQuotes("JumpID(`',`x')"), "JumpID(`',`x')");
}

} // namespace
