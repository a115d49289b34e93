#include "speller/parser.h"

#include <gtest/gtest.h>

namespace speller {
namespace {

struct Found {
    std::string word;
    int line;
    int column;
    int start;
    bool skipped = false;
};

std::vector<Found> Walk(TParser& parser) {
    std::vector<Found> found;
    while (auto word = parser.GetNextWord())
        found.push_back({*word, parser.Line(), parser.Column(), parser.WordStart(),
                         parser.InsideSkippedText()});
    EXPECT_TRUE(parser.EndOfText());
    return found;
}

std::vector<std::string> Words(std::string_view text, bool html = false, bool internet = true,
                               bool quoted = false) {
    TMemoTarget target(text);
    TCustomMemoParser parser(target);
    parser.SetSkipHTML(html);
    parser.SetSkipInternet(internet);
    parser.SetSkipQuoted(quoted);
    std::vector<std::string> words;
    for (const auto& f : Walk(parser))
        words.push_back(f.word);
    return words;
}

using W = std::vector<std::string>;

std::string Next(TParser& parser) {
    return parser.GetNextWord().value_or("<end>");
}

TEST(MemoParser, WordsAndPositions) {
    TMemoTarget target("Hello, world!\r\n\r\n  it's  B52 & co\r\nend");
    TCustomMemoParser parser(target);
    auto found = Walk(parser);
    ASSERT_EQ(found.size(), 7u);
    const Found expected[] = {{"Hello", 0, 1, 1}, {"world", 0, 8, 8}, {"it's", 2, 3, 20},
                              {"B52", 2, 9, 26},  {"&", 2, 13, 30},   {"co", 2, 15, 32},
                              {"end", 3, 1, 36}};
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].word, expected[i].word);
        EXPECT_EQ(found[i].line, expected[i].line) << found[i].word;
        EXPECT_EQ(found[i].column, expected[i].column) << found[i].word;
        EXPECT_EQ(found[i].start, expected[i].start) << found[i].word;
        // The 1-based start is where the word stands in the whole text.
        EXPECT_EQ(target.TextRange(found[i].start - 1, static_cast<int>(found[i].word.size())),
                  found[i].word);
    }
}

TEST(MemoParser, EmptyControlEndsAtOnce) {
    TMemoTarget target("");
    TCustomMemoParser parser(target);
    EXPECT_FALSE(parser.GetNextWord());
    EXPECT_TRUE(parser.EndOfText());
    EXPECT_FALSE(parser.GetNextWord());
}

TEST(MemoParser, InternetAddresses) {
    struct Case {
        const char* text;
        W words;
    };
    const Case cases[] = {
        {"mail me@example.com now", {"mail", "me@example.com", "now"}},
        {"see http://example.com/a(b) x", {"see", "http://example.com/a", "b", "x"}},
        {"HTTP://X.org", {"HTTP://X.org"}},
        {"get ftp:files there", {"get", "ftp:files", "there"}},
        {"news:comp.lang,more", {"news:comp.lang", "more"}},
        {"the news today", {"the", "news", "today"}},
        {"the news: today", {"the", "news:", "today"}},
        {"end with me@", {"end", "with", "me@"}},
        {"trailing news", {"trailing", "news"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Words(c.text), c.words) << c.text;
    // Off: an address is ordinary words.
    EXPECT_EQ(Words("me@example.com", false, false), (W{"me", "example", "com"}));

    TMemoTarget target("x me@a.b");
    TCustomMemoParser parser(target);
    ASSERT_EQ(Next(parser), "x");
    EXPECT_FALSE(parser.InsideSkippedText());
    ASSERT_EQ(Next(parser), "me@a.b");
    EXPECT_TRUE(parser.InsideSkippedText());
    EXPECT_TRUE(parser.NoRepeatCandidate());
}

TEST(MemoParser, QuotedLinesAndHtml) {
    EXPECT_EQ(Words("> quoted text\r\nplain\r\n>again", false, true, true), (W{"plain"}));
    EXPECT_EQ(Words("> quoted text\r\nplain"), (W{"quoted", "text", "plain"}));
    EXPECT_EQ(Words("a <b\r\nclass=x>bold</b> c", true), (W{"a", "bold", "c"}));
    EXPECT_EQ(Words("a <b>c", false), (W{"a", "b", "c"}));
    EXPECT_EQ(Words("text <unclosed\r\ntag", true), (W{"text"}));

    TMemoTarget target("one <i>two");
    TCustomMemoParser parser(target);
    parser.SetSkipHTML(true);
    parser.GetNextWord();
    EXPECT_FALSE(parser.NoRepeatCandidate());
    EXPECT_EQ(Next(parser), "two");
    EXPECT_TRUE(parser.NoRepeatCandidate());
}

TEST(MemoParser, RangesAndCursor) {
    TMemoTarget target("alpha beta gamma\r\ndelta");
    TCustomMemoParser parser(target);
    target.Select(19, 0); // the "d" of delta
    parser.CheckFromCursor();
    EXPECT_EQ(Next(parser), "delta");
    // From inside "beta" (position 9, 1-based) back to its start, up to "gamma".
    parser.SetRange(9, 12);
    EXPECT_EQ(parser.Column(), 7);
    auto found = Walk(parser);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].word, "beta");
    EXPECT_EQ(found[1].word, "gamma");

    target.Select(19, 0); // beyond the stored end now
    parser.CheckFromCursor();
    EXPECT_FALSE(parser.GetNextWord());
}

TEST(MemoParser, CheckSelectionRunsFromWhereTheParserStandsToTheSelectionEnd) {
    struct Case {
        int wordsRead; // before the selection is checked
        int selStart;  // 0-based, as the control has it
        int selLength;
        W words;
    };
    const Case cases[] = {
        // A fresh parser stands at the text's start.
        {0, 6, 4, {"alpha", "beta"}},
        {0, 11, 5, {"alpha", "beta", "gamma"}},
        // After "beta" the parser stands on it; the selection start does not count.
        {2, 11, 5, {"beta", "gamma"}},
        {2, 0, 5, {}},
        {3, 18, 5, {"gamma", "delta"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.wordsRead << " read, " << c.selStart << "+" << c.selLength);
        TMemoTarget target("alpha beta gamma\r\ndelta");
        TCustomMemoParser parser(target);
        for (int i = 0; i < c.wordsRead; ++i)
            parser.GetNextWord();
        target.Select(c.selStart, c.selLength);
        parser.CheckSelection();
        EXPECT_EQ(parser.RangeEnd(), c.selStart + c.selLength);
        W words;
        for (const auto& f : Walk(parser))
            words.push_back(f.word);
        EXPECT_EQ(words, c.words);
    }
}

TEST(MemoParser, ReplacementsOfAnyLengthKeepTheRangeToTheEndOfTheText) {
    struct Case {
        const char* replacement;
        int rangeEnd; // kTextEnd: no range set
        int endAfter;
        int endAfterUndo;
        W rest;
    };
    const int nearEnd = kTextEnd - 2;
    const Case cases[] = {
        {"thee", kTextEnd, kTextEnd, kTextEnd, {"cat", "sat", "mat"}},
        {"the", kTextEnd, kTextEnd, kTextEnd, {"cat", "sat", "mat"}},
        {"t", kTextEnd, kTextEnd, kTextEnd, {"cat", "sat", "mat"}},
        {"theeeeeeeeeeeeeeeeee", kTextEnd, kTextEnd, kTextEnd, {"cat", "sat", "mat"}},
        // A set end moves with the text and never wraps past the largest position.
        {"theeeeeeeeeeeeeeeeee", nearEnd, kTextEnd - 1, kTextEnd - 18, {"cat", "sat", "mat"}},
        // Up to "sat": "mat" moves with the text and stays outside.
        {"thee", 15, 16, 15, {"cat", "sat"}},
        {"t", 15, 13, 15, {"cat", "sat"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.replacement << " up to " << c.rangeEnd);
        TMemoTarget target("a teh cat\r\nsat mat");
        TCustomMemoParser parser(target);
        if (c.rangeEnd != kTextEnd)
            parser.SetRange(1, c.rangeEnd);
        ASSERT_EQ(Next(parser), "a");
        ASSERT_EQ(Next(parser), "teh");
        parser.SetCurrentWord("teh");
        parser.SelectWord(parser.WordStart(), 3);
        parser.PushUndo();
        parser.ReplaceWord(c.replacement);
        EXPECT_EQ(parser.RangeEnd(), c.endAfter);
        W rest;
        while (auto word = parser.GetNextWord())
            rest.push_back(*word);
        EXPECT_EQ(rest, c.rest);
        // Taking the replacement back moves a set end back as well.
        parser.PushUndo();
        ASSERT_TRUE(parser.PopUndo());
        EXPECT_EQ(target.Text(), "a teh cat\r\nsat mat");
        EXPECT_EQ(parser.RangeEnd(), c.endAfterUndo);
    }
}

TEST(MemoParser, DeleteBlankOnlyAtABlank) {
    TMemoTarget target("a  b");
    TCustomMemoParser parser(target);
    parser.GetNextWord();
    parser.SelectWord(2, 0);
    EXPECT_TRUE(parser.DeleteBlank());
    EXPECT_EQ(target.Text(), "a b");
    EXPECT_TRUE(parser.DeleteBlank());
    EXPECT_EQ(target.Text(), "ab");
    EXPECT_FALSE(parser.DeleteBlank());
    EXPECT_EQ(target.Text(), "ab");
}

TEST(ParserUndo, DepthDisplayCodesAndPop) {
    TMemoTarget target("w1 w2 w3 w4 w5");
    TCustomMemoParser parser(target);
    std::vector<int> codes;
    parser.SetUndoNotify([&](const TUndo& u) { codes.push_back(u.displayCode); });
    parser.SetMaxUndo(3);
    EXPECT_EQ(parser.PopUndo(), nullptr);
    parser.PushUndo();
    EXPECT_FALSE(parser.CanUndo());
    EXPECT_EQ(parser.PopUndo(), nullptr); // one record: nothing to take back
    for (int kind : {ukAlwaysReplace, ukRepeatDeleted, ukRepeatDeletedTwo, ukAlwaysIgnore,
                     ukRepeatIgnored, ukLearned, ukLearnedReplace, ukNone}) {
        parser.PushUndo();
        parser.SetUndoKind(kind);
    }
    EXPECT_EQ(codes, (std::vector<int>{0, 2, 2, 3, 4, 5, 6, 1}));
    EXPECT_EQ(parser.UndoCount(), 3u);
    EXPECT_TRUE(parser.CanUndo());
}

TEST(ParserUndo, PopRestoresPositionAndText) {
    TMemoTarget target("teh cat adn dog");
    TCustomMemoParser parser(target);
    auto problem = [&](const char* word, const char* replacement) {
        while (auto w = parser.GetNextWord())
            if (*w == word)
                break;
        parser.SetCurrentWord(word);
        parser.SelectWord(parser.WordStart(), static_cast<int>(std::string(word).size()));
        parser.PushUndo();
        if (replacement)
            parser.ReplaceWord(replacement);
    };
    problem("teh", "the");
    problem("adn", "and");
    problem("dog", nullptr);
    EXPECT_EQ(target.Text(), "the cat and dog");
    auto record = parser.PopUndo(); // drops "dog", takes back "adn"
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->word, "adn");
    EXPECT_EQ(target.Text(), "the cat adn dog");
    EXPECT_EQ(Next(parser), "adn"); // the check goes on from the restored word
    parser.SetCurrentWord("adn");
    parser.SelectWord(parser.WordStart(), 3);
    parser.PushUndo();
    record = parser.PopUndo();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->word, "teh");
    EXPECT_EQ(target.Text(), "teh cat adn dog");
    EXPECT_EQ(Next(parser), "teh");
}

TEST(MemoParser, GeometryFollowsTheWord) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    TMemoTarget target(text);
    target.SetVisibleLineCount(20);
    TCustomMemoParser parser(target);
    std::optional<std::string> word;
    for (int i = 0; i < 121; ++i) // "line 60" is the 121st word
        word = parser.GetNextWord();
    ASSERT_EQ(*word, "line");
    ASSERT_EQ(parser.Line(), 60);
    parser.SelectWord(parser.WordStart(), 4);
    parser.ScrollToWord();
    EXPECT_EQ(target.FirstVisibleLine(), 50); // the word half a page down
    auto rect = parser.GetWordRect();
    ASSERT_TRUE(rect);
    auto control = *target.ControlRect();
    EXPECT_EQ(rect->left, control.left);
    EXPECT_EQ(rect->right, control.left + 4 * TMemoTarget::kCharWidth);
    EXPECT_EQ(rect->top, control.top + 10 * TMemoTarget::kLineHeight);
    EXPECT_EQ(rect->bottom - rect->top, TMemoTarget::kLineHeight);
    EXPECT_EQ(parser.GetAvoidDistance(), 3 * TMemoTarget::kLineHeight);
}

} // namespace
} // namespace speller
