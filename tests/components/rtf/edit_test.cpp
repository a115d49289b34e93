#include <gtest/gtest.h>

#include "components/rtf/rtfedit.h"
#include "rtf_support.h"

using namespace rtf;

TEST(TokenEdits, RemoveControlWordCopiesTheRestVerbatim) {
    EXPECT_EQ(RemoveControlWord("\\b bold\\b0  \\\\b lit\r\n\\b\\i x", "b"),
              "bold \\\\b lit\r\n\\i x");
    EXPECT_EQ(RemoveControlWord("\\b0 1 \\b x", "b", 0), "1 \\b x");
    // Removing a word between a number and digits keeps them apart.
    EXPECT_EQ(RemoveControlWord("\\fs20\\b0 1", "b"), "\\fs20 1");
    EXPECT_EQ(ReplaceControlWord("{\\uldb Jump}{\\v id} \\uldb0 x", "uldb", "strike"),
              "{\\strike Jump}{\\v id} \\strike0 x");
}

TEST(TokenEdits, RemoveDestination) {
    EXPECT_EQ(RemoveDestination("a{\\pntext\\f1\\'b7\\tab}b{\\*\\generator x;}c", "pntext"),
              "ab{\\*\\generator x;}c");
    EXPECT_EQ(RemoveDestination("a{\\*\\generator x;}c", "generator"), "ac");
    EXPECT_EQ(RemoveDestination("a{\\pntext unclosed", "pntext"), "a");
    // In any case, the first group only.
    const std::string sheets = "{\\STYLESHEET{\\s0 N;}}x{\\stylesheet b}";
    EXPECT_EQ(RemoveDestination(sheets, "stylesheet"), "{\\STYLESHEET{\\s0 N;}}x");
    EXPECT_EQ(RemoveDestination(sheets, "stylesheet", {.ignoreCase = true, .firstOnly = true}),
              "x{\\stylesheet b}");
    EXPECT_EQ(RemoveDestination(sheets, "stylesheet", {.ignoreCase = true}), "x");
}

TEST(RewriteGroups, HiddenGroupsBecomeCodes) {
    const std::string rtf = rtftest::ReadFixture("winhelp.rtf");
    std::string out = RewriteGroups(rtf, [](const GroupView& g) -> std::optional<std::string> {
        if (g.destination != "v")
            return std::nullopt;
        std::string text = g.Text();
        while (!text.empty() && text.front() == ' ')
            text.erase(0, 1);
        return "\\{link=" + text + "\\}";
    });
    EXPECT_NE(out.find("{\\uldb Details}\\{link=details\\}"), std::string::npos);
    EXPECT_NE(out.find("\\{link=gloss>popup\\}"), std::string::npos);
    EXPECT_NE(out.find("\\{link=!ExecFile(notepad)\\}"), std::string::npos);
    EXPECT_EQ(out.find("{\\v"), std::string::npos);
    // Everything else is untouched.
    EXPECT_EQ(RewriteGroups(rtf, [](const GroupView&) { return std::nullopt; }), rtf);
}

TEST(SplitAtPage, NoPageGivesOnePiece) {
    std::vector<std::string_view> pieces = SplitAtPage("{\\rtf1 a\\pagebb b\\pages c}");
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(MatchingBrace("{a{b}\\}c}d", 0), 8u);
    EXPECT_EQ(MatchingBrace("{a{b}", 0), std::string_view::npos);
}
