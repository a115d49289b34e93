#include "helpproject/writers/rtftohtml.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "components/rtf/rtfdocument.h"
#include "helpproject/brindlewovenproject.h"
#include "htmlcheck_support.h"

using helpproject::TStringList;

namespace {

const std::string kHeader = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                            "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green128\\blue0;}";
const std::string kFont = "<FONT FACE=\"Arial\" SIZE=\"3\">";
const std::string kP = "<P STYLE=\"margin-top:0;margin-bottom:0;\">";

TStringList Convert(const std::vector<std::string>& body, bool paragraphForm,
                    helpproject::TBrindlewovenTopic* reuse = nullptr) {
    helpproject::TBrindlewovenProject project;
    helpproject::TBrindlewovenTopic local(1, "t");
    helpproject::TBrindlewovenTopic& topic = reuse ? *reuse : local;
    if (!reuse || topic.HtmlParagraphCache.empty()) {
        TStringList lines = {kHeader};
        lines.insert(lines.end(), body.begin(), body.end());
        lines.push_back("}");
        topic.SetText(lines);
    }
    TStringList out;
    helpproject::RtfToHtml(project, topic, out, paragraphForm);
    return out;
}

TEST(HtmlTags, Builders) {
    helpproject::TBrindlewovenProject project;
    EXPECT_EQ(helpproject::HtmlEscape("a\"b&c<d>e'"), "a&quot;b&amp;c&lt;d&gt;e'");
    EXPECT_EQ(helpproject::HtmlColor(0xFF0000), "#0000FF");
    EXPECT_EQ(helpproject::HtmlColor(0x123456), "#563412");
    EXPECT_EQ(helpproject::HtmlBodyTag(project),
              "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" VLINK=\"#800080\" "
              "ALINK=\"#FF0000\">");
    EXPECT_EQ(helpproject::HtmlStyleOpenTags(helpproject::htmlBold | helpproject::htmlItalic |
                                             helpproject::htmlUnderline |
                                             helpproject::htmlStrikeOut),
              "<B><U><I><STRIKE>");
    EXPECT_EQ(helpproject::HtmlStyleCloseTags(helpproject::htmlBold | helpproject::htmlStrikeOut),
              "</STRIKE></B>");
    EXPECT_EQ(helpproject::HtmlFontTag(project, "Arial", 0x0000FF, 3),
              "<FONT FACE=\"Arial\" COLOR=\"#FF0000\" SIZE=\"3\">");
    EXPECT_EQ(helpproject::HtmlFontTag(project, "Arial", 0xFF000008, 2),
              "<FONT FACE=\"Arial\" SIZE=\"2\">");
    project.HtmlFontSubstitutes = {"MS Sans Serif=Verdana", "Empty="};
    EXPECT_EQ(helpproject::HtmlFontTag(project, "ms sans serif", 0xFF000008, 2),
              "<FONT FACE=\"Verdana\" SIZE=\"2\">");
    EXPECT_EQ(helpproject::HtmlFontTag(project, "Empty", 0xFF000008, 2),
              "<FONT FACE=\"Empty\" SIZE=\"2\">");
    // The list is the project's: another project writes its faces as they are.
    const helpproject::TBrindlewovenProject other;
    EXPECT_EQ(helpproject::HtmlFontTag(other, "MS Sans Serif", 0xFF000008, 2),
              "<FONT FACE=\"MS Sans Serif\" SIZE=\"2\">");
}

TEST(HtmlTags, FontSizesForBothScales) {
    helpproject::TBrindlewovenProject scaledProject;
    helpproject::TBrindlewovenProject plainProject;
    EXPECT_TRUE(scaledProject.HtmlScaleFontSizes); // what a project starts with
    plainProject.HtmlScaleFontSizes = false;
    const int points[] = {0, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 19, 20, 23, 24, -10};
    const int scaled[] = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 7, 3};
    const int plain[] = {1, 1, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 2};
    for (size_t i = 0; i < std::size(points); ++i) {
        EXPECT_EQ(helpproject::HtmlFontSize(scaledProject, points[i]), scaled[i]) << points[i];
        EXPECT_EQ(helpproject::HtmlFontSize(plainProject, points[i]), plain[i]) << points[i];
    }
}

TEST(HtmlTags, CharsetMetaForEveryLocaleCode) {
    const std::string meta = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=";
    const struct {
        const char* locale;
        std::string tag;
    } cases[] = {
        {" 0x0409   English (U.S.) ", meta + "windows-1252\">"},
        {"0X0419", meta + "windows-1251\">"},
        {"0x411", meta + "windows-932\">"},
        // Locales without an ANSI code page, and no locale code: the code
        // page the program keeps its text in, never none or 0.
        {"0x0439   Hindi", meta + "windows-1252\">"},
        {"0xFFFF", meta + "windows-1252\">"},
        {"409", meta + "windows-1252\">"},
        {"0x40", meta + "windows-1252\">"},
        {"", meta + "windows-1252\">"},
        {"x0409", meta + "windows-1252\">"},
        {"0xZZZZ", meta + "windows-1252\">"},
    };
    helpproject::TBrindlewovenProject project;
    for (const auto& c : cases) {
        project.LocaleID = c.locale;
        EXPECT_EQ(helpproject::HtmlCharsetMeta(project), c.tag) << c.locale;
    }
}

TEST(HtmlTags, PopupScriptAndEmptyFontRemoval) {
    helpproject::TBrindlewovenProject project;
    TStringList page = {"<HTML>", "<HEAD>", "</head>", "<BODY>"};
    helpproject::InsertPopupScript(project, page);
    EXPECT_EQ(page, (TStringList{"<HTML>", "<HEAD>", "<SCRIPT LANGUAGE=\"JavaScript\">",
                                 "function popuplink(url) {",
                                 "  window.open(url, 'bwpopup', "
                                 "'width=500,height=400,resizable,scrollbars');",
                                 "}", "</SCRIPT>", "</head>", "<BODY>"}));
    EXPECT_EQ(helpproject::RemoveEmptyFontTags(
                  project, "a<FONT FACE=\"x\"></FONT>b<font></font><FONT><FONT></FONT></FONT>c"),
              "ab<FONT></FONT>c");
}

TEST(RtfToHtml, ParagraphFormEdgeCases) {
    const TStringList out = Convert(
        {"\\pard\\f0\\fs20 two  blanks\\par", "\\par", "\\cf1 black \\cf2\\ul green\\ulnone\\par"},
        true);
    // The empty paragraph takes the font of the black text after it, colour
    // and all.
    EXPECT_EQ(out, (TStringList{
                       kP + kFont + "two&nbsp; blanks</FONT></P>",
                       kP + "<FONT FACE=\"Arial\" COLOR=\"#000000\" SIZE=\"3\">&nbsp;</FONT></P>",
                       kP + kFont + "black </FONT><U>" + kFont + "green",
                       "</FONT></U>",
                       "</P>",
                   }));
}

TEST(RtfToHtml, LineBreakFormAndCentring) {
    const TStringList out =
        Convert({"\\pard\\f0\\fs20 left\\par", "\\pard\\qc middle\\par", "\\pard end\\par"}, false);
    EXPECT_EQ(out, (TStringList{kFont + "left</FONT><BR>",
                                "<CENTER>" + kFont + "middle</FONT></CENTER><BR>", kFont + "end",
                                "</FONT>"}));
}

TEST(RtfToHtml, BulletsAndTheMiddleDot) {
    const std::string bullet = "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0}";
    const TStringList out = Convert({"\\pard" + bullet + "\\f0\\fs20 a\\'b7b\\par",
                                     bullet + "second\\par", "\\pard after\\par"},
                                    true);
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[0], "<UL STYLE=\"margin-top:0;margin-bottom:0;margin-left=0pt;\"><LI>" + kFont +
                          "a\xB7"
                          "b</FONT></LI>");
    EXPECT_EQ(out[1], "<LI>" + kFont + "second</FONT></LI></UL>");
    EXPECT_EQ(out[2], kP + kFont + "after");
    EXPECT_EQ(out[3], "</FONT>");
    EXPECT_EQ(out[4], "</P>");
}

// A middle dot is the bullet glyph, and left out, where it opens the text or
// follows a blank or a control character, in any paragraph.
TEST(RtfToHtml, MiddleDotLeftOutAfterBlanksAndControls) {
    const struct {
        const char* body;
        std::string first; // the first line, line-break form
    } cases[] = {
        {"\\'b7 first", kFont + " first"},
        {"a\\'b7"
         "b",
         kFont + "a\xB7"
                 "b"},
        {"a \\'b7 b", kFont + "a  b"},
        {"a\\tab\\'b7 b", kFont + "a  b"},
        {"a\\'b7\\'b7 b", kFont + "a\xB7\xB7 b"},
        {"\\'b7\\'b7", kFont + "\xB7"},
        {"x\\par \\'b7 y", kFont + "x</FONT><BR>"},
    };
    for (const auto& c : cases) {
        const TStringList out =
            Convert({std::string("\\pard\\f0\\fs20 ") + c.body + "\\par"}, false);
        ASSERT_FALSE(out.empty()) << c.body;
        EXPECT_EQ(out[0], c.first) << c.body;
    }
    const TStringList twoParagraphs = Convert({"\\pard\\f0\\fs20 x\\par \\'b7 y\\par"}, false);
    ASSERT_EQ(twoParagraphs.size(), 3u);
    EXPECT_EQ(twoParagraphs[1], kFont + " y");
}

// An empty paragraph keeps its height in the font of the character that
// follows its end: the next paragraph mark, or the next paragraph's text.
TEST(RtfToHtml, EmptyParagraphTakesTheFontThatFollowsIt) {
    const TStringList out = Convert(
        {"\\pard\\f0\\fs20 a\\par", "\\fs32\\par", "\\fs12\\par", "\\fs40\\b big\\par"}, true);
    const std::string size1 = "<FONT FACE=\"Arial\" SIZE=\"1\">";
    const std::string size7 = "<FONT FACE=\"Arial\" SIZE=\"7\">";
    EXPECT_EQ(out, (TStringList{
                       kP + kFont + "a</FONT></P>",
                       kP + size1 + "&nbsp;</FONT></P>",
                       kP + size7 + "&nbsp;</FONT></P>",
                       kP + size7 + "<B>big",
                       "</B></FONT>",
                       "</P>",
                   }));
}

// WinHelp's hotspot forms: a jump (double underline or strike-out) reaches
// HTML as STRIKE, a popup (any other underline) as U.
TEST(RtfToHtml, JumpAndPopupHotspotForms) {
    const struct {
        const char* on;
        const char* off;
        const char* open;
        const char* close;
    } cases[] = {
        {"\\uldb", "\\ulnone", "<STRIKE>", "</STRIKE>"},
        {"\\strike", "\\strike0", "<STRIKE>", "</STRIKE>"},
        {"\\striked1", "\\striked0", "<STRIKE>", "</STRIKE>"},
        {"\\strike\\uldb", "\\strike0\\ulnone", "<STRIKE>", "</STRIKE>"},
        {"\\ul", "\\ulnone", "<U>", "</U>"},
        {"\\ul", "\\ul0", "<U>", "</U>"},
        {"\\uld", "\\ulnone", "<U>", "</U>"},
        {"\\ulw", "\\ulnone", "<U>", "</U>"},
    };
    for (const auto& c : cases) {
        const std::string body =
            std::string("\\pard\\f0\\fs20 see ") + c.on + " hot" + c.off + "\\{linkID=2\\}\\par";
        for (bool paragraphForm : {false, true}) {
            const TStringList out = Convert({body}, paragraphForm);
            ASSERT_FALSE(out.empty()) << c.on;
            EXPECT_EQ(out[0], std::string(paragraphForm ? kP : "") + kFont + "see " + c.open +
                                  "hot" + c.close + "{linkID=2}")
                << c.on;
        }
    }
    // Hotspot green goes with either form; other colours stay. A hotspot
    // that opens with its font stands outside it.
    const TStringList green =
        Convert({"\\pard\\f0\\fs20\\cf2\\uldb jump\\ulnone\\cf0\\par"}, false);
    ASSERT_FALSE(green.empty());
    EXPECT_EQ(green[0], "<STRIKE>" + kFont + "jump");
}

std::string Joined(const TStringList& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// However styles and fonts overlap, each tag closes before the tags opened
// outside it: a parser finds the markup well formed.
TEST(RtfToHtml, TagsCloseInTheOrderTheyOpened) {
    const char* bodies[] = {
        // font and bold end together
        "\\fs40\\b Title\\b0\\fs20  text\\par",
        // styles that overlap
        "\\b bold \\i both\\b0  italic\\i0  plain\\par",
        "\\ul under \\b bold\\ulnone  still bold\\b0  plain\\par",
        // a hotspot whose text changes size, then its code in maroon
        "see \\cf2\\uldb li\\fs40 nk\\ulnone\\cf0\\fs20 \\{linkID=2\\}\\par",
        // tab spans around bold text
        "\\tx1000\\tx2000\\b Key\\tab Action\\b0\\tab plain\\par",
        // an empty paragraph between styled ones, the last one centred
        "\\b one\\par\\par\\pard\\qc\\i two\\par",
    };
    for (const char* body : bodies) {
        for (bool paragraphForm : {false, true}) {
            const std::string html =
                Joined(Convert({std::string("\\pard\\f0\\fs20 ") + body}, paragraphForm));
            EXPECT_EQ(helpproject::testing::HtmlBodyProblems(html), std::vector<std::string>{})
                << body << (paragraphForm ? " (paragraphs)\n" : " (line breaks)\n") << html;
        }
    }
    // The hotspot stays one, its size change inside it, for the link
    // translators to make one anchor of.
    for (bool paragraphForm : {false, true}) {
        const std::string html = Joined(Convert(
            {"\\pard\\f0\\fs20 see \\cf2\\uldb li\\fs40 nk\\ulnone\\cf0\\fs20 \\{linkID=2\\}\\par"},
            paragraphForm));
        EXPECT_EQ(Count(html, "<STRIKE>"), 1u) << html;
        const std::size_t open = html.find("<STRIKE>");
        const std::size_t close = html.find("</STRIKE>");
        ASSERT_NE(close, std::string::npos) << html;
        EXPECT_LT(open, html.find("li"));
        EXPECT_GT(close, html.find("nk"));
        EXPECT_LT(close, html.find("{linkID=2}"));
    }
}

// In either form a run of bulleted paragraphs is one list, each paragraph
// an item closed before the next.
TEST(RtfToHtml, BulletedParagraphsAreItemsOfOneList) {
    const std::string bullet = "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0}";
    const std::vector<std::string> body = {"\\pard\\f0\\fs20 before\\par",
                                           "\\pard" + bullet + "first\\par", bullet + "second\\par",
                                           "\\pard after\\par", "\\pard" + bullet + "last\\par"};
    EXPECT_EQ(Convert(body, false),
              (TStringList{kFont + "before</FONT>", "<UL><LI>" + kFont + "first</FONT></LI>",
                           "<LI>" + kFont + "second</FONT></LI></UL>", kFont + "after</FONT>",
                           "<UL><LI>" + kFont + "last", "</FONT>", "</LI></UL>"}));
    for (bool paragraphForm : {false, true}) {
        const std::string html = Joined(Convert(body, paragraphForm));
        EXPECT_EQ(helpproject::testing::HtmlBodyProblems(html), std::vector<std::string>{}) << html;
        EXPECT_EQ(Count(html, "<UL"), 2u) << html;
        EXPECT_EQ(Count(html, "<LI>"), 3u) << html;
        EXPECT_EQ(Count(html, "</LI>"), 3u) << html;
    }
}

TEST(RtfToHtml, TabSpansWithHangingIndent) {
    const TStringList out = Convert(
        {"\\pard\\li720\\fi-360\\tx1080\\tx2000\\f0\\fs20 one\\tab two\\tab three\\par"}, true);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0], "<P STYLE=\"margin-top:0;margin-bottom:0;text-indent=-18pt;"
                      "margin-left=36pt;\"><SPAN STYLE=\"margin-left=-18pt;text-indent=0pt;"
                      "width: 36pt\">" +
                          kFont +
                          "one  </FONT></span><SPAN STYLE=\"text-indent=0pt;width: 28pt\">" +
                          kFont + "two  </FONT></span>" + kFont + "three");
}

TEST(RtfToHtml, RawHtmlAndRtfOnlyCodes) {
    const TStringList out = Convert(
        {"\\pard\\f0\\fs20 a\\{html=<b>x&y</b>\\}b\\{rtf=gone \\{nested\\} still\\}c\\par"}, false);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0], kFont + "a<b>x&y</b>bc");
}

// The first keep-with-next code ends the non-scrolling region: a rule after
// the text it ends, outside that text's tags and (in paragraph form) its
// paragraph, so that pages stay well nested; text after the code goes on in
// its format. A second code stays text.
TEST(RtfToHtml, FirstKeepnBecomesARuleOutsideTheTextsTags) {
    const std::string bullet = "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0}";
    const std::vector<std::string> heading = {"\\pard\\f0\\fs20\\b How To \\{keepn\\}\\par",
                                              "\\pard\\b0 Text\\par"};
    const std::vector<std::string> within = {"\\pard\\f0\\fs20\\b Title\\{keepn\\} more\\par"};
    const std::vector<std::string> item = {"\\pard" + bullet + "\\f0\\fs20 one\\{keepn\\}\\par",
                                           bullet + "two\\par"};
    const std::string kB = kFont + "<B>";
    const struct {
        const char* name;
        std::vector<std::string> body;
        bool paragraphForm;
        TStringList html;
    } cases[] = {
        {"a heading",
         heading,
         true,
         {kP + kB + "How To </B></FONT></P><HR>", kP + kFont + "Text", "</FONT>", "</P>"}},
        {"a heading, line-break form",
         heading,
         false,
         {kB + "How To </B></FONT><HR>", kFont + "Text", "</FONT>"}},
        {"text after the code",
         within,
         true,
         {kP + kB + "Title</B></FONT></P><HR>", kP + kB + " more", "</B></FONT>", "</P>"}},
        {"text after the code, line-break form",
         within,
         false,
         {kB + "Title</B></FONT><HR>" + kB + " more", "</B></FONT>"}},
        {"a list item holds it",
         item,
         true,
         {"<UL STYLE=\"margin-top:0;margin-bottom:0;margin-left=0pt;\"><LI>" + kFont +
              "one</FONT><HR></LI>",
          "<LI>" + kFont + "two", "</FONT>", "</LI></UL>"}},
        {"a list item holds it, line-break form",
         item,
         false,
         {"<UL><LI>" + kFont + "one</FONT><HR></LI>", "<LI>" + kFont + "two", "</FONT>",
          "</LI></UL>"}},
        {"a second code",
         {"\\pard\\f0\\fs20 \\{keepn\\} x \\{keepn\\}\\par"},
         true,
         {kP + "</P><HR>", kP + kFont + " x {keepn}", "</FONT>", "</P>"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TStringList html = Convert(c.body, c.paragraphForm);
        EXPECT_EQ(html, c.html);
        EXPECT_EQ(helpproject::testing::HtmlBodyProblems(Joined(html)), std::vector<std::string>{})
            << Joined(html);
    }
}

// Converting again takes the cache as it stands.
TEST(RtfToHtml, CacheIsReused) {
    helpproject::TBrindlewovenTopic topic(1, "t");
    const TStringList first = Convert({"\\pard\\f0\\fs20 Title\\{keepn\\}\\par"}, true, &topic);
    ASSERT_FALSE(first.empty());
    const TStringList again = Convert({}, true, &topic);
    EXPECT_EQ(again, first);
    EXPECT_TRUE(topic.HtmlLineBreakCache.empty());
}

} // namespace

TEST(RtfToHtml, TablesBecomeTables) {
    helpproject::TBrindlewovenProject project;
    std::ifstream in(BW_TEST_DATA "/rtf/tables.rtf", std::ios::binary);
    const std::string fixture((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    const rtf::RtfDocument document = rtf::RtfDocument::Parse(fixture);
    for (const bool paragraphForm : {true, false}) {
        SCOPED_TRACE(paragraphForm);
        std::string html;
        helpproject::RtfDocumentToHtml(project, document, paragraphForm, [&](std::string& line) {
            html += line;
            html += "\n";
        });
        auto count = [&](const std::string& what) {
            std::size_t n = 0;
            for (std::size_t at = html.find(what); at != std::string::npos;
                 at = html.find(what, at + 1))
                ++n;
            return n;
        };
        EXPECT_EQ(count("<TABLE"), 3u) << html;
        EXPECT_EQ(count("</TABLE>"), 3u);
        EXPECT_EQ(count("<TR>"), 5u);
        EXPECT_EQ(count("</TR>"), 5u);
        EXPECT_EQ(count("<TD"), 13u);
        EXPECT_EQ(count("</TD>"), 13u);
        EXPECT_NE(html.find("<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"7\" "
                            "ALIGN=\"center\">\n<TR>\n<TD VALIGN=\"top\" WIDTH=\"140\" "
                            "BGCOLOR=\"#C0C0C0\">"),
                  std::string::npos)
            << html;
        // The nested table stands inside the outer cell, after its first text.
        const std::size_t before = html.find("Inner before");
        const std::size_t nested = html.find("<TABLE", before);
        EXPECT_LT(nested, html.find("Inner A"));
        EXPECT_LT(html.find("</TABLE>", nested), html.find("After inner"));
        EXPECT_LT(html.find("After inner"), html.find("</TABLE>", html.find("After inner")));
        EXPECT_LT(html.rfind("</TABLE>"), html.find("After all"));
        // Cells are not tab spans.
        EXPECT_EQ(html.find("<SPAN"), std::string::npos);
    }
}
