#include <gtest/gtest.h>

#include <string>

#include "components/rtf/rtferror.h"
#include "components/rtf/rtftokenizer.h"
#include "rtf_support.h"

using namespace rtf;

namespace {

std::string Concat(const std::vector<Token>& tokens) {
    std::string out;
    for (const Token& t : tokens)
        out += t.raw;
    return out;
}

std::string RewriteRaw(std::string_view source) {
    TokenWriter writer;
    for (const Token& t : Tokenize(source))
        writer.Raw(t);
    return writer.Take();
}

} // namespace

TEST(Tokenizer, FixturesRoundTripByteForByte) {
    for (const std::string& name : rtftest::FixtureNames()) {
        SCOPED_TRACE(name);
        std::string bytes = rtftest::ReadFixture(name);
        std::string error;
        std::vector<Token> tokens = Tokenize(bytes, &error);
        EXPECT_TRUE(error.empty());
        EXPECT_EQ(Concat(tokens), bytes);
        EXPECT_EQ(RewriteRaw(bytes), bytes);
    }
}

TEST(Tokenizer, ControlWordsAndParameters) {
    std::vector<Token> t = Tokenize("\\fs20 \\fi-360\\b0\\par\\li99999999999 x\\cf2x");
    ASSERT_EQ(t.size(), 8u);
    EXPECT_TRUE(t[0].Is("fs"));
    EXPECT_TRUE(t[0].hasParam);
    EXPECT_EQ(t[0].param, 20);
    EXPECT_EQ(t[0].raw, "\\fs20 "); // the delimiting blank belongs to the word
    EXPECT_EQ(t[1].param, -360);
    EXPECT_EQ(t[2].param, 0);
    EXPECT_TRUE(t[2].hasParam);
    EXPECT_FALSE(t[3].hasParam);
    EXPECT_EQ(t[4].param, 2147483647); // clamped to 32 bits
    EXPECT_EQ(t[5].kind, TokenKind::Text);
    EXPECT_EQ(t[5].raw, "x");
    EXPECT_EQ(t[6].param, 2);
    EXPECT_EQ(t[7].raw, "x");
    EXPECT_EQ(Tokenize("\\dn-99999999999")[0].param, -2147483647 - 1);
}

TEST(Tokenizer, SymbolsHexAndMalformedBytes) {
    struct Case {
        std::string input;
        TokenKind kind;
        char symbol;
        int param;
    };
    const Case cases[] = {
        {"\\{", TokenKind::ControlSymbol, '{', 0},
        {"\\}", TokenKind::ControlSymbol, '}', 0},
        {"\\\\", TokenKind::ControlSymbol, '\\', 0},
        {"\\~", TokenKind::ControlSymbol, '~', 0},
        {"\\-", TokenKind::ControlSymbol, '-', 0},
        {"\\_", TokenKind::ControlSymbol, '_', 0},
        {"\\*", TokenKind::ControlSymbol, '*', 0},
        {"\\'e9", TokenKind::HexByte, 0, 0xE9},
        {"\\'B7", TokenKind::HexByte, 0, 0xB7},
        // Broken escapes and a lone backslash stay text.
        {"\\'zz", TokenKind::Text, 0, 0},
        {"\\'", TokenKind::Text, 0, 0},
        {"\\", TokenKind::Text, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        std::vector<Token> t = Tokenize(c.input);
        ASSERT_FALSE(t.empty());
        EXPECT_EQ(t[0].kind, c.kind);
        EXPECT_EQ(t[0].symbol, c.symbol);
        EXPECT_EQ(t[0].param, c.param);
        EXPECT_EQ(Concat(t), c.input);
    }
}

TEST(Tokenizer, BinaryDataIsOpaqueAndBounded) {
    std::string rtf = "{\\pict\\bin5 {}\\x}}tail}";
    std::vector<Token> t = Tokenize(rtf);
    ASSERT_GE(t.size(), 5u);
    EXPECT_EQ(t[2].raw, "\\bin5 ");
    EXPECT_EQ(t[3].kind, TokenKind::BinaryData);
    EXPECT_EQ(t[3].raw, "{}\\x}");
    EXPECT_EQ(t[4].kind, TokenKind::GroupEnd);
    EXPECT_EQ(Concat(t), rtf);
    // A length beyond the data takes only what is there.
    std::string cut = "{\\bin1000000 abc";
    std::vector<Token> c = Tokenize(cut);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[2].raw, "abc");
    EXPECT_EQ(Concat(c), cut);
}

TEST(Tokenizer, BinaryDataAndDepthRulesCanBeLifted) {
    // Typed text is read byte for byte: "\bin" takes no data.
    const std::string rtf = "\\bin3 \\{x\\}";
    std::vector<Token> t = Tokenize(rtf, nullptr, {.binaryData = false});
    ASSERT_EQ(t.size(), 4u);
    EXPECT_TRUE(t[1].IsSymbol('{'));
    EXPECT_EQ(Concat(t), rtf);
    EXPECT_EQ(Tokenize(rtf)[1].kind, TokenKind::BinaryData);

    std::string error;
    const std::string deep(5000, '{');
    EXPECT_EQ(Tokenize(deep, &error, {.limitDepth = false}).size(), deep.size());
    EXPECT_TRUE(error.empty());
}

TEST(Tokenizer, RefusesNestingBeyondLimitWithoutRecursion) {
    std::string fine(kMaxGroupDepth, '{');
    std::string error;
    Tokenize(fine, &error);
    EXPECT_TRUE(error.empty());

    std::string deep(200000, '{');
    std::vector<Token> tokens = Tokenize(deep, &error);
    EXPECT_EQ(tokens.size(), static_cast<std::size_t>(kMaxGroupDepth));
    EXPECT_NE(error.find("nested more than 1000"), std::string::npos);
    EXPECT_THROW(TokenizeOrThrow(deep), ERtfError);
    // Closing groups keep the depth down.
    std::string wide;
    for (int i = 0; i < 5000; ++i)
        wide += "{x}";
    Tokenize(wide, &error);
    EXPECT_TRUE(error.empty());
}

TEST(TokenWriter, DelimitsControlWordsOnlyWhenNeeded) {
    TokenWriter w;
    w.ControlWord("b");
    w.Text("bold");
    w.ControlWord("b", 0);
    w.ControlWord("i");
    w.Text("{x}\\\t\xE9");
    w.ControlWord("fs", 20);
    w.Text("1");
    w.ControlWord("par");
    EXPECT_EQ(w.Take(), "\\b bold\\b0\\i\\{x\\}\\\\\\tab\\'e9\\fs20 1\\par");
    EXPECT_EQ(EscapeText("a\\b"), "a\\\\b");
}

TEST(TokenWriter, TextAfterAControlWordNeverJoinsIt) {
    // Text pieces that would run into the word before them get a blank;
    // the result always reads back as the same word and the same text.
    struct Case {
        bool param;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {true, "-5", "\\f7-5"},  {true, "5", "\\f7 5"},   {true, "x", "\\f7x"},
        {true, " a", "\\f7  a"}, {false, "-5", "\\b -5"}, {false, "-x", "\\b-x"},
        {false, "x", "\\b x"},   {false, "5", "\\b 5"},   {false, ";", "\\b;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TokenWriter w;
        if (c.param)
            w.ControlWordLike(Tokenize("\\f1")[0], 7);
        else
            w.ControlWord("b");
        w.Raw(std::string_view(c.text));
        std::string out = w.Take();
        EXPECT_EQ(out, c.expected);
        std::vector<Token> t = Tokenize(out);
        ASSERT_EQ(t.size(), 2u);
        EXPECT_EQ(t[0].name, c.param ? "f" : "b");
        EXPECT_EQ(t[1].raw, c.text);
    }
}
