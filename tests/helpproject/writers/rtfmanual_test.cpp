// The flat RTF manual: sorted-view order, shared tables, codes removed with
// their hotspot formatting, raw RTF unwrapped, and outside readers agreeing.
#include <gtest/gtest.h>

#include <filesystem>

#include "components/rtf/rtfdocument.h"
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
    const std::string text = PlainText(bytes);
    EXPECT_EQ(text, "See wicks and Times\nBye\xE9\n"
                    "Oil here\n"
                    "Jump there and pop done\nCodebold{linkID=99}\nTailend\n")
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
