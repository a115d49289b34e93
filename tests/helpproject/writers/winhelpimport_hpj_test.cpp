// The small readers of the WinHelp import: .hpj comments and INI values,
// Booleans, [MAP] lines and footnotes.
#include <gtest/gtest.h>

#include <string>

#include "helpproject/writers/winhelpimport.h"

using namespace helpproject;

namespace {

TEST(WinHelpImportHpj, CommentStartsOnlyAtLineStartOrAfterBlankOutsideQuotes) {
    struct Case {
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        {"; whole line", ""},
        {"   ; indented comment", ""},
        {"TITLE=My Help ; comment", "TITLE=My Help"},
        {"TITLE=My Help\t; after a tab", "TITLE=My Help"},
        {"BrowseButtons();CreateButton(\"a\",\"b\",\"c\")",
         "BrowseButtons();CreateButton(\"a\",\"b\",\"c\")"},
        {"A();B() ; the chain stays", "A();B()"},
        {"CreateButton(\"b\",\"Go ; on\",\"x\")", "CreateButton(\"b\",\"Go ; on\",\"x\")"},
        {"IF(FE(`a ; b'),`EF(`x ;y',`')') ; end", "IF(FE(`a ; b'),`EF(`x ;y',`')')"},
        {"  spaced value  ", "spaced value"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StripHpjComment(c.line), c.expected) << c.line;
}

TEST(WinHelpImportHpj, BooleansInAnyCase) {
    for (const char* yes : {"True", "TRUE", "yes", "Yes", "ON", "on", "1", " true "})
        EXPECT_TRUE(ReadHpjBoolean(yes, false)) << yes;
    for (const char* no : {"False", "no", "OFF", "0"})
        EXPECT_FALSE(ReadHpjBoolean(no, true)) << no;
    EXPECT_TRUE(ReadHpjBoolean("maybe", true));
    EXPECT_FALSE(ReadHpjBoolean("", false));
}

TEST(WinHelpImportHpj, IniValuesFirstMatchIgnoringCase) {
    const std::string ini = "[other]\r\ntitle=wrong\r\n"
                            "[Options]\r\nTitle = \"Quoted Title\" ; comment\r\nTITLE=second\r\n"
                            "Compress=Yes\r\n; Citation=commented\r\n"
                            "[OPTIONS]\r\nCopyright=in a later section\r\n";
    std::string value;
    ASSERT_TRUE(ReadIniValue(ini, "OPTIONS", "title", value));
    EXPECT_EQ(value, "Quoted Title");
    ASSERT_TRUE(ReadIniValue(ini, "options", "COMPRESS", value));
    EXPECT_EQ(value, "Yes");
    EXPECT_FALSE(ReadIniValue(ini, "OPTIONS", "Citation", value));
    EXPECT_FALSE(ReadIniValue(ini, "OPTIONS", "Copyright", value));
    ASSERT_TRUE(ReadIniValue(ini, "OTHER", "Title", value));
    EXPECT_EQ(value, "wrong");
}

TEST(WinHelpImportHpj, MapLines) {
    struct Case {
        const char* line;
        bool ok;
        const char* id;
        const char* number;
    };
    const Case cases[] = {
        {"#define intro 100", true, "intro", "100"},
        {"#DEFINE  Intro\t0x64 // comment", true, "Intro", "0x64"},
        {"details\t200", true, "details", "200"},
        {"gloss = 300 ; comment", true, "gloss", "300"},
        {"gloss=300", true, "gloss", "300"},
        {"lonely", false, "", ""},
        {"#include <help.h>", false, "", ""},
        {"; comment", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string id, number;
        EXPECT_EQ(ParseMapLine(c.line, id, number), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(id, c.id) << c.line;
            EXPECT_EQ(number, c.number) << c.line;
        }
    }
}

TEST(WinHelpImportFootnotes, EveryFormOfMarkAndText) {
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
    };
    for (const Case& c : cases) {
        const auto notes = ExtractFootnotes(c.rtf);
        ASSERT_EQ(notes.size(), 1u) << c.rtf;
        EXPECT_EQ(notes[0].Mark, c.mark) << c.rtf;
        EXPECT_EQ(notes[0].Text, c.text) << c.rtf;
    }
}

TEST(WinHelpImportFootnotes, PositionsCoverMarkAndGroup) {
    const std::string rtf = R"(\pard {\up #}{\footnote {\up #} a}Text #{\footnote # b} end)";
    const auto notes = ExtractFootnotes(rtf);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(rtf.substr(notes[0].Start, notes[0].End - notes[0].Start),
              R"({\up #}{\footnote {\up #} a})");
    EXPECT_EQ(rtf.substr(notes[1].Start, notes[1].End - notes[1].Start), R"(#{\footnote # b})");
    EXPECT_EQ(ExtractFootnote(rtf, '#'), "a");
    EXPECT_EQ(ExtractFootnote(rtf, '$'), "");
}

TEST(WinHelpImportFootnotes, BracesInBinaryDataDoNotEndTheFootnote) {
    const std::string rtf = std::string(R"(${\footnote T{\*\data\bin3 )") + "}}{" + "}x})";
    const auto notes = ExtractFootnotes(rtf);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].End, rtf.size() - 1); // the ")" after it is not part of it
    EXPECT_EQ(notes[0].Text, "Tx");
}

} // namespace
