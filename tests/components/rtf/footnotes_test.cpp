// The footnotes of WinHelp topic text: marks, texts and where they stand.
#include <gtest/gtest.h>

#include <string>

#include "components/rtf/rtfedit.h"
#include "components/rtf/rtffootnotes.h"
#include "rtf_support.h"

using namespace rtf;

namespace {

TEST(Footnotes, MarksTextsAndSpans) {
    const std::string rtf = rtftest::ReadFixture("winhelp.rtf");
    std::vector<std::string_view> pieces = SplitAtPage(rtf);
    ASSERT_EQ(pieces.size(), 4u); // \pagebb does not split
    std::vector<Footnote> notes = FindFootnotes(pieces[0]);
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_EQ(notes[0].mark, '#');
    EXPECT_EQ(notes[0].text, "intro");
    EXPECT_EQ(notes[1].mark, '$');
    EXPECT_EQ(notes[1].text, "Introduction");
    EXPECT_EQ(notes[2].mark, 'K');
    EXPECT_EQ(notes[2].text, "start;welcome");
    EXPECT_EQ(notes[3].mark, '+');
    EXPECT_EQ(notes[3].text, "main:0010");
    EXPECT_EQ(pieces[0].substr(notes[3].start, 6), "{\\up +");
    EXPECT_EQ(notes[4].text, "anchor_two");
    EXPECT_EQ(pieces[0].substr(notes[0].start, 1), "#");
    EXPECT_EQ(pieces[0][notes[0].end - 1], '}');

    std::vector<Footnote> second = FindFootnotes(pieces[1]);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[1].text, "Details \xE9t\xE9");
    EXPECT_NE(pieces[1].find("\\pagebb"), std::string::npos);
    // "{\page}" splits around the whole group.
    EXPECT_EQ(pieces[1].find("{\\page"), std::string::npos);
    EXPECT_EQ(pieces[2].front(), '\r');
    EXPECT_EQ(FindFootnotes(pieces[2]).size(), 1u);
}

TEST(Footnotes, EveryFormOfMarkAndText) {
    struct Case {
        const char* rtf;
        char mark;
        const char* text;
    };
    const Case cases[] = {
        {R"(#{\footnote intro})", '#', "intro"},
        {R"(#{\footnote # intro})", '#', "intro"},
        // What this program's own writer emits: the mark group repeated inside.
        {R"({\up #}{\footnote {\up #} intro})", '#', "intro"},
        {R"({\up K}{\footnote {\up K} Kiwi;Kea})", 'K', "Kiwi;Kea"},
        // A keyword that starts with its own mark letter keeps it.
        {R"(K{\footnote Kangaroo})", 'K', "Kangaroo"},
        {R"({\cs16\super $}{\footnote \pard\plain \s15\fs20 {\cs16\super $} Title})", '$', "Title"},
        {R"(\super #\nosupersub {\footnote x1})", '#', "x1"},
        {"${\\footnote \\'e9t\\'e9\r\n}", '$', "\xE9t\xE9"},
        {R"(${\footnote A \{brace\} and \\ one})", '$', "A {brace} and \\ one"},
        {R"( {\up !}{\footnote {\up !} SetContents(`',`x')})", '!', "SetContents(`',`x')"},
        {R"(${\footnote {\*\bkmkstart b}Bookmarked})", '$', "Bookmarked"},
        // Word writes typographic characters as control words and characters
        // outside the code page as "\uN" with a fallback: each becomes its
        // Windows-1252 character in every kind of footnote, the fallback
        // dropped.
        {R"(${\footnote File\rquote s Properties})", '$', "File\x92s Properties"},
        {R"({\cs16\super !{\footnote {\cs16\super !} CBB(\ldblquote d3\rdblquote ,)"
         R"(\ldblquote JI(`a.hlp\rquote ,`b\rquote )\rdblquote )}})",
         '!',
         "CBB(\x93"
         "d3\x94,\x93JI(`a.hlp\x92,`b\x92)\x94)"},
        {R"(K{\footnote \lquote quoted\rquote ;dash\endash en;dash\emdash em})", 'K',
         "\x91quoted\x92;dash\x96"
         "en;dash\x97"
         "em"},
        {R"(+{\footnote \bullet list:0010})", '+', "\x95list:0010"},
        {R"(#{\footnote id\'5fone})", '#', "id_one"},
        // "\uN" with its one fallback character, then "\uc0" without one.
        {R"(${\footnote caf\u233\'e9 \uc0\u8212  end})", '$', "caf\xE9 \x97 end"},
        {R"(${\footnote a\uc2\u8220\'93\'93 b})", '$', "a\x93 b"},
        // Negative values stand for the upper half; no Windows-1252 form: "?".
        {R"(${\footnote x\u-3913?y})", '$', "x?y"},
        {R"(${\footnote \u20013?\u22269?})", '$', "??"},
        // A pair of surrogates is one character: one "?".
        {R"(${\footnote \u-10179?\u-8704?!})", '$', "?!"},
    };
    for (const Case& c : cases) {
        const auto notes = FindFootnotes(c.rtf);
        ASSERT_EQ(notes.size(), 1u) << c.rtf;
        EXPECT_EQ(notes[0].mark, c.mark) << c.rtf;
        EXPECT_EQ(notes[0].text, c.text) << c.rtf;
    }
}

TEST(Footnotes, PositionsCoverMarkAndGroup) {
    const std::string rtf = R"(\pard {\up #}{\footnote {\up #} a}Text #{\footnote # b} end)";
    const auto notes = FindFootnotes(rtf);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(rtf.substr(notes[0].start, notes[0].end - notes[0].start),
              R"({\up #}{\footnote {\up #} a})");
    EXPECT_EQ(rtf.substr(notes[1].start, notes[1].end - notes[1].start), R"(#{\footnote # b})");
    EXPECT_EQ(FindFootnote(rtf, '#'), "a");
    EXPECT_EQ(FindFootnote(rtf, '$'), "");
}

TEST(Footnotes, BracesInBinaryDataDoNotEndTheFootnote) {
    const std::string rtf = std::string(R"(${\footnote T{\*\data\bin3 )") + "}}{" + "}x})";
    const auto notes = FindFootnotes(rtf);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].end, rtf.size() - 1); // the ")" after it is not part of it
    EXPECT_EQ(notes[0].text, "Tx");
}

} // namespace
