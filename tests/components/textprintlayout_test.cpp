// The text printer's layout: geometry, tabs, word wrap, macros and pages,
// measured with a fixed-pitch fake font of 10 pixels a character.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/textprintlayout.h"

namespace {

using namespace components;

int Pitch10(std::string_view text) {
    return int(text.size()) * 10;
}

TEST(TextPrintLayout, PageGeometry) {
    struct Case {
        TPrinterPage page;
        float left, top, right, bottom;
        TPageGeometry expected;
    } cases[] = {
        // Letter at 600 dpi with a sixth of an inch the printer cannot reach.
        {{600, 600, 5100, 6600, 100, 100}, 1, 1, 1, 1, {500, 500, 4000, 600}},
        // A margin inside the unprintable edge starts at the edge.
        {{600, 600, 5100, 6600, 100, 100}, 0.1f, 0.1f, 0.5f, 0.5f, {0, 0, 4800, 300}},
        // Products are rounded to the nearest, ties to even.
        {{5, 3, 100, 100, 0, 0}, 0.5f, 0.5f, 0.5f, 0.5f, {2, 2, 96, 2}},
        {{3, 5, 100, 100, 0, 0}, 0.5f, 0.5f, 0.5f, 0.5f, {2, 2, 96, 2}},
    };
    for (const Case& c : cases) {
        TTextPrintOptions options;
        options.MarginLeft = c.left;
        options.MarginTop = c.top;
        options.MarginRight = c.right;
        options.MarginBottom = c.bottom;
        TPageGeometry g = PageGeometry(c.page, options);
        EXPECT_EQ(g.Left, c.expected.Left);
        EXPECT_EQ(g.Top, c.expected.Top);
        EXPECT_EQ(g.Width, c.expected.Width);
        EXPECT_EQ(g.BottomMargin, c.expected.BottomMargin);
    }
}

TEST(TextPrintLayout, LineHeightAndAnchors) {
    EXPECT_EQ(LineHeight(40, 4, TLineSpacing::SingleSpace), 44);
    EXPECT_EQ(LineHeight(40, 4, TLineSpacing::SingleAndAHalf), 66);
    EXPECT_EQ(LineHeight(41, 0, TLineSpacing::SingleAndAHalf), 61);
    EXPECT_EQ(LineHeight(40, 4, TLineSpacing::DoubleSpace), 88);
    TPageGeometry g{100, 50, 801, 0};
    EXPECT_EQ(AlignmentAnchor(TTextAlignment::LeftJustify, g), 100);
    EXPECT_EQ(AlignmentAnchor(TTextAlignment::Full, g), 100);
    EXPECT_EQ(AlignmentAnchor(TTextAlignment::Center, g), 500);
    EXPECT_EQ(AlignmentAnchor(TTextAlignment::RightJustify, g), 901);
    TPrinterPage tiny{100, 100, 300, 300, 0, 0};
    EXPECT_EQ(LinesPerPage(tiny, PageGeometry(tiny, {}), 1000), 1); // never zero
}

TEST(TextPrintLayout, ExpandTabs) {
    struct Case {
        const char* line;
        int tabSize;
        const char* expected;
    } cases[] = {
        {"ab\tc", 8, "ab      c"}, // a tab at position 3 is six spaces
        {"\tx", 8, "        x"},     {"abcdefgh\tx", 8, "abcdefgh        x"},
        {"a\tb\tc", 4, "a   b   c"}, {"a\t\tb", 2, "a   b"},
        {"a\tb", 0, "a b"}, // no stops: one space rather than a division by zero
        {"none", 8, "none"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandTabs(c.line, c.tabSize), c.expected) << c.line;
}

TEST(TextPrintLayout, WrapLine) {
    using Lines = std::vector<std::string>;
    struct Case {
        std::string text;
        int width;
        Lines expected;
    } cases[] = {
        {"short", 100, {"short"}},
        {"", 100, {""}},
        {"the quick brown fox", 100, {"the quick", "brown fox"}},
        {"Supercalifragilistic is long", 100, {"Supercalifragilistic", "is long"}},
        {"a Supercalifragilistic word", 100, {"a", "Supercalifragilistic", "word"}},
        {"well-known words here", 60, {"well-", "known", "words", "here"}},
        {"self- contained", 60, {"self-", "contained"}},
        {"abcdefghijklmnop", 100, {"abcdefghijklmnop"}},
        {" leadingwordtoolong tail", 100, {" leadingwordtoolong", "tail"}},
        {"one two three four five six", 100, {"one two", "three four", "five six"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapLine(c.text, c.width, Pitch10), c.expected) << c.text;
}

TEST(TextPrintLayout, WrapLineOfAMegabyteStaysLinear) {
    std::string text;
    while (text.size() < 1000000)
        text += "word ";
    std::size_t measured = 0;
    auto counting = [&](std::string_view s) {
        measured += s.size();
        return int(s.size()) * 10;
    };
    auto lines = WrapLine(text, 400, counting);
    EXPECT_EQ(lines.front(), "word word word word word word word word");
    EXPECT_EQ(lines.size(), 1000000u / 40);
    EXPECT_LT(measured, 100u * text.size()); // quadratic would be about 10^11
}

TEST(TextPrintLayout, HeaderMacros) {
    TJobMacroValues values;
    values.Date = "25/12/2024";
    values.Time = "09:30";
    values.Pages = 7;
    values.FileDate = "01/02/2020";
    values.FileTime = "13:14";
    values.FileName = "licence.txt";
    struct Case {
        const char* text;
        const char* page3;
    } cases[] = {
        {"Page %P of %N", "Page 3 of 7"},
        {"%p/%n", "3/7"},
        {"%%P", "%P"}, // a doubled percent sign, then P: never the page number
        {"%%%P", "%3"},
        {"%FN, %fd %Ft", "licence.txt, 01/02/2020 13:14"},
        {"%D %T", "25/12/2024 09:30"},
        {"100%", "100%"},
        {"%x and %F", "%x and %F"},
        {"%FX", "%FX"},
        {"%P%P", "33"},
    };
    for (const Case& c : cases) {
        THeaderText header(c.text, values);
        EXPECT_EQ(header.ForPage(3), c.page3) << c.text;
    }
    EXPECT_TRUE(THeaderText("", values).Empty());
    EXPECT_EQ(THeaderText("%P", values).ForPage(12), "12");
}

// A page of exactly ten lines: with header and footer it holds six.
TEST(TextPrintLayout, PagesWithHeaderAndFooter) {
    TTextPrintOptions options;
    options.Header = "head";
    options.Footer = "foot";
    TPrinterPage page{100, 100, 850, 200 + 10 * 20, 0, 0};
    struct Case {
        int lines;
        int pages;
    } cases[] = {{1, 1}, {6, 1}, {7, 2}, {12, 2}, {13, 3}};
    for (const Case& c : cases) {
        std::vector<std::string> lines(c.lines, "x");
        TPrintJobLayout job = LayoutPrintJob(lines, options, page, 18, 2, Pitch10);
        EXPECT_EQ(job.BodyLinesPerPage, 6);
        EXPECT_EQ(job.Pages, c.pages) << c.lines << " lines";
    }
    options.Footer.clear();
    TPrintJobLayout job = LayoutPrintJob({"x"}, options, page, 18, 2, Pitch10);
    EXPECT_EQ(job.BodyLinesPerPage, 8);
}

TEST(TextPrintLayout, JobWrapsExpandsAndStops) {
    TTextPrintOptions options;
    TPrinterPage page{10, 10, 120, 1000, 0, 0}; // 10 px margins: 100 px = 10 characters
    TPrintJobLayout job =
        LayoutPrintJob({"a\tb", "the quick brown fox"}, options, page, 10, 0, Pitch10);
    EXPECT_EQ(job.Lines, (std::vector<std::string>{"a       b", "the quick", "brown fox"}));
    options.WordWrap = false;
    job = LayoutPrintJob({"the quick brown fox"}, options, page, 10, 0, Pitch10);
    EXPECT_EQ(job.Lines, (std::vector<std::string>{"the quick brown fox"}));
    job = LayoutPrintJob({"x"}, options, page, 10, 0, Pitch10, [] { return true; });
    EXPECT_TRUE(job.Aborted);
}

} // namespace
