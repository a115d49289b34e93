#include "unitparser/sourcereader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using unitparser::EParseError;
using unitparser::TSourceReader;

namespace {

// Reads tokens until "end." and returns them; the trailing text keeps the
// reader away from the end of the input.
std::vector<std::string> Tokens(const std::string& text) {
    TSourceReader reader;
    reader.Open(text + "\nEOT_MARK");
    std::vector<std::string> tokens;
    while (reader.NextToken() != "EOT_MARK")
        tokens.push_back(reader.Token());
    return tokens;
}

using TokenList = std::vector<std::string>;

struct TokenCase {
    const char* source;
    TokenList tokens;
};

class TokenTable : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenTable, SplitsAsWritten) {
    EXPECT_EQ(Tokens(GetParam().source), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, TokenTable,
    ::testing::Values(
        TokenCase{"x := 'a''b';", {"x", ":", "=", "'a''b'", ";"}},
        TokenCase{"$ff $1aB", {"$FF", "$1AB"}}, TokenCase{"12.5", {"12", ".", "5"}},
        TokenCase{"Foo_1(Bar)", {"Foo_1", "(", "Bar", ")"}}, TokenCase{"a/b", {"a", "/", "b"}},
        TokenCase{"a // gone\nb", {"a", "b"}},
        TokenCase{"a { gone } b (* gone *) c", {"a", "b", "c"}},
        TokenCase{"a (* x * y **) b", {"a", "b"}}, TokenCase{"{$IFDEF X} a {$ENDIF}", {"a"}},
        TokenCase{"p^.x[1]#13@q", {"p", "^", ".", "x", "[", "1", "]", "#", "13", "@", "q"}},
        TokenCase{"''", {"''"}}, TokenCase{"'it''s'", {"'it''s'"}},
        // Bytes above 127 are symbols of their own and never join a word.
        TokenCase{"ab\xE9"
                  "cd \xFF",
                  {"ab", "\xE9", "cd", "\xFF"}},
        TokenCase{"\t\tx\t;", {"x", ";"}},
        // A token at the very end of a line ends there.
        TokenCase{"abc\ndef", {"abc", "def"}}, TokenCase{"a(\nb)", {"a", "(", "b", ")"}}));

TEST(SourceReader, CharClassTableCoversHighBytes) {
    for (int c = 128; c < 256; ++c)
        EXPECT_EQ(unitparser::ClassifyChar(static_cast<unsigned char>(c)),
                  unitparser::TCharClass::Symbol)
            << c;
    EXPECT_EQ(unitparser::ClassifyChar('_'), unitparser::TCharClass::Letter);
    EXPECT_EQ(unitparser::ClassifyChar('7'), unitparser::TCharClass::Digit);
    EXPECT_EQ(unitparser::ClassifyChar('\t'), unitparser::TCharClass::Blank);
}

TEST(SourceReader, StartOfLineIsABlankAndEmptyLinesAreSkipped) {
    TSourceReader reader;
    reader.Open("ab\n\n\ncd");
    EXPECT_EQ(reader.NextChar(), 'a');
    EXPECT_EQ(reader.NextChar(), 'b');
    EXPECT_EQ(reader.NextChar(), ' ');
    EXPECT_EQ(reader.LineNo(), 4);
    EXPECT_EQ(reader.NextChar(), 'c');
    EXPECT_EQ(reader.NextChar(), 'd');
    EXPECT_EQ(reader.NextChar(), ' '); // the end counts as a blank once
    EXPECT_THROW(reader.NextChar(), EParseError);
}

TEST(SourceReader, AcceptsEveryLineEnding) {
    for (const char* text : {"a\r\nb\r\nc;\r\nd", "a\nb\nc;\nd", "a\rb\rc;\rd"}) {
        TSourceReader reader;
        reader.Open(text);
        reader.NextToken();
        reader.NextToken();
        reader.NextToken();
        EXPECT_EQ(reader.Token(), "c");
        EXPECT_EQ(reader.LineNo(), 3) << text;
    }
}

TEST(SourceReader, EndInsideCommentOrStringIsUnexpected) {
    for (const char* text : {"a { open", "a (* open *", "a 'open", "a"}) {
        TSourceReader reader;
        reader.Open(text);
        try {
            reader.NextToken();
            reader.NextToken();
            FAIL() << text;
        } catch (const EParseError& e) {
            EXPECT_STREQ(e.what(), "Unexpected end of file") << text;
        }
    }
}

TEST(SourceReader, LineNumbersCountCommentAndEmptyLines) {
    TSourceReader reader;
    reader.Open("a\n\n// note\n{ more\n  lines }\n\nb x");
    reader.NextToken();
    reader.NextToken();
    EXPECT_EQ(reader.Token(), "b");
    EXPECT_EQ(reader.LineNo(), 7);
    EXPECT_EQ(std::string(reader.Error("x").what()), "Error in line 7: x");
}

struct DescriptionCase {
    const char* source; // comments, then the token "next"
    const char* description;
};

class DescriptionTable : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(DescriptionTable, BuiltFromCommentsBeforeToken) {
    TSourceReader reader;
    reader.Open(std::string("x;") + GetParam().source + "\nnext\nEOT");
    reader.NextToken();
    reader.NextToken();
    EXPECT_EQ(reader.NextToken(), "next");
    EXPECT_EQ(reader.TakeDescription(), GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, DescriptionTable,
    ::testing::Values(DescriptionCase{"", " "}, DescriptionCase{" // one\n{ two }", "one\r\ntwo"},
                      DescriptionCase{" // a | b", "a / b"},
                      DescriptionCase{" {  lots   of\tblanks\t\t here }", "lots of blanks here"},
                      DescriptionCase{" (* first\n     second *)", "first second"},
                      DescriptionCase{" //\n//\n", " "},
                      DescriptionCase{" // one\n   // two\n", "one\r\ntwo"}));

TEST(SourceReader, RefusesUnreadableFile) {
    TSourceReader reader;
    EXPECT_THROW(reader.OpenFile("/nonexistent/unit.pas"), EParseError);
}

} // namespace
