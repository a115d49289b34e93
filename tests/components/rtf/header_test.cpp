#include <gtest/gtest.h>

#include "components/rtf/rtfheader.h"
#include "rtf_support.h"

using namespace rtf;

TEST(Header, ReadsFontTableWithAllParts) {
    RtfHeader h = ReadHeader(rtftest::ReadFixture("wordproc.rtf"));
    ASSERT_TRUE(h.isRtf);
    ASSERT_TRUE(h.hasFontTable);
    ASSERT_EQ(h.fonts.size(), 3u);
    const FontEntry& times = h.fonts[0];
    EXPECT_EQ(times.number, 0);
    EXPECT_EQ(times.family, FontFamily::Roman);
    EXPECT_EQ(times.charset, 0);
    EXPECT_EQ(times.pitch, 2);
    EXPECT_EQ(times.panose, "02020603050405020304");
    EXPECT_EQ(times.altName, "Times");
    EXPECT_EQ(times.name, "Times New Roman");
    EXPECT_EQ(times.raw.front(), '{');
    EXPECT_EQ(times.raw.back(), '}');
    ASSERT_NE(h.FindFont(300), nullptr);
    EXPECT_EQ(h.FindFont(300)->name, "Courier New");
    EXPECT_EQ(h.FindFont(300)->pitch, 1);
    EXPECT_EQ(h.FindFont(7), nullptr);
    ASSERT_EQ(h.defaultFont, 0);
    EXPECT_EQ(h.stylesheet.rfind("{\\stylesheet", 0), 0u);
    EXPECT_EQ(h.stylesheet.back(), '}');
    // The body starts after the last header group (the info group here).
    std::string rtf = rtftest::ReadFixture("wordproc.rtf");
    EXPECT_EQ(rtf.substr(h.bodyOffset, 8), "\\paperw1");
}

TEST(Header, ColourTableKeepsAutoEntryApartFromBlack) {
    RtfHeader h =
        ReadHeader("{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1\\froman Times;}"
                   "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\\pard x}");
    ASSERT_EQ(h.colors.size(), 3u);
    EXPECT_TRUE(h.colors[0].isAuto);
    EXPECT_FALSE(h.colors[1].isAuto);
    EXPECT_EQ(h.colors[1].ToTColor(), 0u);
    EXPECT_EQ(h.colors[2].ToTColor(), 0x0000FFu);
    // Flat font entries without their own groups.
    ASSERT_EQ(h.fonts.size(), 2u);
    EXPECT_EQ(h.fonts[1].name, "Times");
    EXPECT_EQ(h.fonts[1].family, FontFamily::Roman);
    EXPECT_FALSE(h.defaultFont.has_value());
}

TEST(Header, PlainTextAndMissingTables) {
    EXPECT_FALSE(ReadHeader("just text").isRtf);
    RtfHeader h = ReadHeader("{\\rtf1\\ansi Hello}");
    EXPECT_TRUE(h.isRtf);
    EXPECT_FALSE(h.hasFontTable);
    EXPECT_FALSE(h.hasColorTable);
}

TEST(TableMerger, ReorderedTablesShareEntries) {
    RtfHeader a =
        ReadHeader("{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 "
                   "Times;}}{\\colortbl ;\\red255\\green0\\blue0;}}");
    // Same fonts in the other order, one with a pitch and a different case.
    RtfHeader b =
        ReadHeader("{\\rtf1\\deff1{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times;}{\\f1\\fswiss"
                   "\\fcharset0 arial;}{\\f300\\fmodern Courier;}}{\\colortbl ;\\red0\\green0"
                   "\\blue255;\\red255\\green0\\blue0;}}");
    TableMerger merger;
    TableRemap ra = merger.Add(a);
    TableRemap rb = merger.Add(b);
    ASSERT_EQ(merger.Fonts().size(), 3u);
    EXPECT_EQ(ra.MapFont(0), 0);
    EXPECT_EQ(ra.MapFont(1), 1);
    EXPECT_EQ(rb.MapFont(0), 1);
    EXPECT_EQ(rb.MapFont(1), 0);
    EXPECT_EQ(rb.MapFont(300), 2);
    EXPECT_EQ(rb.defaultFont, 0); // \deff1 is Arial
    EXPECT_EQ(rb.MapFont(55), 0); // unknown numbers go to the default font
    ASSERT_EQ(merger.Colors().size(), 3u);
    EXPECT_EQ(rb.MapColor(0), 0);
    EXPECT_EQ(rb.MapColor(1), 2);
    EXPECT_EQ(rb.MapColor(2), 1);
    EXPECT_EQ(merger.FontTableRtf(),
              "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times;}"
              "{\\f2\\fmodern Courier;}}");
    EXPECT_EQ(merger.ColorTableRtf(),
              "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}");
    // Adding a topic again changes nothing.
    TableRemap again = merger.RemapFor(b);
    EXPECT_EQ(again.fonts, rb.fonts);
    EXPECT_EQ(again.colors, rb.colors);
}

TEST(RemapTables, RewritesTokensNotText) {
    TableRemap remap;
    remap.fonts = {{0, 4}, {300, 5}};
    remap.colors = {0, 3, 2};
    remap.defaultFont = 4;
    const std::string rtf =
        "{\\rtf1\\deff0{\\fonttbl{\\f0 A;}{\\f300 B;}}{\\colortbl ;\\red1\\green2\\blue3;}"
        "\\f300\\cf1 text \\\\f2 and \\\\cf1 literal {\\pict\\bin4 \\f0x}"
        "\\highlight2\\cb1\\chcbpat2\\cbpat1\\cfpat2\\brdrcf1\\ulc2 {\\*\\pn\\pnf0}\\af300 \\f0 x}";
    const std::string out = RemapTables(rtf, remap);
    EXPECT_EQ(
        out,
        "{\\rtf1\\deff4{\\fonttbl{\\f0 A;}{\\f300 B;}}{\\colortbl ;\\red1\\green2\\blue3;}"
        "\\f5\\cf3 text \\\\f2 and \\\\cf1 literal {\\pict\\bin4 \\f0x}"
        "\\highlight2\\cb3\\chcbpat2\\cbpat3\\cfpat2\\brdrcf3\\ulc2 {\\*\\pn\\pnf4}\\af5 \\f4 x}");
}

TEST(RemapTables, OutOfTableColourGoesToAuto) {
    TableRemap remap;
    remap.colors = {0};
    remap.autoColor = 0;
    EXPECT_EQ(RemapTables("\\cf9 x", remap), "\\cf0 x");
}

TEST(Header, EscapedCharactersInFontNamesSurviveWriting) {
    // A name holding a backslash or braces is written escaped and must read
    // back the same, or a second write of the document differs from the first.
    RtfHeader h = ReadHeader("{\\rtf1{\\fonttbl{\\f0\\fnil Odd\\\\Name\\{x\\};}"
                             "{\\f1\\fswiss{\\*\\falt Alt\\\\One}Plain;}}}");
    ASSERT_EQ(h.fonts.size(), 2u);
    EXPECT_EQ(h.fonts[0].name, "Odd\\Name{x}");
    EXPECT_EQ(h.fonts[1].altName, "Alt\\One");
    RtfHeader again = ReadHeader("{\\rtf1{\\fonttbl" + h.fonts[0].ToRtf(0) + "}}");
    ASSERT_EQ(again.fonts.size(), 1u);
    EXPECT_EQ(again.fonts[0].name, h.fonts[0].name);
}
