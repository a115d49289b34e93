// Placing a parser with SetRangeEx and reading the text at its position
// with GetWord.
#include "speller/parser.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace speller {
namespace {

using W = std::vector<std::string>;

W Rest(TParser& parser) {
    W words;
    while (auto word = parser.GetNextWord())
        words.push_back(*word);
    return words;
}

// A parser of no particular control: it keeps the base behaviour and counts
// the calls that the range placement makes.
class TBareParser : public TParser {
public:
    void BackToWordStart() override { ++backCalls; }
    int backCalls = 0;
};

TEST(ParserRangeEx, MemoParserPlacesTheRangeAsSetRangeDoes) {
    struct Case {
        const char* text;
        const char* lineBreak;
        int start;
        int end;
        int line;   // where the parser stands afterwards
        int column; // 1-based, moved back to the word's start
        int wordStart;
        W words;
    };
    const Case cases[] = {
        // Inside "beta": back to its start, up to "gamma".
        {"alpha beta gamma\r\ndelta", "\r\n", 9, 12, 0, 7, 7, {"beta", "gamma"}},
        // On the second line, counting CR LF as two characters.
        {"alpha beta gamma\r\ndelta", "\r\n", 22, 100, 1, 1, 19, {"delta"}},
        // The same text as a rich-edit control holds it (CR only).
        {"alpha beta gamma\rdelta", "\r", 21, 100, 1, 1, 18, {"delta"}},
        // Right after a word: back to that word's start.
        {"alpha beta", "\r\n", 6, 100, 0, 1, 1, {"alpha", "beta"}},
        // Between two blanks: nothing to move back over.
        {"alpha  beta", "\r\n", 7, 100, 0, 7, 7, {"beta"}},
        // A start before the text is the text's start.
        {"alpha beta", "\r\n", 0, 5, 0, 1, 1, {"alpha"}},
        // An end before the first word found: nothing to check.
        {"  alpha", "\r\n", 1, 2, 0, 1, 1, {}},
    };
    for (const auto& c : cases) {
        for (std::intptr_t data : {std::intptr_t{0}, std::intptr_t{-1}, std::intptr_t{4711}}) {
            SCOPED_TRACE(::testing::Message() << c.text << " from " << c.start << " data " << data);
            TMemoTarget target(c.text, c.lineBreak);
            TCustomMemoParser parser(target);
            parser.SetRangeEx(c.start, c.end, data);
            EXPECT_EQ(parser.Line(), c.line);
            EXPECT_EQ(parser.Column(), c.column);
            EXPECT_EQ(parser.WordStart(), c.wordStart);
            EXPECT_EQ(parser.RangeEnd(), c.end);
            EXPECT_EQ(Rest(parser), c.words);
            EXPECT_TRUE(parser.EndOfText());
        }
    }
}

TEST(ParserRangeEx, StartsAgainAfterTheEndOfText) {
    TMemoTarget target("one two\r\nthree");
    TCustomRichEditParser parser(target);
    EXPECT_EQ(Rest(parser), (W{"one", "two", "three"}));
    ASSERT_TRUE(parser.EndOfText());
    parser.SetRangeEx(6, 100, 1);
    EXPECT_FALSE(parser.EndOfText());
    EXPECT_EQ(Rest(parser), (W{"two", "three"}));
}

TEST(ParserRangeEx, BaseParserStoresTheRangeAndMovesToTheWordStart) {
    TBareParser parser;
    parser.SetRangeEx(5, 42, 99);
    EXPECT_EQ(parser.RangeStart(), 5);
    EXPECT_EQ(parser.RangeEnd(), 42);
    EXPECT_EQ(parser.WordStart(), 5);
    EXPECT_EQ(parser.backCalls, 1);
    EXPECT_FALSE(parser.EndOfText());
}

TEST(ParserGetWord, BaseParserGivesTheCurrentWord) {
    TBareParser parser;
    EXPECT_EQ(parser.GetWord(), "");
    parser.SetCurrentWord("colour");
    EXPECT_EQ(parser.GetWord(), "colour");
}

TEST(ParserGetWord, MemoParserGivesTheLineOfTheWord) {
    struct Case {
        const char* text;
        int words; // GetNextWord calls before asking
        const char* line;
    };
    const Case cases[] = {
        {"one two\r\nthree four\r\n\r\nfive", 0, "one two"},
        {"one two\r\nthree four\r\n\r\nfive", 2, "one two"},
        {"one two\r\nthree four\r\n\r\nfive", 3, "three four"},
        // The empty line is passed over.
        {"one two\r\nthree four\r\n\r\nfive", 5, "five"},
        // Past the last word the parser stands past the last line.
        {"one two\r\nthree four\r\n\r\nfive", 6, ""},
        {"", 0, ""},
        {"", 1, ""},
        {"\r\n\r\n  x", 1, "  x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << c.text << "\" after " << c.words);
        TMemoTarget target(c.text);
        TCustomMemoParser parser(target);
        for (int i = 0; i < c.words; ++i)
            parser.GetNextWord();
        EXPECT_EQ(parser.GetWord(), c.line);
    }
}

TEST(ParserGetWord, MemoParserReadsTheControlAsItIsNow) {
    TMemoTarget target("teh cat\r\nsat");
    TCustomMemoParser parser(target);
    ASSERT_EQ(parser.GetNextWord().value_or(""), "teh");
    EXPECT_EQ(parser.GetWord(), "teh cat");
    parser.SelectWord(parser.WordStart(), 3);
    parser.ReplaceWord("the");
    EXPECT_EQ(parser.GetWord(), "the cat");
    // An edit made outside the parser shows as well.
    target.Select(4, 3);
    target.ReplaceSelection("dog");
    EXPECT_EQ(parser.GetWord(), "the dog");
    // The current word stays what the walk found.
    EXPECT_EQ(parser.CurrentWord(), "teh");
}

} // namespace
} // namespace speller
