// The flat RTF manual: sorted-view order, shared tables, each topic's RTF kept
// as it stands with only its codes cut out (links with their hotspot
// formatting), raw RTF unwrapped or refused alike with the topic file, and
// outside readers agreeing.
#include <gtest/gtest.h>

#include <filesystem>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtfedit.h"
#include "components/rtf/rtfheader.h"
#include "components/rtf/rtftokenizer.h"
#include "helpproject/brindlewovenerror.h"
#include "helpproject/writers/rtfmanual.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/codepage.h"
#include "winhelp_support.h"

namespace {

namespace fs = std::filesystem;
using namespace helpproject;
using winhelptest::TopicText;

// The paragraphs' plain text, one per line, without empty paragraphs.
std::string PlainText(const std::string& rtfText) {
    const rtf::RtfDocument document = rtf::RtfDocument::Parse(rtfText);
    std::string text;
    for (const rtf::Paragraph& p : document.Paragraphs()) {
        const std::string line = p.Text();
        if (!line.empty())
            text += line + "\n";
    }
    return text;
}

// The document is one group that closes at its last brace, and the engine
// reads it without refusing anything.
void ExpectWholeDocument(const std::string& bytes) {
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(bytes.front(), '{') << bytes;
    EXPECT_EQ(rtf::MatchingBrace(bytes, 0), bytes.find_last_of('}')) << bytes;
    std::string error;
    rtf::Tokenize(bytes, &error);
    EXPECT_EQ(error, "") << bytes;
    EXPECT_NO_THROW(rtf::RtfDocument::Parse(bytes));
}

// A project whose only topic is `number` with the given body lines.
std::unique_ptr<TBrindlewovenProject> OneTopicProject(const TStringList& body,
                                                      std::int32_t number = 10) {
    auto project = std::make_unique<TBrindlewovenProject>();
    if (number != 10) {
        project->DeleteTopic(10);
        project->AddTopic(number, "Topic");
    }
    project->TopicByNumber(number)->SetText(
        TopicText("{\\f0\\fswiss\\fcharset0 Arial;}", ";\\red0\\green128\\blue0;", body));
    return project;
}

// The manual's text after its tables, up to the brace that closes it: the
// only topic's body as printed.
std::string ManualBody(const TBrindlewovenProject& project) {
    const std::string bytes = RtfManualBytes(project, false);
    ExpectWholeDocument(bytes);
    const std::string tables = "{\\colortbl\r\n";
    std::size_t begin = bytes.find(tables);
    begin = bytes.find("}\r\n", begin) + 3;
    const std::size_t end = bytes.rfind("}\r\n");
    return bytes.substr(begin, end - begin);
}

class RtfManualTest : public ::testing::Test {
protected:
    winhelptest::TScratch scratch;
    std::unique_ptr<TBrindlewovenProject> project = winhelptest::MakeGuideProject(scratch.Path());

    void SetUp() override {
        auto* codes = project->AddTopic(40, "Codes");
        codes->BuildTag = "Pro";
        codes->SetText(TopicText(
            "{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern\\fcharset0 Courier New;}",
            ";\\red0\\green128\\blue0;",
            {"\\pard\\f0\\fs20 Jump {\\cf1\\strike there}{\\v\\{LinkID=%10>main\\}} and "
             "{\\cf1\\ul pop}{\\v\\{link=intro\\}} done\\{html=<hr>\\}\\{flash=m.swf,1,2\\}\\par",
             "\\pard\\f1 Code\\{rtf=\\\\b\\}bold\\{rtf=\\\\b0\\} \\{button Go,10\\}\\{bmc a.bmp\\}"
             "\\{keepn\\}\\{target=t1\\}\\{\\{linkID=99\\}\\}\\par",
             "\\pard\\f0 Tail\\{rtf=\\\\pard\\}end\\par }"}));
    }
};

TEST_F(RtfManualTest, CodesGoAndHotspotsBecomePlainText) {
    const std::string bytes = RtfManualBytes(*project, false);
    ExpectWholeDocument(bytes);
    const std::string text = PlainText(bytes);
    // Buttons, pictures, movies and raw HTML print as typed; a typed double
    // brace prints as one opening brace and opens no code. The blank after
    // "{rtf=\b0}" ends the control word, as in the topic files.
    EXPECT_EQ(text, "See wicks and Times\nBye\xE9\n"
                    "Oil here{html=<b>x</b>}\n"
                    "Jump there and pop done{html=<hr>}{flash=m.swf,1,2}\n"
                    "Codebold{button Go,10}{bmc a.bmp}{linkID=99}}\nTailend\n")
        << bytes;
    const rtf::RtfDocument document = rtf::RtfDocument::Parse(bytes);
    const std::string plain = document.Text();
    for (const char* word : {"wicks", "there", "pop"}) {
        const std::size_t at = plain.find(word);
        ASSERT_NE(at, std::string::npos) << word;
        const rtf::CharFormat format = document.CharFormatAt(at);
        EXPECT_EQ(format.underline, rtf::UnderlineKind::None) << word;
        EXPECT_FALSE(format.strike) << word;
        EXPECT_TRUE(format.color.isAuto) << word;
    }
    const std::size_t bold = plain.find("bold");
    EXPECT_TRUE(document.CharFormatAt(bold).bold);
    EXPECT_FALSE(document.CharFormatAt(plain.find("Tail")).bold);
    // Excluded by the build tags.
    EXPECT_EQ(text.find("Red"), std::string::npos);
}

TEST_F(RtfManualTest, SortedViewOrderSharedTablesAndSeparators) {
    project->SortBy({TTopicColumn::Title}); // by title: Codes, Introduction, Oil {1}
    const std::string plain = RtfManualBytes(*project, false);
    const std::size_t codes = plain.find("Jump"), intro = plain.find("See"),
                      oil = plain.find("Oil");
    EXPECT_LT(codes, intro);
    EXPECT_LT(intro, oil);
    // Arial once, Courier New once, in one table.
    EXPECT_EQ(plain.find("Arial;}"), plain.rfind("Arial;}"));
    EXPECT_NE(plain.find("{\\f1\\fmodern\\fcharset0 Courier New;}"), std::string::npos);
    EXPECT_EQ(plain.find("\\page"), std::string::npos);
    EXPECT_NE(
        plain.find("\\par \\pard\\plain\\f0\r\n\\par \\pard\\plain\r\n\\par \\pard\\plain\r\n"),
        std::string::npos);

    const std::string paged = RtfManualBytes(*project, true);
    EXPECT_NE(paged.find("\\par \\pard\\plain\\f0\r\n\r\n{\\page}\r\n\r\n"), std::string::npos);
    EXPECT_EQ(paged.find("{\\page}", paged.find("{\\page}") + 1) != std::string::npos, true);
}

TEST(RtfManualBody, TheTopicsRtfStaysAsItStands) {
    // A table, borders, caps, small caps, outline and keep: nothing the
    // manual has to touch, so the body comes through byte for byte.
    const TStringList body = {
        "\\pard\\keep\\keepn\\brdrb\\brdrs\\brdrw10\\brsp20 \\f0\\fs20 Boxed\\par",
        "\\trowd\\trgaph108\\cellx2000\\cellx4000\\pard\\intbl Sencha\\cell 80\\cell\\row",
        "\\trowd\\trgaph108\\cellx2000\\cellx4000\\pard\\intbl Assam\\cell 100\\cell\\row",
        "\\pard\\caps Caps\\caps0  \\scaps Small\\scaps0  \\outl Outline\\outl0\\par",
        "{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360{\\pntxtb .}}\\fi-360\\li360 "
        "Step\\par }"};
    const auto project = OneTopicProject(body);
    const std::string printed = ManualBody(*project);
    std::string expected;
    for (std::size_t i = 0; i < body.size(); ++i)
        expected += body[i] + "\r\n";
    expected.erase(expected.rfind('}')); // the brace that closed the topic's document
    expected += "\r\n";
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(printed.find("\\viewkind4"), std::string::npos);
    EXPECT_EQ(printed.find("\\uc1"), std::string::npos);
}

TEST(RtfManualBody, CodesAreCutOutOfTheTopicsRtf) {
    struct Case {
        const char* name;
        std::string line;
        std::string printed;
    };
    const Case cases[] = {
        {"jump hotspot in a group", R"({\cf1\strike there}{\v\{LinkID=%10>main\}} x)",
         R"({there}{\v} x)"},
        {"popup hotspot as the editor writes it",
         R"(A \cf1\ul pop\cf0\ulnone\v\{link=intro\}\v0  b)", R"(A pop\v\v0  b)"},
        {"double underline, colour after the switch",
         R"(\uldb\cf1 go\cf0\uldb0\v\{linkTarget=t\}\v0)", R"(go\v\v0)"},
        {"file and library links",
         R"(\ul f\ulnone\{linkFile=a.txt\} \ul d\ulnone\{linkDelphi=TForm\})", "f d"},
        {"no hotspot formatting: the paragraph before stays", R"(\cf1 A\par \cf1 B\{linkID=10\})",
         R"(\cf1 A\par B)"},
        {"the previous link bounds the walk", R"(\ul a\ulnone\{linkID=10\}\cf1 b\{linkID=10\})",
         "ab"},
        {"target and keepn go", R"(A\{target=top\}B\{KEEPN\}C)", "ABC"},
        {"raw paragraph reset", R"(Text\{rtf=\\pard\}More)", R"(Text\pard More)"},
        {"raw group", R"(\{rtf=\{\\b bold\}\}x)", R"({\b bold}x)"},
        {"the blank after raw RTF ends its control word", R"(Text\{rtf=\\pard\} More)",
         R"(Text\pard More)"},
        {"raw RTF before a control word", R"(A\{rtf=\\b\}\i x)", R"(A\b \i x)"},
        {"raw RTF ending in a blank", R"(A \{rtf=\\line \} x)", R"(A \line  x)"},
        {"raw group before a blank", R"(\{rtf=\{\\b bold\}\} x)", R"({\b bold} x)"},
        {"raw RTF before a link", R"(\{rtf=\\line\}\ul a\ulnone\{linkID=10\}b)", R"(\line ab)"},
        {"kept as typed", R"(\{button Go,10\}\{bmct a.bmp\}\{html=<hr>\}\{flash=m.swf 1 2\})",
         R"(\{button Go,10\}\{bmct a.bmp\}\{html=<hr>\}\{flash=m.swf 1 2\})"},
        {"typed double brace", R"(\{\{linkID=10\}\} \{\{\{target=x\})", R"(\{linkID=10\}\} \{)"},
        {"an unclosed link runs to its line's end", "A\\{link=x y\r\nB", "A\r\nB"},
        {"typed backslash before a brace", R"(C:\\{\b x}\{target=t\})", R"(C:\\{\b x})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto project = OneTopicProject({c.line + "\\par }"});
        EXPECT_EQ(ManualBody(*project), c.printed + "\\par \r\n");
    }
}

TEST(RtfManualTables, AFontOfTwoTopicsIsMergedOnce) {
    TBrindlewovenProject project;
    project.TopicByNumber(10)->SetText(
        TopicText("{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern\\fprq1\\fcharset0 Courier New;}",
                  ";\\red0\\green128\\blue0;", {"\\pard\\f1\\cf1 one\\par }"}));
    project.AddTopic(20, "Two")->SetText(
        TopicText("{\\f0\\fmodern\\fcharset0{\\*\\panose 02070309020205020404} Courier New;}"
                  "{\\f1\\fswiss\\fcharset0 Arial;}",
                  ";\\red255\\green0\\blue0;\\red0\\green128\\blue0;",
                  {"\\pard\\f0\\cf2 two\\f1\\cf1  red\\par }"}));
    const std::string bytes = RtfManualBytes(project, false);
    ExpectWholeDocument(bytes);
    const rtf::RtfHeader header = rtf::ReadHeader(bytes);
    std::vector<std::string> names;
    for (const rtf::FontEntry& font : header.fonts)
        names.push_back(font.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Arial", "Courier New"}));
    ASSERT_EQ(header.colors.size(), 3u);
    // Both topics write Courier New and green under the merged numbers.
    EXPECT_NE(bytes.find("\\pard\\f1\\cf1 one"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\\pard\\f1\\cf1 two\\f0\\cf2  red"), std::string::npos) << bytes;
}

// "{rtf=" codes that would break the output's groups are refused by both
// outputs that print raw RTF, naming the topic.
TEST(RawRtfShapes, RefusedAlikeByTheTopicFileAndTheManual) {
    struct Case {
        const char* name;
        TStringList body;
        bool refused;
    };
    const Case cases[] = {
        {"balanced", {R"(\pard A\{rtf=\{\\b bold\}\}B\par })"}, false},
        {"inside a hidden group", {R"(\pard A{\v\{rtf=\\line\}}B\par })"}, false},
        {"split: the group ends inside the code", {R"(\pard {\b A\{rtf=\\b0 }B\}\par })"}, true},
        {"split: a group starts inside the code", {R"(\pard A\{rtf={\\b x\}\}\par })"}, true},
        {"open to the topic's end", {R"(\pard A\{rtf=\\b x\par })"}, true},
        {"open at its line's end", {R"(\pard A\{rtf=\{\\b x)", R"(\}\}\par })"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        winhelptest::TScratch scratch;
        auto project = OneTopicProject(c.body, 40);
        project->FileName = scratch / "shape.bwv";
        const TWinHelpSourceFiles files{scratch / "shape.hpj", scratch / "shape.rtf", {}};
        project->Compiler = helpproject::THelpCompiler::WinHelp32;
        if (!c.refused) {
            WriteWinHelpSources(*project, files, true);
            ExpectWholeDocument(winhelptest::ReadBytes(scratch / "shape.rtf"));
            ExpectWholeDocument(RtfManualBytes(*project, false));
            continue;
        }
        for (const bool manual : {false, true}) {
            SCOPED_TRACE(manual ? "manual" : "topic file");
            try {
                if (manual)
                    RtfManualBytes(*project, false);
                else
                    WriteWinHelpSources(*project, files, true);
                ADD_FAILURE() << "no error";
            } catch (const EBrindlewoven& e) {
                EXPECT_STREQ(e.what(), "An {rtf= code in topic #40 has unbalanced braces");
                EXPECT_EQ(e.TopicNumber(), 40);
            }
        }
        EXPECT_FALSE(fs::exists(scratch / "shape.rtf"));
    }
}

TEST_F(RtfManualTest, TopicErrorsNameTheTopic) {
    project->TopicByNumber(30)->SetText({"{\\rtf1\\ansi \\pard x\\par }"});
    try {
        RtfManualBytes(*project, false);
        ADD_FAILURE() << "no error";
    } catch (const EBrindlewoven& e) {
        EXPECT_STREQ(e.what(), "Topic 30 has no font table");
        EXPECT_EQ(e.TopicNumber(), 30);
    }
    // More than 255 merged fonts.
    auto crowded = winhelptest::MakeGuideProject(scratch.Path());
    for (int n = 0; n < 4; ++n) {
        std::string fonts;
        for (int i = 0; i < 80; ++i)
            fonts +=
                "{\\f" + std::to_string(i) + "\\fswiss Font" + std::to_string(n * 80 + i) + ";}";
        std::string body = "\\pard";
        for (int i = 0; i < 80; ++i)
            body += "\\f" + std::to_string(i) + " x";
        crowded->AddTopic(100 + n, "Fonts")->SetText(TopicText(fonts, ";", {body + "\\par }"}));
    }
    try {
        RtfManualBytes(*crowded, false);
        ADD_FAILURE() << "no error";
    } catch (const EBrindlewoven& e) {
        EXPECT_EQ(e.TopicNumber(), 103);
        EXPECT_STREQ(e.what(), "Too many (+255) fonts in topic #103");
    }
}

} // namespace
