#include "components/pcreregex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using components::EPcreRegEx;
using components::TPcreRegEx;

namespace {

std::string Replace(std::string_view pattern, std::string_view subject,
                    std::string_view replacement, components::TPcreRegExOptions options = 0) {
    TPcreRegEx re;
    re.SetOptions(options);
    re.SetRegEx(pattern);
    re.SetReplacement(replacement);
    re.SetInputText(subject);
    re.ReplaceEvery();
    return re.InputText();
}

struct ExpansionCase {
    const char* pattern;
    const char* subject;
    const char* replacement;
    const char* expected;
};

class Expansion : public testing::TestWithParam<ExpansionCase> {};

TEST_P(Expansion, ExpandsTemplateForFirstMatch) {
    const ExpansionCase& c = GetParam();
    TPcreRegEx re;
    re.SetRegEx(c.pattern);
    re.SetReplacement(c.replacement);
    re.SetInputText(c.subject);
    ASSERT_TRUE(re.MatchFirst());
    EXPECT_EQ(re.ExpandReplacement(), c.expected) << c.replacement;
}

INSTANTIATE_TEST_SUITE_P(
    Templates, Expansion,
    testing::Values(
        // $10 with nine groups: group 1, then the character 0.
        ExpansionCase{"(a)(b)(c)(d)(e)(f)(g)(h)(i)", "abcdefghi", "$10", "a0"},
        // ... and with ten groups it is group 10.
        ExpansionCase{"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", "abcdefghij", "$10|\\10", "j|j"},
        ExpansionCase{"(a)(b)", "ab", "${10}x", "x"},
        ExpansionCase{"(?<word>b+)", "abbc", "${word}-${nope}-${1}", "bb--bb"},
        ExpansionCase{"(b)", "abc", "[$2]", "[]"}, ExpansionCase{"(b)", "abc", "cost$", "cost$"},
        ExpansionCase{"(b)", "abc", "\\", "\\"},
        ExpansionCase{"(b)", "abc", "$$1 \\$1 \\\\1", "$1 $1 \\1"},
        ExpansionCase{"(b)", "abc", "<$&|$`|$'|$+|$_>", "<b|a|c|b|abc>"},
        ExpansionCase{"(b)", "abc", "<\\&|\\`|\\'|\\+|\\_>", "<b|a|c|b|\\_>"},
        ExpansionCase{"(b)", "abc", "${x", "${x"}, ExpansionCase{"(b)", "abc", "\\{1}", "\\{1}"},
        ExpansionCase{"(b)", "abc", "$?", "$?"}, ExpansionCase{"(\\w+)", "abc", "\\u1", "ABC"},
        ExpansionCase{"(.+)", "hELLO wORLD", "\\i1", "Hello World"},
        ExpansionCase{"(.+)", "hELLO wORLD", "\\I1", "Hello World"},
        ExpansionCase{"(.+)", "hELLO wORLD", "\\f1", "Hello world"},
        ExpansionCase{"(.+)", "hELLO wORLD", "\\L1|\\U1", "hello world|HELLO WORLD"},
        ExpansionCase{"(.+)", "o'neil-smith (x)", "\\i1", "O'neil-Smith (X)"},
        ExpansionCase{"(.+)", "\xE9t\xE9 \xE0 \xB7paris", "\\i1", "\xC9t\xE9 \xC0 \xB7Paris"},
        ExpansionCase{"(b)", "abc", "\\u", "\\u"}, ExpansionCase{"(b)", "abc", "\\ux", "\\ux"},
        ExpansionCase{"(?<n_1>b)", "abc", "[\\g<n_1>][\\g<zz>]", "[b][]"},
        ExpansionCase{"(?<n_1>b)", "abc", "\\g<n_1", "\\g<n_1"},
        ExpansionCase{"(?<n_1>b)", "abc", "\\g<1>\\gx", "\\g<1>\\gx"},
        ExpansionCase{"(b)", "abc", "\\q", "\\q"},
        // Inserted text is never expanded again.
        ExpansionCase{"(\\$1)", "a$1c", "$1$1", "$1$1"}));

TEST(PcreRegEx, MatchLoopReportsOneBasedOffsetsAndGroups) {
    TPcreRegEx re;
    re.SetRegEx("(\\d+)-(\\d+)?");
    re.SetInputText("x 12- 345-6");
    ASSERT_TRUE(re.MatchFirst());
    EXPECT_EQ(re.MatchedTextOffset(), 3);
    EXPECT_EQ(re.MatchedTextLength(), 3);
    EXPECT_EQ(re.GroupCount(), 1); // the unset last group is not counted
    EXPECT_EQ(re.GetGroup(1), "12");
    EXPECT_EQ(re.GetGroup(2), "");
    EXPECT_EQ(re.SubjectLeft(), "x ");
    EXPECT_EQ(re.SubjectRight(), " 345-6");
    ASSERT_TRUE(re.MatchNext());
    EXPECT_EQ(re.MatchedTextOffset(), 7);
    EXPECT_EQ(re.GroupCount(), 2);
    EXPECT_EQ(re.GetGroup(2), "6");
    EXPECT_EQ(re.GroupOffset(2), 11);
    EXPECT_EQ(re.GroupLength(2), 1);
    EXPECT_FALSE(re.MatchNext());
}

TEST(PcreRegEx, EmptyMatchesVisitEveryPositionOnceWhenAllowed) {
    TPcreRegEx re;
    re.SetRegEx("x*");
    re.SetInputText("abc");
    // The default state refuses empty matches.
    EXPECT_FALSE(re.MatchFirst());

    re.SetExecState(0);
    std::vector<int> positions;
    for (bool ok = re.MatchFirst(); ok; ok = re.MatchNext())
        positions.push_back(re.MatchedTextOffset());
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(re.MatchCount(), -1);
}

TEST(PcreRegEx, CaseInsensitiveMatchCoversAccentedLetters) {
    TPcreRegEx re;
    re.SetOptions(components::preCaseLess);
    re.SetRegEx("\xC9T\xC9 \xC0 \x8A\xC6");         // ÉTÉ À ŠÆ
    re.SetInputText("en \xE9t\xE9 \xE0 \x9A\xE6!"); // été à šæ
    ASSERT_TRUE(re.MatchFirst());
    EXPECT_EQ(re.MatchedTextOffset(), 4);

    re.SetOptions(0);
    EXPECT_FALSE(re.MatchFirst());

    // \w and [[:upper:]] know the accented letters too.
    re.SetRegEx("^\\w+$");
    re.SetInputText("Gr\xFC\xDF\x9F");
    EXPECT_TRUE(re.MatchFirst());
    re.SetRegEx("[[:upper:]]");
    re.SetInputText("a\xFF\x9F");
    ASSERT_TRUE(re.MatchFirst());
    EXPECT_EQ(re.MatchedTextOffset(), 3);
}

TEST(PcreRegEx, CharacterTablesAgreeWithPcreOnAscii) {
    // Our tables must use PCRE2's own layout: for the ASCII half they equal
    // what PCRE2 builds for the C locale.
    const unsigned char* ours = components::Cp1252CharacterTables();
    const uint8_t* theirs = pcre2_maketables(nullptr);
    ASSERT_NE(theirs, nullptr);
    for (int c = 0; c < 128; ++c) {
        EXPECT_EQ(ours[c], theirs[c]) << "lcc " << c;
        EXPECT_EQ(ours[256 + c], theirs[256 + c]) << "fcc " << c;
        EXPECT_EQ(ours[832 + c], theirs[832 + c]) << "ctypes " << c;
    }
    for (int map = 0; map < 10; ++map)
        for (int b = 0; b < 16; ++b)
            EXPECT_EQ(ours[512 + map * 32 + b], theirs[512 + map * 32 + b]) << map << "/" << b;
    pcre2_maketables_free(nullptr, theirs);
}

TEST(PcreRegEx, OptionsMapOneToOne) {
    EXPECT_EQ(Replace("^b", "a\nb\r\nb", "X", components::preMultiLine), "a\nX\r\nX");
    // Any newline sequence ends a line.
    EXPECT_EQ(Replace("^b",
                      "a\rb\x85"
                      "b",
                      "X", components::preMultiLine),
              "a\rX\x85X");
    EXPECT_EQ(Replace("a.b", "a\nb", "X"), "a\nb");
    EXPECT_EQ(Replace("a.b", "a\nb", "X", components::preSingleLine), "X");
    EXPECT_EQ(Replace("a b # comment", "ab", "X", components::preExtended), "X");
    EXPECT_EQ(Replace("b", "ab", "X", components::preAnchored), "ab");
    EXPECT_EQ(Replace("a+", "aaa", "X", components::preUnGreedy), "XXX");
    EXPECT_EQ(Replace("(a)(?<n>b)", "ab", "$1|$n|${n}", components::preNoAutoCapture), "b|$n|b");
}

TEST(PcreRegEx, ErrorsCarryTheirMessagesAndLeaveTheObjectUsable) {
    TPcreRegEx re;
    re.SetInputText("abc");
    try {
        re.Compile();
        FAIL();
    } catch (const EPcreRegEx& e) {
        EXPECT_STREQ(e.what(),
                     "TPcreRegEx.Compile() - Please specify a regular expression in RegEx first");
    }
    re.SetRegEx("a(b");
    try {
        re.MatchFirst();
        FAIL();
    } catch (const EPcreRegEx& e) {
        EXPECT_EQ(
            std::string(e.what()).rfind("TPcreRegEx.Compile() - Error in regex at offset 3: ", 0),
            0u)
            << e.what();
    }
    EXPECT_FALSE(re.Compiled());
    re.SetRegEx("b");
    re.Study();
    EXPECT_TRUE(re.Studied());
    EXPECT_TRUE(re.MatchFirst());
    re.SetOptions(components::preCaseLess);
    EXPECT_FALSE(re.Compiled());
    EXPECT_FALSE(re.Studied());
}

TEST(PcreRegEx, MatchLimitIsAnErrorNotNoMatch) {
    TPcreRegEx re;
    re.SetRegEx("(a+)+$");
    re.SetMatchLimit(1000);
    re.SetInputText(std::string(30, 'a') + "b");
    try {
        re.MatchFirst();
        FAIL() << "expected the match limit to be reported";
    } catch (const EPcreRegEx& e) {
        EXPECT_NE(std::string(e.what()).find("limit"), std::string::npos) << e.what();
    }
    re.Study(); // the JIT honours the same limit
    EXPECT_THROW(re.MatchFirst(), EPcreRegEx);
}

TEST(PcreRegEx, MoreThanNinetyNineGroups) {
    std::string pattern, subject;
    for (int i = 0; i < 150; ++i) {
        pattern += "(.)";
        subject += static_cast<char>('A' + i % 26);
    }
    TPcreRegEx re;
    re.SetRegEx(pattern);
    re.SetInputText(subject);
    re.SetReplacement("${150}${120}$99");
    ASSERT_TRUE(re.MatchFirst());
    EXPECT_EQ(re.GroupCount(), 150);
    EXPECT_EQ(re.GetGroup(150), std::string(1, 'A' + 149 % 26));
    const std::string expected = {static_cast<char>('A' + 149 % 26),
                                  static_cast<char>('A' + 119 % 26),
                                  static_cast<char>('A' + 98 % 26)};
    EXPECT_EQ(re.ExpandReplacement(), expected);
}

TEST(PcreRegEx, ReplaceCurrentKeepsLaterMatchesInPlace) {
    TPcreRegEx re;
    re.SetRegEx("(\\d+)");
    re.SetReplacement("<$1$1>");
    re.SetInputText("1 22 333");
    std::vector<int> offsets;
    for (bool ok = re.MatchFirst(); ok; ok = re.MatchNext()) {
        offsets.push_back(re.MatchedTextOffset());
        re.ReplaceCurrent();
    }
    EXPECT_EQ(re.InputText(), "<11> <2222> <333333>");
    EXPECT_EQ(offsets, (std::vector<int>{1, 6, 13}));
    EXPECT_EQ(re.ScanStop(), static_cast<int>(re.InputText().size()));
}

TEST(PcreRegEx, ReplaceEverySeesTheReplacedTextOnTheLeft) {
    TPcreRegEx re;
    re.SetRegEx("b");
    re.SetReplacement("[$`]");
    re.SetInputText("abab");
    EXPECT_TRUE(re.ReplaceEvery());
    // The second match's left part already holds the first replacement.
    EXPECT_EQ(re.InputText(), "a[a]a[a[a]a]");

    re.SetRegEx("z");
    EXPECT_FALSE(re.ReplaceEvery());
}

TEST(PcreRegEx, ReplaceEventMayChangeTheText) {
    TPcreRegEx re;
    re.SetRegEx("\\w+");
    re.SetReplacement("$&");
    int matches = 0;
    re.OnMatch = [&](TPcreRegEx&) { ++matches; };
    re.OnReplace = [](TPcreRegEx& sender, std::string& with) {
        with = std::to_string(sender.MatchedTextLength());
    };
    re.SetInputText("one three, x");
    re.ReplaceEvery();
    EXPECT_EQ(re.InputText(), "3 5, 1");
    EXPECT_EQ(matches, 3);
}

TEST(PcreRegEx, LongReplaceAllStaysLinear) {
    // 400,000 matches: quadratic copying would take minutes.
    std::string subject;
    for (int i = 0; i < 200000; ++i)
        subject += "<FONT FACE=\"A\"></FONT>x<font></font>";
    TPcreRegEx re;
    re.SetOptions(components::preCaseLess);
    re.SetRegEx("<FONT[^>]*></FONT>");
    re.Study();
    re.SetInputText(subject);
    EXPECT_TRUE(re.ReplaceEvery());
    EXPECT_EQ(re.InputText(), std::string(200000, 'x'));
}

} // namespace
