// The small readers of the help project file: comments and INI values,
// Booleans and [MAP] lines.
#include <gtest/gtest.h>

#include <string>

#include "helpproject/import/hpjfile.h"

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

} // namespace
