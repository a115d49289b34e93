#include <gtest/gtest.h>

#include "components/rtf/rtfdocument.h"
#include "helpproject/textstylerange.h"

using namespace helpproject;

TEST(TextStyleRange, TakeFromSelection) {
    std::string tabs;
    for (int i = 1; i <= 40; ++i)
        tabs += "\\tx" + std::to_string(i * 100);
    auto doc = rtf::RtfDocument::Parse(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern\\fprq1\\fcharset238 Courier "
        "New;}}{\\colortbl;\\red255\\green0\\blue0;}\n\\pard\\qc\\fi-360\\li720\\ri240" +
        tabs + "\\f1\\fs22\\cf1\\b\\i\\ul\\strike Styled\\plain\\par\n\\pard plain\\par}");
    TTextStyleMacro s = StyleFromDocument(doc, 1);
    EXPECT_EQ(s.Font.Name, "Courier New");
    EXPECT_EQ(s.Font.Charset, 238);
    EXPECT_EQ(s.Font.Pitch, 2); // fixed
    EXPECT_EQ(s.Font.Size, 11);
    EXPECT_EQ(s.Font.Color, 0x0000FF);
    EXPECT_TRUE(s.Font.Bold && s.Font.Italic && s.Font.Underline && s.Font.StrikeOut);
    EXPECT_EQ(s.Alignment, 2);
    EXPECT_EQ(s.FirstIndent, 18); // (720 - 360) twips
    EXPECT_EQ(s.LeftIndent, 18);  // the other lines 360 twips further in
    EXPECT_EQ(s.RightIndent, 12);
    // The paragraph holds 40 stops; a style keeps the 32 a paragraph can hold.
    EXPECT_EQ(s.TabCount, 32);
    EXPECT_EQ(s.Tabs[0], 5);
    EXPECT_EQ(s.Tabs[31], 160);
}

TEST(TextStyleRange, ApplyAndTakeBack) {
    auto doc = rtf::RtfDocument::Parse("{\\rtf1\\ansi\\pard one two\\par\\pard three\\par}");
    TTextStyleMacro s;
    s.Font = {0x00FF00, "Times New Roman", 1, 14, 0, true, false, true, false};
    s.Alignment = 1;
    s.Numbering = 1;
    s.FirstIndent = 10;
    s.LeftIndent = 20;
    s.RightIndent = 5;
    s.TabCount = 2;
    s.Tabs[0] = 36;
    s.Tabs[1] = 72;
    ApplyStyleToDocument(s, doc, 4, 3); // "two"
    EXPECT_EQ(StyleFromDocument(doc, 4), s);
    // Characters outside the range keep their font; the paragraph takes the
    // paragraph values; the next paragraph is untouched.
    EXPECT_FALSE(doc.CharFormatAt(0).bold);
    EXPECT_EQ(doc.ParaFormatAt(0).alignment, rtf::Alignment::Right);
    EXPECT_EQ(doc.ParaFormatAt(doc.LineIndex(1)).alignment, rtf::Alignment::Left);
    EXPECT_TRUE(doc.ParaFormatAt(0).bullet);
    EXPECT_EQ(doc.ParaFormatAt(0).leftIndent, 600);
    EXPECT_EQ(doc.ParaFormatAt(0).firstIndent, -400);
}
