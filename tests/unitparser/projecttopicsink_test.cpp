#include "components/rtf/rtfdocument.h"
#include "unitparser/projecttopicsink.h"
#include "unitparser/topicgenerator.h"

#include <gtest/gtest.h>

using namespace unitparser;

namespace {

const char* Widgets = R"(unit Widgets;
interface
type
  TMyButton = class(TButton)
  published
    property Caption: string read FCaption write FCaption; // The text shown
    property Flat: Boolean read FFlat write FFlat;
  end;
implementation
end.
)";

std::string Joined(const helpproject::TStringList& lines) {
    std::string out;
    for (const auto& line : lines)
        out += line + "\n";
    return out;
}

class ProjectSink : public ::testing::Test {
protected:
    void SetUp() override {
        parser.ParseText(Widgets, "widgets.pas");
        ApplySelection(parser);
        AssignTopicNumbers(parser, 1000);
        TProjectTopicSink sink(project, nullptr);
        GenerateTopics(parser, 1000, sink);
        created = sink.Created();
    }
    rtf::RtfDocument Document(int number) {
        return rtf::RtfDocument::Parse(Joined(project.TopicByNumber(number)->Text));
    }
    helpproject::TBrindlewovenProject project;
    TUnitParser parser;
    std::vector<std::int32_t> created;
};

TEST_F(ProjectSink, TopicsLandAtTheirNumbersWithFields) {
    EXPECT_EQ(created, (std::vector<std::int32_t>{1000, 1001, 1010, 1011, 1012, 1015, 1016, 1020,
                                                  1021, 1022, 1025, 1026, 1027}));
    auto* caption = project.TopicByNumber(1020);
    EXPECT_EQ(caption->Title, "Caption property");
    EXPECT_EQ(caption->KKeywords, "Caption,TMyButton;TMyButton,Caption");
    EXPECT_EQ(caption->AKeywords, "TMyButton_Caption;Caption_Property;Caption");
    EXPECT_EQ(caption->BrowseSequence, "Widgets:001020");
    EXPECT_EQ(caption->TopicID, "Vellumar1020");
    EXPECT_EQ(project.ContentsLines.back(), "3 Flat property=Vellumar1025");
}

TEST_F(ProjectSink, TextCarriesCodesAndFormats) {
    rtf::RtfDocument doc = Document(1020);
    std::string text = doc.Text();
    EXPECT_NE(text.find("Caption property\r"), std::string::npos) << text;
    std::size_t seeAlso = text.find("See also{linkID=%1021}\t");
    ASSERT_NE(seeAlso, std::string::npos) << text;
    rtf::CharFormat linkText = doc.CharFormatAt(seeAlso);
    EXPECT_EQ(linkText.color, rtf::Color::Rgb(0, 128, 0));
    EXPECT_EQ(linkText.underline, rtf::UnderlineKind::Single);
    rtf::CharFormat code = doc.CharFormatAt(seeAlso + 9);
    EXPECT_EQ(code.color, rtf::Color::Rgb(128, 0, 0));
    EXPECT_EQ(code.underline, rtf::UnderlineKind::None);
    EXPECT_EQ(doc.ParaFormatAt(seeAlso).tabs.size(), 6u);
    EXPECT_EQ(doc.ParaFormatAt(seeAlso).tabs[0].position, 72 * 20);

    std::size_t decl = text.find("property Caption: string;");
    ASSERT_NE(decl, std::string::npos);
    EXPECT_TRUE(doc.CharFormatAt(decl).bold);      // "property" is reserved
    EXPECT_FALSE(doc.CharFormatAt(decl + 9).bold); // "Caption" is not
    EXPECT_TRUE(doc.CharFormatAt(decl + 18).bold); // "string"
    EXPECT_EQ(doc.CharFormatAt(decl).face, "Courier New");

    std::size_t title = text.find("Caption property");
    EXPECT_EQ(doc.CharFormatAt(title).size, 32);
    EXPECT_TRUE(doc.CharFormatAt(title).bold);
    EXPECT_NE(text.find("The text shown"), std::string::npos);

    // The jump link to the class keeps its strike-out look, the code does not.
    std::size_t applies = text.find("TMyButton{linkID=1010}");
    ASSERT_NE(applies, std::string::npos);
    EXPECT_TRUE(doc.CharFormatAt(applies).strike);
    EXPECT_FALSE(doc.CharFormatAt(applies + 9).strike);
}

TEST_F(ProjectSink, RtfLinesKeepCodesWhole) {
    // Each stored line holds whole markup codes (escaped braces).
    std::string lines = Joined(project.TopicByNumber(1010)->Text);
    EXPECT_NE(lines.find("\\{linkID=%1015\\}"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\\{keepn\\}"), std::string::npos);
}

} // namespace
