#include <gtest/gtest.h>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/projectfilelines.h"
#include "helpproject/textstylemacro.h"

using namespace helpproject;

namespace {

TTextStyleMacro ReadBlock(const std::string& block, int version) {
    TProjectFileReader in(block, "s");
    TTextStyleMacro style;
    style.ReadFromText(in, version);
    EXPECT_TRUE(in.AtEnd());
    return style;
}

std::string Block(const std::string& styleLine, const std::string& tabs) {
    return "0\r\nArial\r\n0\r\n10\r\n0\r\n" + styleLine + "\r\n0\r\n0\r\n0\r\n0\r\n0\r\n" + tabs;
}

} // namespace

TEST(TextStyles, StyleLine) {
    struct Case {
        const char* line;
        bool bold, italic, underline, strike;
    };
    for (const Case& c :
         {Case{"B...", true, false, false, false}, Case{"BI..", true, true, false, false},
          Case{"xIyz", false, true, false, false}, Case{"B", true, false, false, false},
          Case{"", false, false, false, false}, Case{"bius", false, false, false, false},
          Case{"IBSU", false, false, false, false}, Case{"BIUS", true, true, true, true}}) {
        TTextStyleMacro s = ReadBlock(Block(c.line, "0\r\n"), 16);
        EXPECT_EQ(s.Font.Bold, c.bold) << c.line;
        EXPECT_EQ(s.Font.Italic, c.italic) << c.line;
        EXPECT_EQ(s.Font.Underline, c.underline) << c.line;
        EXPECT_EQ(s.Font.StrikeOut, c.strike) << c.line;
    }
    TTextStyleMacro s;
    s.Font.Bold = s.Font.Italic = true;
    EXPECT_EQ(s.FontStyleText(), "BI..");
}

TEST(TextStyles, MoreThan32TabStops) {
    std::string tabs = "40\r\n";
    for (int i = 1; i <= 40; ++i)
        tabs += std::to_string(i * 100) + "\r\n";
    TTextStyleMacro s = ReadBlock(Block("....", tabs), 16); // all 40 lines consumed
    EXPECT_EQ(s.TabCount, 32);
    EXPECT_EQ(s.Tabs[31], 3200);
    std::string out;
    TProjectFileWriter w(out);
    s.WriteToText(w);
    EXPECT_EQ(ReadBlock(out, 16), s);
}

TEST(TextStyles, ListRules) {
    TTextStyleList list;
    TTextStyleMacro a, b;
    a.LeftIndent = 1;
    b.LeftIndent = 2;
    list.Add("*TopicText", a);
    list.Add("*topictext", b);
    list.Add("Mine", a);
    list.Add("Mine", b); // stored twice: one entry, the last wins
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Items()[0].Style, list.BuiltIn("*TopicText"));
    EXPECT_EQ(list.BuiltIn("*TopicText")->LeftIndent, 1);
    EXPECT_EQ(list.BuiltIn("*topictext"), nullptr);
    EXPECT_NE(list.Items()[1].Style, list.BuiltIn("*TopicText"));
    EXPECT_EQ(list.Find("Mine")->LeftIndent, 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.BuiltIn("*TopicText")->LeftIndent, 1); // built-ins survive
    list.Add("Gone", a);
    list.Remove("Gone");
    EXPECT_EQ(list.Count(), 0u);
}

TEST(TextStyles, DuplicateNameInFileLastWins) {
    TBrindlewovenProject p;
    TTextStyleList styles;
    TTextStyleMacro one, two;
    one.RightIndent = 1;
    two.RightIndent = 2;
    styles.Add("Dup", one);
    styles.Add("Other", one);
    std::string bytes = p.SaveToBytes(&styles);
    // Rename "Other" to "Dup" in the file.
    bytes.replace(bytes.find("Other\r\n"), 5, "Dup");
    std::size_t second = bytes.rfind("Dup\r\n");
    // The second block's right indent line: set it to 2.
    std::size_t pos = second;
    for (int i = 0; i < 11; ++i)
        pos = bytes.find("\r\n", pos) + 2;
    bytes.replace(pos, 1, "2");
    TTextStyleList back;
    auto q = std::make_unique<TBrindlewovenProject>();
    q->LoadFromBytes(bytes, "d.bwv", &back);
    ASSERT_EQ(back.Count(), 1u);
    EXPECT_EQ(back.Find("Dup")->RightIndent, 2);
}
