#include <gtest/gtest.h>

#include <functional>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtferror.h"
#include "components/rtf/rtfwriter.h"
#include "rtf_support.h"

using namespace rtf;

namespace {

const char* const kHead =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\fmodern\\fprq1\\fcharset0 Courier New;}{\\f2\\froman\\fcharset2 Symbol;}}"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}";

RtfDocument Doc(const std::string& body) {
    return RtfDocument::Parse(std::string(kHead) + body + "}");
}

} // namespace

TEST(DocumentText, PlainTextRules) {
    struct Case {
        const char* body;
        const char* text;
    };
    const Case cases[] = {
        {"abc\\par def\\par", "abc\rdef\r"},
        {"abc\\par def", "abc\rdef\r"}, // text after the last \par is a paragraph
        {"", "\r"},                     // always one paragraph
        {"a\\tab b\\line c", "a\tb\x0B"
                             "c\r"},
        {"caf\\'e9 \\u8364? \\u20013? \\u-10179?\\u-8704? x", "caf\xE9 \x80 ? ? x\r"},
        {"\\uc2\\u8364\\'80\\'80 x\\uc0\\u8220 y", "\x80 x\x93y\r"},
        {"{\\v hidden} shown", "hidden shown\r"},
        {"{\\pntext\\f2\\'b7\\tab}item", "item\r"},
        {"{\\pntext 1.\\tab}item", "1.\titem\r"},
        {"{\\*\\generator x;}{\\*\\unknown y}a{\\info{\\title t}}b", "ab\r"},
        {"{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}} z", "link z\r"},
        {"\\{lit\\} \\\\ \\~\\_", "{lit} \\ \xA0-\r"},
        {"\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote",
         "\x97\x96\x95\x91\x92\x93\x94\r"},
        {"pic{\\pict\\wmetafile8 0102}x{\\object{\\objdata 00}}y", "pic\x01x\x01y\r"},
        {"{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}", "\x01\r"},
        {"a\\page b\\sect\\sect c", "a\rb\rc\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(Doc(c.body).Text(), c.text);
    }
}

TEST(DocumentText, ObjectsKeepTheirRtf) {
    RtfDocument doc = Doc("a{\\pict\\wmetafile8\\picw10\r\n0102ff}b");
    const rtf::Run& obj = doc.Paragraphs()[0].runs[1];
    ASSERT_TRUE(obj.IsObject());
    // Kept as read, less the line breaks (a control word they ended gets a blank).
    EXPECT_EQ(*obj.object, "{\\pict\\wmetafile8\\picw10 0102ff}");
    std::string written = WriteRtf(doc);
    EXPECT_NE(written.find("{\\pict\\wmetafile8\\picw10 0102ff}"), std::string::npos);
}

TEST(DocumentText, PlainTextInputIsOneParagraphPerLine) {
    RtfDocument doc = RtfDocument::Parse("first line\r\nsecond\nthird\rfourth");
    EXPECT_EQ(doc.Text(), "first line\rsecond\rthird\rfourth\r");
    EXPECT_EQ(doc.LineCount(), 4u);
    EXPECT_EQ(RtfDocument::Parse("x\r\n").Text(), "x\r");
    EXPECT_EQ(RtfDocument::Parse("").Text(), "\r");
    // Written out it becomes RTF in the program's layout.
    std::vector<std::string> lines = WriteRtfLines(doc);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(RtfDocument::Parse(WriteRtf(doc)).Text(), doc.Text());
}

TEST(DocumentText, RefusesDeepNesting) {
    std::string deep = "{\\rtf1 " + std::string(1500, '{') + "x" + std::string(1500, '}') + "}";
    EXPECT_THROW(RtfDocument::Parse(deep), ERtfError);
    std::string fine = "{\\rtf1 " + std::string(900, '{') + "x" + std::string(900, '}') + "}";
    EXPECT_EQ(RtfDocument::Parse(fine).Text(), "x\r");
}

TEST(CharacterFormat, EveryAttributeFromASnippet) {
    struct Case {
        const char* body;
        std::function<bool(const CharFormat&)> check;
    };
    const Case cases[] = {
        {"x",
         [](const CharFormat& f) { return f.face == "Arial" && f.size == 24 && f.color.isAuto; }},
        {"\\f1 x",
         [](const CharFormat& f) {
             return f.face == "Courier New" && f.pitch == 1 && f.family == FontFamily::Modern;
         }},
        {"\\f2 x", [](const CharFormat& f) { return f.face == "Symbol" && f.charset == 2; }},
        {"\\fs17 x", [](const CharFormat& f) { return f.size == 17; }},
        {"\\cf1 x", [](const CharFormat& f) { return !f.color.isAuto && f.color.ToTColor() == 0; }},
        {"\\cf2 x", [](const CharFormat& f) { return f.color.ToTColor() == 0x0000FF; }},
        {"\\cf0 x", [](const CharFormat& f) { return f.color.isAuto; }},
        {"\\highlight2 x", [](const CharFormat& f) { return f.background.ToTColor() == 0x0000FF; }},
        {"\\cb2\\highlight0 x", [](const CharFormat& f) { return f.background.isAuto; }},
        {"\\b x", [](const CharFormat& f) { return f.bold && !f.italic; }},
        {"\\b\\b0 x", [](const CharFormat& f) { return !f.bold; }},
        {"\\i x", [](const CharFormat& f) { return f.italic; }},
        {"\\ul x", [](const CharFormat& f) { return f.underline == UnderlineKind::Single; }},
        {"\\ulw x", [](const CharFormat& f) { return f.underline == UnderlineKind::Single; }},
        {"\\uldb x", [](const CharFormat& f) { return f.underline == UnderlineKind::Double; }},
        {"\\uld x", [](const CharFormat& f) { return f.underline == UnderlineKind::Dotted; }},
        {"\\ul\\ulnone x", [](const CharFormat& f) { return f.underline == UnderlineKind::None; }},
        {"\\ul\\ul0 x", [](const CharFormat& f) { return f.underline == UnderlineKind::None; }},
        {"\\strike x", [](const CharFormat& f) { return f.strike; }},
        {"\\v x", [](const CharFormat& f) { return f.hidden; }},
        {"\\super x", [](const CharFormat& f) { return f.script == ScriptKind::Super; }},
        {"\\sub x", [](const CharFormat& f) { return f.script == ScriptKind::Sub; }},
        {"\\up8 x", [](const CharFormat& f) { return f.offset == 8; }},
        {"\\dn x", [](const CharFormat& f) { return f.offset == -6; }},
        {"\\b\\i\\f1\\fs30\\plain x",
         [](const CharFormat& f) {
             return !f.bold && !f.italic && f.face == "Arial" && f.size == 24;
         }},
        {"{\\b y}x", [](const CharFormat& f) { return !f.bold; }},
        {"\\f99 x", [](const CharFormat& f) { return f.face == "Arial"; }}, // unknown font
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        RtfDocument doc = Doc(c.body);
        std::size_t at = doc.Text().find('x');
        ASSERT_NE(at, std::string::npos);
        EXPECT_TRUE(c.check(doc.CharFormatAt(at)));
        // The attribute survives writing and reading back.
        RtfDocument again = RtfDocument::Parse(WriteRtf(doc));
        EXPECT_TRUE(c.check(again.CharFormatAt(at)));
    }
}

TEST(ParagraphFormat, EveryAttributeFromASnippet) {
    struct Case {
        const char* body;
        std::function<bool(const ParaFormat&)> check;
    };
    const Case cases[] = {
        {"x", [](const ParaFormat& f) { return f == ParaFormat{}; }},
        {"\\qc x", [](const ParaFormat& f) { return f.alignment == Alignment::Center; }},
        {"\\qr x", [](const ParaFormat& f) { return f.alignment == Alignment::Right; }},
        {"\\qj x", [](const ParaFormat& f) { return f.alignment == Alignment::Justify; }},
        {"\\fi-360\\li720\\ri100 x",
         [](const ParaFormat& f) {
             return f.firstIndent == -360 && f.leftIndent == 720 && f.rightIndent == 100;
         }},
        {"\\sb120\\sa240 x",
         [](const ParaFormat& f) { return f.spaceBefore == 120 && f.spaceAfter == 240; }},
        {"\\sl360\\slmult1 x",
         [](const ParaFormat& f) { return f.lineSpacing == 360 && f.lineSpacingMultiple; }},
        {"\\keepn x", [](const ParaFormat& f) { return f.keepNext; }},
        {"\\tx100\\tqr\\tldot\\tx2000\\tqc\\tx3000\\tqdec\\tx4000\\tb5000 x",
         [](const ParaFormat& f) {
             return f.tabs.size() == 5 && f.tabs[0].position == 100 &&
                    f.tabs[1].kind == TabKind::Right && f.tabs[1].leader == TabLeader::Dots &&
                    f.tabs[2].kind == TabKind::Center && f.tabs[3].kind == TabKind::Decimal &&
                    f.tabs[4].kind == TabKind::Bar;
         }},
        {"{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'b7}}x", [](const ParaFormat& f) { return f.bullet; }},
        {"{\\pntext\\f2\\'b7\\tab}x", [](const ParaFormat& f) { return f.bullet; }},
        {"{\\*\\pn\\pnlvlbody\\pndec}x", [](const ParaFormat& f) { return !f.bullet; }},
        {"\\qc\\keepn\\pard x", [](const ParaFormat& f) { return f == ParaFormat{}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        RtfDocument doc = Doc(c.body);
        std::size_t at = doc.Text().find('x');
        EXPECT_TRUE(c.check(doc.ParaFormatAt(at)));
        RtfDocument again = RtfDocument::Parse(WriteRtf(doc));
        EXPECT_TRUE(c.check(again.ParaFormatAt(at)));
    }
}

TEST(ParagraphFormat, MoreThan32TabStopsAreReadAndDropped) {
    std::string body;
    for (int i = 1; i <= 40; ++i)
        body += "\\tx" + std::to_string(i * 100);
    RtfDocument doc = Doc(body + " x\\par");
    ASSERT_EQ(doc.ParaFormatAt(0).tabs.size(), 32u);
    EXPECT_EQ(doc.ParaFormatAt(0).tabs.back().position, 3200);
    EXPECT_EQ(doc.Text(), "x\r");
}

TEST(DocumentRoundTrip, ParseWriteParseGivesTheSameDocument) {
    for (const std::string& name : rtftest::FixtureNames()) {
        SCOPED_TRACE(name);
        RtfDocument doc = RtfDocument::Parse(rtftest::ReadFixture(name));
        std::string written = WriteRtf(doc);
        RtfDocument again = RtfDocument::Parse(written);
        EXPECT_TRUE(again == doc);
        EXPECT_EQ(rtftest::DumpDocument(again), rtftest::DumpDocument(doc));
        EXPECT_EQ(again.Text(), doc.Text());
        // Writing is stable.
        EXPECT_EQ(WriteRtf(again), written);
    }
}

TEST(Writer, ProgramLayout) {
    RtfDocument doc =
        Doc("\\f1\\fs20 One \\b bold\\b0\\par {\\pntext\\f2\\'b7\\tab}\\cf2 Two\\par");
    std::vector<std::string> lines = WriteRtfLines(doc);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss"
                             "\\fcharset0 Arial;}",
                             0),
              0u);
    EXPECT_NE(lines[0].find("Courier New;}"), std::string::npos);
    EXPECT_EQ(lines[1], "{\\colortbl ;\\red255\\green0\\blue0;}");
    EXPECT_EQ(lines[2], "\\viewkind4\\uc1\\pard\\f1\\fs20 One \\b bold\\b0\\par");
    // Bullets are written both ways.
    EXPECT_NE(lines[3].find(
                  "{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}"),
              std::string::npos);
    EXPECT_EQ(lines[3].substr(lines[3].size() - 6), "\\par }");
}

TEST(Writer, NeverBreaksInsideAMarkupCode) {
    RtfDocument doc = RtfDocument::FromPlainText("a {link=x\r\ny} b\r\nc {keepn}\r\nd");
    std::vector<std::string> lines = WriteRtfLines(doc);
    ASSERT_EQ(lines.size(), 5u); // header, colours, "a..y} b", "c", "d"
    EXPECT_NE(lines[2].find("\\{link=x\\par\\pard y\\} b\\par"), std::string::npos);
    EXPECT_EQ(RtfDocument::Parse(WriteRtf(doc)).Text(), doc.Text());
    // An unclosed code does not swallow the rest of the topic.
    EXPECT_EQ(WriteRtfLines(RtfDocument::FromPlainText("a {link=x\r\nb\r\nc")).size(), 5u);
}

TEST(Writer, FieldsAreCarriedThrough) {
    RtfDocument doc = Doc("go {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt {\\ul here}}} now");
    std::string written = WriteRtf(doc);
    EXPECT_NE(written.find("{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt\\ul here}} now"),
              std::string::npos)
        << written;
    EXPECT_TRUE(RtfDocument::Parse(written) == doc);
    EXPECT_EQ(rtftest::DumpDocument(RtfDocument::Parse(written)), rtftest::DumpDocument(doc));
}

TEST(Edits, EraseAcrossParagraphs) {
    RtfDocument doc = Doc("\\qc one\\par \\pard\\b two\\par three\\par");
    ASSERT_EQ(doc.Text(), "one\rtwo\rthree\r");
    doc.Erase(2, 4); // "e\rtw"
    EXPECT_EQ(doc.Text(), "ono\rthree\r");
    EXPECT_EQ(doc.ParaFormatAt(0).alignment, Alignment::Center); // the first keeps its format
    EXPECT_FALSE(doc.CharFormatAt(1).bold);
    EXPECT_TRUE(doc.CharFormatAt(2).bold);
    doc.Erase(0, 100); // the final mark stays
    EXPECT_EQ(doc.Text(), "\r");
    EXPECT_EQ(doc.LineCount(), 1u);
}

TEST(Edits, InsertPlainTextWithParagraphs) {
    RtfDocument doc = Doc("\\li200 abcdef\\par");
    CharFormat bold;
    bold.bold = true;
    doc.InsertText(3, "X\r\nY\nZ", bold);
    EXPECT_EQ(doc.Text(), "abcX\rY\rZdef\r");
    EXPECT_EQ(doc.LineCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(doc.ParaFormatOf(doc.Paragraphs()[i]).leftIndent, 200);
    EXPECT_TRUE(doc.CharFormatAt(3).bold);
    EXPECT_FALSE(doc.CharFormatAt(9).bold);
    doc.InsertText(0, "<"); // takes the format of the text at the start
    EXPECT_EQ(doc.Text(), "<abcX\rY\rZdef\r");
    EXPECT_FALSE(doc.CharFormatAt(0).bold);
    doc.InsertText(doc.TextLength() - 1, "\r\n");
    EXPECT_EQ(doc.Text(), "<abcX\rY\rZdef\r\r");
}

TEST(Edits, InsertRtfKeepsFormats) {
    RtfDocument doc = Doc("abcdef\\par");
    doc.InsertRtf(3, std::string(kHead) + "\\cf2 red\\par\\qc mid}");
    EXPECT_EQ(doc.Text(), "abcred\rmiddef\r");
    EXPECT_EQ(doc.CharFormatAt(3).color.ToTColor(), 0x0000FFu);
    EXPECT_EQ(doc.ParaFormatAt(8).alignment, Alignment::Left); // joins the original mark
    doc.InsertRtf(0, std::string(kHead) + "\\qr head\\par}");
    EXPECT_EQ(doc.Text(), "head\rabcred\rmiddef\r");
    EXPECT_EQ(doc.ParaFormatAt(0).alignment, Alignment::Right);
    doc.InsertRtf(0, "plain ");
    EXPECT_EQ(doc.Text(), "plain head\rabcred\rmiddef\r");
}

TEST(Edits, SetFormatsOnRangesWithMasks) {
    RtfDocument doc = Doc("\\i one\\par two\\par three\\par");
    CharFormat f;
    f.bold = true;
    f.size = 40;
    doc.SetCharFormat(2, 6, f, kCharBold); // "e\rtwo\rt"
    EXPECT_FALSE(doc.CharFormatAt(1).bold);
    for (std::size_t i = 2; i < 8; ++i)
        EXPECT_TRUE(doc.CharFormatAt(i).bold) << i;
    EXPECT_FALSE(doc.CharFormatAt(8).bold);
    EXPECT_TRUE(doc.CharFormatAt(2).italic); // masked out members stay
    EXPECT_EQ(doc.CharFormatAt(2).size, 24);
    EXPECT_TRUE(doc.MarkFormatOf(doc.Paragraphs()[0]).bold);

    ParaFormat p;
    p.alignment = Alignment::Right;
    p.leftIndent = 99;
    doc.SetParaFormat(5, 4, p, kParaAlignment); // "wo\rt": two paragraphs
    EXPECT_EQ(doc.ParaFormatAt(0).alignment, Alignment::Left);
    EXPECT_EQ(doc.ParaFormatAt(5).alignment, Alignment::Right);
    EXPECT_EQ(doc.ParaFormatAt(9).alignment, Alignment::Right);
    EXPECT_EQ(doc.ParaFormatAt(9).leftIndent, 0);
    EXPECT_TRUE(RtfDocument::Parse(WriteRtf(doc)) == doc);
}

// Line starts are kept up to date from the first changed paragraph on: after
// appends at the end and edits in the middle every position still matches
// the text.
TEST(Edits, PositionsFollowEveryEdit) {
    RtfDocument doc;
    auto expectLinesMatchText = [&doc] {
        const std::string text = doc.Text();
        ASSERT_EQ(doc.TextLength(), text.size());
        std::size_t start = 0;
        for (std::size_t line = 0; line < doc.LineCount(); ++line) {
            EXPECT_EQ(doc.LineIndex(line), start) << line;
            EXPECT_EQ(doc.LineFromChar(start), line);
            EXPECT_EQ(doc.TextRange(start, doc.LineLength(line)), doc.LineText(line));
            start = text.find('\r', start) + 1;
        }
    };
    for (int i = 0; i < 50; ++i)
        doc.InsertText(doc.TextLength() - 1, "line " + std::to_string(i) + "\r\n");
    expectLinesMatchText();
    doc.Erase(doc.LineIndex(10) + 2, 20); // joins lines 10 to 12
    expectLinesMatchText();
    doc.InsertText(doc.LineIndex(3), "a\rb\rc");
    expectLinesMatchText();
    doc.InsertRtf(doc.LineIndex(40), std::string(kHead) + "\\b x\\par y}");
    expectLinesMatchText();
    EXPECT_EQ(doc.TextRange(doc.LineIndex(2), 10), "line 2\ra\rb");
    doc.Clear();
    expectLinesMatchText();
}

TEST(Edits, FindAndLines) {
    RtfDocument doc = Doc("The cat\\par concat Cat\\par");
    EXPECT_EQ(doc.Find("cat", 0, 100), 4);
    EXPECT_EQ(doc.Find("cat", 5, 100), 11);
    EXPECT_EQ(doc.Find("CAT", 5, 100, {true, false}), -1);
    EXPECT_EQ(doc.Find("Cat", 5, 100, {true, false}), 15);
    EXPECT_EQ(doc.Find("cat", 5, 100, {false, true}), 15); // not inside "concat"
    EXPECT_EQ(doc.Find("cat", 0, 6), -1);                  // the match must end within the range
    EXPECT_EQ(doc.LineCount(), 2u);
    EXPECT_EQ(doc.LineIndex(1), 8u);
    EXPECT_EQ(doc.LineFromChar(7), 0u);
    EXPECT_EQ(doc.LineFromChar(8), 1u);
    EXPECT_EQ(doc.LineFromChar(999), 1u);
    EXPECT_EQ(doc.LineLength(1), 10u);
    EXPECT_EQ(doc.LineText(1), "concat Cat");
    EXPECT_EQ(doc.TextRange(4, 3), "cat");
    doc.Replace(4, 3, "dog");
    EXPECT_EQ(doc.LineText(0), "The dog");
}
