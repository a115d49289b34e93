#include "platform/codepage.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CodePage, AllBytesRoundTripThroughUtf16AndUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(CodePage, UndefinedBytesMapToC1Controls) {
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(Cp1252ToUnicode(b), char16_t(b)) << int(b);
    EXPECT_EQ(Cp1252ToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(Cp1252ToUnicode(0x9F), u'\u0178');
}

TEST(CodePage, UnmappableCharactersBecomeReplacement) {
    EXPECT_EQ(Utf8ToCp1252("a\xE2\x82\xAC\xE4\xB8\xAD"), "a\x80?"); // euro, CJK
    EXPECT_EQ(Utf8ToCp1252("\xFF\xC3"), "??");                      // invalid bytes
    EXPECT_EQ(Utf16ToCp1252(u"x\U0001F600y"), "x?y");               // surrogate pair
    EXPECT_TRUE(Utf8FitsCp1252("Caf\xC3\xA9"));
    EXPECT_FALSE(Utf8FitsCp1252("\xE4\xB8\xAD"));
}

TEST(CodePage, CaseTables) {
    struct Case {
        unsigned char lower, upper;
    } cases[] = {
        {'a', 'A'},   {0xE9, 0xC9}, {0xFF, 0x9F}, {0x9A, 0x8A},
        {0x9C, 0x8C}, {0x9E, 0x8E}, {0xE0, 0xC0}, {0xFE, 0xDE},
    };
    for (auto c : cases) {
        EXPECT_EQ(AnsiUpper(c.lower), c.upper);
        EXPECT_EQ(AnsiLower(c.upper), c.lower);
    }
    // Letters without a single-byte partner map to themselves.
    EXPECT_EQ(AnsiUpper(0xDF), 0xDF);
    EXPECT_EQ(AnsiUpper(0xB5), 0xB5);
    EXPECT_EQ(AnsiUpper('1'), '1');
    EXPECT_EQ(AnsiUpperCase("caf\xE9"), "CAF\xC9");
}

TEST(CodePage, OemConversion) {
    EXPECT_EQ(ToOemText("Caf\xE9"), "Caf\x82");
    EXPECT_EQ(ToOemText("\xC0 la"), "A la"); // no capital A grave in 437: best fit
    EXPECT_EQ(ToOemText("plain"), "plain");
    EXPECT_EQ(Oem437ToUtf8("Caf\x82"), "Caf\xC3\xA9");
}

TEST(CodePage, Comparisons) {
    EXPECT_EQ(AnsiCompareText("ABC", "abc"), 0);
    EXPECT_TRUE(AnsiSameText("CAF\xC9", "caf\xE9"));
    EXPECT_LT(AnsiCompareText("abc", "abd"), 0);
    EXPECT_LT(AnsiCompareText("ab", "abc"), 0);
    // Linguistic fold: accented letters sort beside their base letter.
    EXPECT_LT(AnsiCompareTextLinguistic("\xE9t\xE9", "f"), 0);
    EXPECT_GT(AnsiCompareTextLinguistic("\xE9t\xE9", "d"), 0);
    EXPECT_EQ(AnsiCompareTextLinguistic("ABC", "abc"), 0);
    EXPECT_NE(AnsiCompareStrLinguistic("ABC", "abc"), 0);
}
