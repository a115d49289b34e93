#include <gtest/gtest.h>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/helputils.h"

using namespace helpproject;

TEST(ProjectModel, NewProjectDefaults) {
    TBrindlewovenProject p;
    ASSERT_EQ(p.TopicCount(), 1);
    const TBrindlewovenTopic& t = *p.Topics()[0];
    EXPECT_EQ(t.Number, 10);
    EXPECT_EQ(t.TopicID, "Vellumar10");
    EXPECT_EQ(t.Title, "<new topic>");
    EXPECT_EQ(t.Text, (TStringList{"<new topic>", ""}));
    EXPECT_EQ(t.Status, "Writing");
    EXPECT_FALSE(t.Bookmark);
    EXPECT_EQ(p.Compiler, helpproject::THelpCompiler::None);
    EXPECT_EQ(p.Config, TStringList{"BrowseButtons()"});
    EXPECT_TRUE(p.HtmlPngImages);
    EXPECT_EQ(p.HtmlLinkColor, 0xFF0000);
    EXPECT_EQ(p.HtmlVisitedColor, 0x800080);
    EXPECT_EQ(p.HtmlActiveColor, 0x0000FF);
    EXPECT_EQ(p.WindowWidth, 600);
    EXPECT_EQ(p.WebFormat, 1);
    EXPECT_EQ(p.WebContentsTitle, "%s Contents");
    ASSERT_EQ(p.SortedTopics().size(), 1u);
    ASSERT_EQ(p.TopicsByTitle().size(), 1u);
    EXPECT_EQ(p.TopicsByTitle()[0].Text, "<new topic> (10)");
    EXPECT_EQ(p.TopicsByNumber()[0].Text, "10: <new topic>");
}

TEST(ProjectModel, AssignKeepsAutomaticTargetID) {
    struct Case {
        const char* sourceID;
        const char* expectedTargetID;
    };
    for (const Case& c : {Case{"VELLUMAR7", "Mine"}, Case{"vellumar7", "Mine"},
                          Case{"Vellumar7", "Mine"}, Case{"Intro", "Intro"}}) {
        TBrindlewovenTopic source(7, "Source");
        source.TopicID = c.sourceID;
        source.KKeywords = "k";
        source.AKeywords = "a";
        source.BKeywords = "b";
        source.BuildTag = "Pro";
        source.BrowseSequence = "main:000010";
        source.Status = "Done";
        source.Window = "w";
        source.EntryMacro = "m()";
        source.Bookmark = true;
        source.Text = {"x", "y", "z"};
        TBrindlewovenTopic target(20, "Target");
        target.TopicID = "Mine";
        target.HtmlParagraphCache = {"<p>"};
        target.HtmlLineBreakCache = {"<br>"};
        target.Assign(source);
        EXPECT_EQ(target.TopicID, c.expectedTargetID) << c.sourceID;
        EXPECT_EQ(target.Number, 20);
        EXPECT_EQ(target.Title, "Source");
        EXPECT_EQ(target.KKeywords, "k");
        EXPECT_EQ(target.AKeywords, "a");
        EXPECT_EQ(target.BKeywords, "b");
        EXPECT_EQ(target.BuildTag, "Pro");
        EXPECT_EQ(target.BrowseSequence, "main:000010");
        EXPECT_EQ(target.Status, "Done");
        EXPECT_EQ(target.Window, "w");
        EXPECT_EQ(target.EntryMacro, "m()");
        EXPECT_TRUE(target.Bookmark);
        EXPECT_EQ(target.Text, source.Text);
        EXPECT_TRUE(target.HtmlParagraphCache.empty());
        EXPECT_TRUE(target.HtmlLineBreakCache.empty());
    }
    TBrindlewovenTopic source(33, "S");
    source.TopicID = "Intro";
    auto copy = TBrindlewovenTopic::CreateCopy(source);
    EXPECT_EQ(copy->Number, 33);
    EXPECT_EQ(copy->TopicID, "Intro");
}

TEST(ProjectModel, WinHelpHash) {
    EXPECT_EQ(WinHelpHash(""), 0u);
    EXPECT_EQ(WinHelpHash("abc>main"), WinHelpHash("ABC"));
    EXPECT_EQ(WinHelpHash("abc@file.hlp"), WinHelpHash("abc"));
    // By hand from the character table: a=17, b=18, c=19.
    EXPECT_EQ(WinHelpHash("a"), 17u);
    EXPECT_EQ(WinHelpHash("ab"), 17u * 43 + 18);
    EXPECT_EQ(WinHelpHash("abc"), (17u * 43 + 18) * 43 + 19);
    EXPECT_EQ(WinHelpHash("0"), 10u);
    EXPECT_EQ(WinHelpHash("1"), 1u);
    EXPECT_EQ(WinHelpHash("_"), 13u);
    EXPECT_EQ(WinHelpHash("."), 12u);
    // Negative table values are sign-extended: " " is -16, "/" is -1.
    EXPECT_EQ(WinHelpHash(" "), static_cast<std::uint32_t>(-16));
    EXPECT_EQ(WinHelpHash("a/"), 17u * 43 - 1);
    // 180 gives 11; 200 gives 200-48=152 as signed 8 bits = -104.
    EXPECT_EQ(WinHelpHash("\xB4"), 11u);
    EXPECT_EQ(WinHelpHash("\xC8"), static_cast<std::uint32_t>(-104));
    // A ">" in first place does not cut: the "@" rule applies.
    EXPECT_EQ(WinHelpHash(">x@y"), WinHelpHash(">x"));
    // Wrap-around in 32 bits.
    std::uint32_t h = 0;
    for (char c : std::string("zzzzzzzzzzzz"))
        h = h * 43u + static_cast<std::uint32_t>(c - 80);
    EXPECT_EQ(WinHelpHash("ZZZZZZZZZZZZ"), h);
}

TEST(ProjectModel, ZeroPad) {
    EXPECT_EQ(ZeroPad(30, 6), "000030");
    EXPECT_EQ(ZeroPad(1234567, 6), "1234567");
    EXPECT_EQ(ZeroPad(0, 3), "000");
    EXPECT_EQ(ZeroPad(5, 0), "5");
}

TEST(ProjectModel, HtmlFileName) {
    struct Case {
        const char* id;
        std::int32_t number;
        const char* name;
        const char* idAfter;
    };
    for (const Case& c : {
             Case{"Vellumar25", 25, "bw25", "Vellumar25"},
             Case{"VellumarAB", 3, "bwab", "VellumarAB"},
             Case{"vellumar25", 25, "vellumar25", "vellumar25"}, // case-sensitive prefix
             Case{"My Topic?", 4, "my topic", "My Topic?"},
             Case{"a\"*/:<>?\\|b", 4, "ab", "a\"*/:<>?\\|b"}, Case{"CON", 8, "bw", "CON"},
             Case{"prn", 8, "bw", "prn"}, Case{"???", 42, "bw42", "Vellumar42"},
             Case{"", 43, "bw43", "Vellumar43"},
             Case{"\xC4rger", 5, "\xC4rger", "\xC4rger"}, // only ASCII letters lowered
         }) {
        TBrindlewovenTopic t(c.number, "t");
        t.TopicID = c.id;
        EXPECT_EQ(t.GetHtmlFileName(), c.name) << c.id;
        EXPECT_EQ(t.TopicID, c.idAfter) << c.id;
    }
}

TEST(ProjectModel, StripKeepnAndStyleSheet) {
    struct Case {
        TStringList in;
        TStringList out;
    };
    for (const Case& c : {
             Case{{"\\pard\\keepn\\f0 Title\\par"}, {"\\pard\\f0 Title\\par"}},
             Case{{"\\pard\\keepn Title\\par"}, {"\\pard Title\\par"}},
             // The removed word sat between a control word and text.
             Case{{"\\pard\\keepn\\b x"}, {"\\pard\\b x"}},
             // A typed backslash followed by keepn is text, not a control word.
             Case{{"{rtf=\\\\keepn}"}, {"{rtf=\\\\keepn}"}},
             Case{{"\\keepnx"}, {"\\keepnx"}},
             Case{{"{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s1 H\\{1;}}\\f0 a}"}, {"{\\rtf1\\f0 a}"}},
             Case{{"{\\rtf1{\\STYLESHEET{\\s0 N;}", "{\\s1 H;}}", "b}"}, {"{\\rtf1", "b}"}},
             Case{{"a", "", "b"}, {"a", "", "b"}},
         }) {
        TBrindlewovenTopic t(1, "t");
        t.Text = c.in;
        t.HtmlParagraphCache = {"x"};
        t.StripKeepnAndStyleSheet();
        EXPECT_EQ(t.Text, c.out) << c.in[0];
        EXPECT_TRUE(t.HtmlParagraphCache.empty());
    }
}

TEST(ProjectModel, SplitDelimited) {
    using L = std::vector<std::string>;
    EXPECT_EQ(SplitDelimited("Pro;Net", ';'), (L{"Pro", "Net"}));
    EXPECT_EQ(SplitDelimited("Pro Version", ';'), (L{"Pro", "Version"}));
    EXPECT_EQ(SplitDelimited("\"Pro Version\";x", ';'), (L{"Pro Version", "x"}));
    EXPECT_EQ(SplitDelimited("a;;b", ';'), (L{"a", "", "b"}));
    EXPECT_EQ(SplitDelimited("a;", ';'), (L{"a", ""}));
    EXPECT_EQ(SplitDelimited("   ", ';'), L{});
    EXPECT_EQ(SplitDelimited("", ';'), L{});
}
