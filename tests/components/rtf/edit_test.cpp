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
}

TEST(MarkupCodes, FoundWithoutRegardToCaseSkippingControlWords) {
    const std::string rtf = "See \\{LinkID=1\\b 2\\b0 >main\\} and \\{button Go,JumpID(`a',`b')\\}"
                            " and \\\\{linkID=9\\} and \\{\\{linkid=8\\}.";
    std::vector<MarkupCode> codes = FindMarkupCodes(rtf);
    ASSERT_EQ(codes.size(), 2u);
    EXPECT_EQ(codes[0].keyword, "LinkID=");
    EXPECT_EQ(codes[0].value, "12>main");
    EXPECT_TRUE(codes[0].closed);
    EXPECT_EQ(rtf.substr(codes[0].start, 2), "\\{");
    EXPECT_EQ(rtf.substr(codes[0].end - 2, 2), "\\}");
    EXPECT_EQ(rtf.substr(codes[0].valueStart, 1), "1");
    EXPECT_EQ(codes[1].keyword, "button ");
    EXPECT_EQ(codes[1].value, "Go,JumpID(`a',`b')");

    MarkupSearch search;
    search.keywords = {"linkid="};
    std::vector<MarkupCode> links = FindMarkupCodes(rtf, search);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].value, "12>main");
}

TEST(MarkupCodes, UnclosedEndsAtLineEndAndRawRtfNests) {
    std::vector<MarkupCode> codes = FindMarkupCodes(
        "\\{link=abc\r\nmore\\} \\{keepn\\} \\{rtf=\\{\\\\b x\\}\\} \\{bmc a.bmp\\}");
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_FALSE(codes[0].closed);
    EXPECT_EQ(codes[0].value, "abc");
    EXPECT_EQ(codes[1].keyword, "keepn");
    EXPECT_EQ(codes[1].value, "");
    EXPECT_EQ(codes[2].keyword, "rtf=");
    EXPECT_EQ(codes[2].value, "{\\b x}");
    EXPECT_EQ(codes[3].keyword, "bmc ");
    EXPECT_EQ(codes[3].value, "a.bmp");
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

TEST(SplitAtPage, NoPageGivesOnePiece) {
    std::vector<std::string_view> pieces = SplitAtPage("{\\rtf1 a\\pagebb b\\pages c}");
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(MatchingBrace("{a{b}\\}c}d", 0), 8u);
    EXPECT_EQ(MatchingBrace("{a{b}", 0), std::string_view::npos);
}
