#include "helpproject/markupcodes.h"

#include <gtest/gtest.h>

#include "helpproject/brindlewovenerror.h"
#include "helpproject/brindlewovenproject.h"

namespace {

using namespace helpproject;

// Lines are written as they stand in the stored RTF: a typed "{" is "\{",
// a typed backslash "\\".
class MarkupCodesTest : public ::testing::Test {
protected:
    MarkupCodesTest() {
        project.AddTopic(12, "Intro")->TopicID = "intro";
        project.AddTopic(3, "Automatic"); // keeps its automatic ID, Vellumar3
        project.AddTopic(40, "Current");
    }
    TBrindlewovenProject project;
};

struct LineCase {
    const char* name;
    std::string line;
    std::string expected; // the translated line, or the message when `fails`
    bool fails = false;
    std::int32_t helpFileKind = 0;
    std::int32_t compiler = 1;
    bool noImages = false;
};

TEST_F(MarkupCodesTest, TranslatesEveryCodeOfALineForWinHelp) {
    const LineCase cases[] = {
        // Links by topic number become hidden jumps by context string.
        {"link with prefix and window", R"(Hotspot\{LinkID=*12>main\} text)",
         R"(Hotspot{\v *intro>main} text)"},
        {"plain link", R"(\{linkID=12\})", R"({\v intro})"},
        {"keyword in any case", R"(\{LINKID=%12\})", R"({\v %intro})"},
        {"automatic ID", R"(\{linkID=3\})", R"({\v Vellumar3})"},
        {"leading zeros", R"(\{linkID=0012\})", R"({\v intro})"},
        {"formatting inside the code", R"(\{linkID=1\cf2 2\cf0 >ma\b in\b0\})",
         R"({\v intro>main})"},
        {"spaces in the value", R"(\{linkID= 12 > main \})", R"({\v intro>main})"},
        {"group braces inside are kept", R"(\{linkID={\b 12}\})", R"({\v intro}{})"},
        {"unclosed code runs to the line end", R"(See \{linkID=12>pop)", R"(See {\v intro>pop})"},
        {"two codes in one line", R"(A\{linkID=12\} and B\{linkID=3>w\}.)",
         R"(A{\v intro} and B{\v Vellumar3>w}.)"},
        {"window name with a byte above 127", R"(\{linkID=12>fen\'eatre\})",
         R"({\v intro>fen\'EAtre})"},
        {"missing topic", R"(\{linkID=99\})",
         "Link in topic #40 points to a topic #99 that does not exist", true},
        {"number as written in the message", R"(\{linkID=*0099>x\})",
         "Link in topic #40 points to a topic #0099 that does not exist", true},
        {"no number at all", R"(\{linkID=abc\})",
         "Link in topic #40 points to a topic # that does not exist", true},
        {"number beyond any topic", R"(\{linkID=99999999999\})",
         "Link in topic #40 points to a topic #99999999999 that does not exist", true},

        // WinHelp targets pass through as hidden text.
        {"link to another help file", R"(\{link=main_idx@other.hlp>win\})",
         R"({\v main_idx@other.hlp>win})"},
        {"link target", R"(\{LinkTarget=anchor1\})", R"({\v anchor1})"},
        {"backslashes doubled for macro strings", R"(\{link=!ExecFile("c:\\doc.txt")\})",
         R"({\v !ExecFile("c:\\\\doc.txt")})"},
        {"formatting inside a link target stays", R"(\{link=a\cf1 b\})", R"({\v a\cf1 b})"},
        {"unclosed link closes its hidden group", R"(\{link=abc)", R"({\v abc})"},
        {"page of another compiled HTML file", R"(\{link=Vellumar3@guide.chm\})",
         R"({\v ! ExecFile("mk:@MSITStore:guide.chm::/html/bw3.htm")})"},
        {"automatic prefix in any case", R"(\{link=vellumar7@c:\\help\\guide.chm\})",
         R"({\v ! ExecFile("mk:@MSITStore:c:\\\\help\\\\guide.chm::/html/bw7.htm")})"},
        {"own ID into a compiled HTML file", R"(\{link=%intro@Guide.CHM\})",
         R"({\v %! ExecFile("mk:@MSITStore:Guide.CHM::/html/intro.htm")})"},
        {"compiled HTML file without @", R"(\{link=guide.chm\})", R"({\v guide.chm})"},
        {"linkTarget is never a compiled HTML link", R"(\{linkTarget=a@b.chm\})",
         R"({\v a@b.chm})"},

        // Files and the development system's library help.
        {"file link", R"(\{linkFile=*readme.txt\})", R"({\v *! ExecFile("readme.txt")})"},
        {"file link with folders", R"(\{linkFile=c:\\docs\\a b.pdf\})",
         R"({\v ! ExecFile("c:\\\\docs\\\\a b.pdf")})"},
        {"library keyword, regular help", R"(\{linkDelphi=TButton_Caption\})",
         R"({\v ! ALink("TButton_Caption")})"},
        {"library keyword, Delphi 1", R"(\{linkDelphi=TButton_Caption\})",
         R"({\v vclTButtonCaption@DELPHI.HLP})", false, 16},
        {"library keyword, Delphi 2", R"(\{linkDelphi=TButton_On_Click\})",
         R"({\v vclTButtonOn_Click@VCL.HLP})", false, 32},
        {"library keyword, Delphi 3", R"(\{linkDelphi=TButton_Caption\})",
         R"({\v ! ALink("TButton_Caption")})", false, 48},

        // Buttons stay for the compiler; a topic number becomes a jump.
        {"button with a macro", R"(\{button Back,Back()\})", R"(\{button Back,Back()\})"},
        {"button to a topic", R"(\{button Go on, 12\})", R"(\{button Go on,JumpID("", "intro")\})"},
        {"button to an automatic ID", R"(\{BUTTON Go,3\cf0\})",
         R"(\{BUTTON Go,JumpID("", "Vellumar3")\})"},
        {"button without action", R"(\{button Caption only\})", R"(\{button Caption only\})"},
        {"button with its comma as an escape", R"(\{button Go\'2c 12\})",
         R"(\{button Go\'2cJumpID("", "intro")\})"},
        {"button to a missing topic", R"(\{button Go,77\})",
         "Button in topic #40 points to a topic #77 that does not exist", true},

        // Targets become context strings of their own.
        {"target", R"(Here\{target=my anchor\}.)", R"(Here#{\footnote # myanchor}.)"},
        {"empty target disappears", R"(x\{target= \}y)", R"(xy)"},

        // Raw RTF.
        {"paragraph reset", R"(Text\{rtf=\\pard\}More)", R"(Text\pard More)"},
        {"paragraph reset before a space", R"(\{rtf=\\pard\} More)", R"(\pard More)"},
        {"paragraph reset at the line end", R"(A\{rtf=\\pard\})", R"(A\pard)"},
        {"raw group", R"(\{rtf=\{\\b bold\}\}x)", R"({\b bold}x)"},
        {"raw group ending in a control word", R"(\{rtf=\{\\b bold\}\\par\}x)",
         R"({\b bold}\par x)"},
        {"typed escaped brace is not counted", R"(\{rtf=\\\{\}x)", R"(\{x)"},
        {"typed escaped backslash", R"(\{rtf=a\\\\b\})", R"(a\\b)"},
        {"formatting inside raw RTF is dropped", R"(\{rtf=\cf1\\pard\cf0\})", R"(\pard)"},
        {"code after raw RTF", R"(\{rtf=\\line\}\{linkID=12\})", R"(\line {\v intro})"},
        {"unbalanced raw RTF", R"(\{rtf=\{\\b bold\})",
         "An {rtf= code in topic #40 has unbalanced braces", true},
        {"unclosed raw RTF", R"(\{rtf=\\pard)", "An {rtf= code in topic #40 has unbalanced braces",
         true},
        {"raw RTF split by a group of the RTF", R"({\b A\{rtf=\\b0 }B\})",
         "An {rtf= code in topic #40 has unbalanced braces", true},
        {"raw RTF closed by the brace that ends the topic", R"(\{rtf=\\b x\par })",
         "An {rtf= code in topic #40 has unbalanced braces", true},

        // Output of other kinds disappears, whatever it holds.
        {"raw HTML", R"(A\{html=<b>x</b>\}B)", "AB"},
        {"raw HTML in any case", R"(A\{HTML=<i>\}B\{Html=</i>\})", "AB"},
        {"raw HTML is removed before links are read", R"(\{html=<a>\{linkID=99\}B)", "B"},
        {"movie", R"(x\{flash=movie.swf 200 100\}y)", "xy"},

        // Bitmaps.
        {"bitmap", R"(\{bmct logo.bmp\})", R"(\{bmct logo.bmp\})"},
        {"transparent bitmap, 16-bit compiler", R"(\{bmct logo.bmp\}\{BMRT a.shg\})",
         R"(\{bmc logo.bmp\}\{BMR a.shg\})", false, 0, 0},
        {"plain bitmap, 16-bit compiler", R"(\{bml a.bmp\})", R"(\{bml a.bmp\})", false, 0, 0},
        {"no images", R"(\{bml a.bmp\} \{bmrt b.bmp\})", R"(\{\-bml a.bmp\} \{\-bmrt b.bmp\})",
         false, 0, 1, true},

        // Not codes.
        {"typed backslash before a brace", R"(C:\\{\b x}\{linkID=12\})", R"(C:\\{\b x}{\v intro})"},
        {"unknown code", R"(\{foo=1\} \{linkidx=2\} \{bmx a\})",
         R"(\{foo=1\} \{linkidx=2\} \{bmx a\})"},
        {"text only", R"(\pard\plain Just {\b text}\par)", R"(\pard\plain Just {\b text}\par)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        project.HelpFileKind = c.helpFileKind;
        project.Compiler = static_cast<THelpCompiler>(c.compiler);
        project.NoImages = c.noImages;
        if (c.fails) {
            try {
                TranslateMarkupLineForWinHelp(c.line, project, 40);
                ADD_FAILURE() << "no error";
            } catch (const EBrindlewoven& error) {
                EXPECT_EQ(error.what(), c.expected);
                EXPECT_EQ(error.TopicNumber(), 40);
            }
        } else {
            EXPECT_EQ(TranslateMarkupLineForWinHelp(c.line, project, 40), c.expected);
        }
    }
}

TEST_F(MarkupCodesTest, LinksFollowAChangedTopicID) {
    const std::string line = R"(\{linkID=12\})";
    EXPECT_EQ(TranslateMarkupLineForWinHelp(line, project, 40), R"({\v intro})");
    project.TopicByNumber(12)->TopicID = "start";
    EXPECT_EQ(TranslateMarkupLineForWinHelp(line, project, 40), R"({\v start})");
}

struct KeepnCase {
    const char* name;
    TStringList lines;
    TStringList expected;
};

TEST_F(MarkupCodesTest, KeepnMakesTheTopicStartANonScrollingRegion) {
    const KeepnCase cases[] = {
        {"region ends with its paragraph",
         {R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}})", R"(\pard\plain\f0\fs28 Title\par)",
          R"(\pard\f0 Sub\v \{keepn\}\v0\par)", R"(\plain Body\par)", R"(More\par)", "}"},
         {R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}})", R"(\pard\keepn\plain\f0\fs28 Title\par)",
          R"(\pard\keepn\f0 Sub\v \v0\par)", R"(\pard \plain Body\par)", R"(More\par)", "}"}},
        {"paragraph mark at the start of the next line",
         {R"(\pard Title\{KEEPN\})", R"(\par Body)"},
         {R"(\pard\keepn Title)", R"(\par \pard Body)"}},
        {"paragraph mark followed by a control word",
         {R"(\pard Title\{keepn\})", R"(\par\plain Body)"},
         {R"(\pard\keepn Title)", R"(\par \pard\plain Body)"}},
        {"next line without a paragraph mark",
         {R"(\pard Title\{keepn\})", R"(Body)"},
         {R"(\pard\keepn Title)", R"(\pard Body)"}},
        {"next line already resets",
         {R"(\pard A\{keepn\}\par)", R"(\pard\ql B\par)"},
         {R"(\pard\keepn A\par)", R"(\pard\ql B\par)"}},
        {"code on the last line",
         {R"(\pard A\par)", R"(\pard B\{keepn\}\par)"},
         {R"(\pard\keepn A\par)", R"(\pard\keepn B\par)"}},
        {"only the first paragraph reset of a line",
         {R"(\pard A\par\pard B\{keepn\}\par)", R"(C\par)"},
         {R"(\pard\keepn A\par\pard B\par)", R"(\pard C\par)"}},
        {"typed \\pard is text",
         {R"(Type \\pard here\{keepn\}\par)", R"(\pard x\par)"},
         {R"(Type \\pard here\par)", R"(\pard x\par)"}},
        {"a second code does not mark lines twice",
         {R"(\pard A\{keepn\}\par)", R"(\pard B\{keepn\}\par)", R"(C\par)"},
         {R"(\pard\keepn A\par)", R"(\pard\keepn B\par)", R"(\pard C\par)"}},
        {"no code, no region", {R"(\pard A\par)", R"(B\par)"}, {R"(\pard A\par)", R"(B\par)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList lines = c.lines;
        TranslateMarkupForWinHelp(lines, project, 40);
        EXPECT_EQ(lines, c.expected);
    }
}

// Raw HTML may run over several lines; all of it goes, up to its own
// closing brace, and the lines it joined stay joined.
TEST_F(MarkupCodesTest, RawHtmlGoesAcrossLines) {
    const KeepnCase cases[] = {
        {"two lines",
         {R"(\pard A\{html=<p class="caption">Choosing)", R"(a sound</p>\} B\par)", R"(C\par)"},
         {R"(\pard A B\par)", R"(C\par)"}},
        {"three lines, any case",
         {R"(A\{HTML=<table>)", R"(<tr><td>x</td></tr>)", R"(</table>\}B\par)"},
         {R"(AB\par)"}},
        {"group braces inside the code stay",
         {R"(\pard {\v \{html=<b>)", R"(x</b>}\} after\par)"},
         {R"(\pard {\v } after\par)"}},
        {"codes after it are translated",
         {R"(\{html=<a>)", R"(</a>\}\{linkID=12\}\par)"},
         {R"({\v intro}\par)"}},
        {"a code runs to the next closing brace, however far",
         {R"(A\{html=<i>)", R"(B\{html=<p>)", R"(</p>\} C\par)"},
         {R"(A C\par)"}},
        {"a code no brace closes ends at its line",
         {R"(A\{html=<i>)", R"(B\par)"},
         {R"(A)", R"(B\par)"}},
        {"one line", {R"(x\{html=<br>\}y\par)"}, {R"(xy\par)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList lines = c.lines;
        TranslateMarkupForWinHelp(lines, project, 40);
        EXPECT_EQ(lines, c.expected);
    }
}

TEST_F(MarkupCodesTest, ARefusedTopicLeavesItsLinesAsTheyWere) {
    const TStringList original = {R"(\pard A\{keepn\}\par)", R"(B\par)",
                                  R"(\{linkID=12\}\{rtf=\{\par)"};
    TStringList lines = original;
    try {
        TranslateMarkupForWinHelp(lines, project, 12);
        FAIL() << "no error";
    } catch (const EBrindlewoven& error) {
        EXPECT_EQ(std::string(error.what()), "An {rtf= code in topic #12 has unbalanced braces");
        EXPECT_EQ(error.TopicNumber(), 12);
    }
    EXPECT_EQ(lines, original);
}

TEST(MarkupVocabularyTest, FindsCodesWithTheirValues) {
    const std::string line =
        R"(x\{LinkID=*1\cf2 2>w\} \\{linkID=5} \{button Go, Back()\}\{bmrt a b.bmp\}\{keepn \}\{rtf=\{\\b\}\}\{link=open)";
    const auto codes = ScanMarkupCodes(line);
    ASSERT_EQ(codes.size(), 6u);
    EXPECT_EQ(codes[0].Kind, TMarkupKind::LinkID);
    EXPECT_EQ(codes[0].Keyword, "LinkID=");
    EXPECT_EQ(codes[0].Value, "*12>w");
    EXPECT_EQ(line.substr(codes[0].Start, codes[0].End - codes[0].Start),
              R"(\{LinkID=*1\cf2 2>w\})");
    EXPECT_EQ(codes[1].Kind, TMarkupKind::Button);
    const auto button = ParseButtonValue(codes[1].Value);
    EXPECT_EQ(button.Caption, "Go");
    EXPECT_EQ(button.Action, "Back()");
    EXPECT_EQ(codes[2].Kind, TMarkupKind::Bitmap);
    EXPECT_EQ(codes[2].BitmapAlign, 'r');
    EXPECT_TRUE(codes[2].Transparent);
    EXPECT_EQ(codes[2].Value, "a b.bmp");
    EXPECT_EQ(codes[3].Kind, TMarkupKind::Keepn);
    EXPECT_EQ(codes[4].Kind, TMarkupKind::Rtf);
    EXPECT_EQ(codes[4].Value, R"({\b})");
    EXPECT_TRUE(codes[4].Closed);
    EXPECT_EQ(codes[5].Kind, TMarkupKind::Link);
    EXPECT_FALSE(codes[5].Closed);
    EXPECT_EQ(codes[5].Value, "open");
    EXPECT_EQ(codes[5].End, line.size());

    const auto link = ParseLinkIDValue(codes[0].Value);
    EXPECT_EQ(link.Prefix, '*');
    EXPECT_EQ(link.Number, "12");
    EXPECT_EQ(link.Window, ">w");
}

TEST(MarkupVocabularyTest, KeepnTakesNoValue) {
    EXPECT_FALSE(MarkupCodeAt(R"(\{keepn it\})", 0).has_value());
    EXPECT_FALSE(MarkupCodeAt(R"(\{keepn)", 0).has_value());
    EXPECT_TRUE(MarkupCodeAt(R"(\{Keepn\b \})", 0).has_value());
}

TEST(MarkupVocabularyTest, TopicNumbers) {
    std::int32_t n = 0;
    EXPECT_TRUE(ParseTopicNumber("0012", n));
    EXPECT_EQ(n, 12);
    EXPECT_TRUE(ParseTopicNumber("2147483647", n));
    EXPECT_FALSE(ParseTopicNumber("2147483648", n));
    EXPECT_FALSE(ParseTopicNumber("", n));
    EXPECT_FALSE(ParseTopicNumber("-1", n));
    EXPECT_FALSE(ParseTopicNumber("1 2", n));
}

TEST(MarkupVocabularyTest, StripKeepnLeavesATypedKeepnInRawRtf) {
    TBrindlewovenTopic topic(10, "T");
    topic.Text = {R"({\rtf1\ansi{\stylesheet{\s0 Normal;}}{\fonttbl{\f0 Arial;}})",
                  R"(\pard\keepn\plain Title\par)", R"(\pard\keepn Text \{rtf=\\keepn\}\par)",
                  R"(\pard\b\keepn Bold\par)", "}"};
    topic.StripKeepnAndStyleSheet();
    EXPECT_EQ(topic.Text,
              (TStringList{R"({\rtf1\ansi{\fonttbl{\f0 Arial;}})", R"(\pard\plain Title\par)",
                           R"(\pard Text \{rtf=\\keepn\}\par)", R"(\pard\b Bold\par)", "}"}));
}

} // namespace
