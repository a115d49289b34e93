// The finder of typed markup codes, with the rules of its two kinds of
// reader.
#include <gtest/gtest.h>

#include <string>

#include "components/rtf/rtfmarkupcodes.h"

using namespace rtf;

namespace {

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

// The readers of typed topic lines take a code only where a keyword of
// their vocabulary stands as written, read a line byte for byte and leave
// "\tab" out; the import's search takes the typed keyword.
MarkupSearch AsWritten() {
    MarkupSearch search;
    search.keywords = {"linkID=", "link=", "rtf=", "keepn"};
    search.keywordsAsWritten = true;
    search.stopAtLineEnd = false;
    search.doubledBraceIsText = false;
    search.valuelessKeywords = {"keepn"};
    search.tabIsText = false;
    search.lexing = {.binaryData = false, .limitDepth = false};
    return search;
}

TEST(MarkupCodes, RulesOfBothKindsOfReader) {
    struct Case {
        const char* name;
        std::string rtf;
        std::string typed;   // "keyword|value|braces" of each code, typed keyword, and "!"
                             // when a group brace splits a raw RTF value
        std::string written; // the same with the keyword as written
    };
    const Case cases[] = {
        {"formatting inside the keyword", R"(\{link\b ID=12\})", "linkID=|12|;", ""},
        {"doubled brace", R"(\{\{linkID=1\})", "", "linkID=|1|;"},
        {"tab in the value", R"(\{link=a\tab b\})", "link=|a\tb|;", "link=|ab|;"},
        {"group braces inside", R"(\{link=a{\b b}\})", "link=|ab|{};", "link=|ab|{};"},
        {"valueless code with text", R"(\{keepn it\}\{keepn\b \})", "keepn |it|;keepn||;",
         "keepn||;"},
        {"unclosed valueless code", R"(\{keepn)", "keepn||;", ""},
        {"raw RTF: escaped brace typed", R"(\{rtf=\\\{\}x)", "rtf=|\\{|;", "rtf=|\\{|;"},
        {"raw RTF: hex stays as written", R"(\{rtf=\'e9\})", "rtf=|\\'e9|;", "rtf=|\\'e9|;"},
        {"raw RTF closed by a group brace", "\\{rtf=a}x", "rtf=|a|!;", "rtf=|a|!;"},
        {"raw RTF holding a group of the RTF", R"(\{rtf={\b x}\})", "rtf=|{x}|!;", "rtf=|{x}|!;"},
        {"raw RTF with typed braces only", R"(\{rtf=\{\\b x\}\})", "rtf=|{\\b x}|;",
         "rtf=|{\\b x}|;"},
        {"binary data", "\\bin4 \\{link=a\\}", "", "link=|a|;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool written : {false, true}) {
            std::string found;
            for (const MarkupCode& code :
                 FindMarkupCodes(c.rtf, written ? AsWritten() : MarkupSearch{}))
                found += code.keyword + "|" + code.value + "|" + code.groupBraces +
                         (code.splitByGroup ? "!" : "") + ";";
            EXPECT_EQ(found, written ? c.written : c.typed) << (written ? "as written" : "typed");
        }
    }
}

} // namespace
