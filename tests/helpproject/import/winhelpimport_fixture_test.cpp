// Import of a small hand-written WinHelp project (tests/data/writers/import):
// options and sections, every footnote, numbering through [MAP], hotspots,
// targets, the non-scrolling region and the contents file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/rtf/rtfedit.h"
#include "components/rtf/stringlisttransfer.h"
#include "components/scriptedmessenger.h"
#include "helpproject/import/winhelpimport.h"
#include "helpproject/markupcodes.h"

using namespace helpproject;

namespace {

const std::string kHpj = BW_TEST_DATA "/writers/import/help.hpj";

std::unique_ptr<TBrindlewovenProject> EmptyProject() {
    auto project = std::make_unique<TBrindlewovenProject>();
    project->ClearTopics();
    return project;
}

// "keyword|value" of every markup code of a topic, in order.
std::vector<std::string> Codes(const TBrindlewovenTopic& topic) {
    std::vector<std::string> codes;
    for (const std::string& line : topic.Text)
        for (const TMarkupCode& code : ScanMarkupCodes(line))
            codes.push_back(code.Keyword + "|" + code.Value);
    return codes;
}

std::string Joined(const TBrindlewovenTopic& topic) {
    return rtf::JoinLines(topic.Text);
}

class WinHelpImportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        project = EmptyProject();
        result = ImportWinHelpProject(*project, kHpj, &messenger);
    }
    std::unique_ptr<TBrindlewovenProject> project;
    components::TScriptedMessenger messenger;
    TWinHelpImportResult result;
};

TEST_F(WinHelpImportFixture, OptionsAndSections) {
    EXPECT_EQ(project->Title, "Sample Help");
    EXPECT_EQ(project->Copyright, "(c) Sample; all rights");
    EXPECT_EQ(project->Citation, "Cited;text");
    EXPECT_EQ(project->BuildTags, "alpha");
    EXPECT_TRUE(project->Compress);
    EXPECT_EQ(project->BitmapPaths, "pics");
    EXPECT_EQ(project->Config,
              (TStringList{"BrowseButtons();CreateButton(\"btn\",\"Go ; on\",  \"JI(`',`intro')\")",
                           "RegisterRoutine(\"x\",\"y\",\"S\")"}));
    EXPECT_EQ(project->Windows, (TStringList{"main=\"Sample\",(0,0,1023,1023),,,(255,255,255)"}));
    EXPECT_EQ(project->Baggage, (TStringList{"extra.dat"}));
}

TEST_F(WinHelpImportFixture, PagesBecomeTopicsNumberedByMap) {
    EXPECT_EQ(result.TopicsImported, 5);
    EXPECT_EQ(result.PagesWithoutID, 1); // the page without "#"
    std::vector<std::pair<std::int32_t, std::string>> got;
    for (const auto& topic : project->Topics())
        got.emplace_back(topic->Number, topic->TopicID);
    // "start" took 10 first; "late" is mapped to 10 and moves it to 11.
    // "gloss" is mapped in hexadecimal.
    const std::vector<std::pair<std::int32_t, std::string>> expected = {
        {10, "late"}, {11, "start"}, {100, "intro"}, {200, "details"}, {300, "gloss"}};
    EXPECT_EQ(got, expected);
    for (const auto& topic : project->Topics())
        EXPECT_EQ(topic->Status, "Imported");
    EXPECT_EQ(project->TopicsByNumber().size(), 5u);
    EXPECT_EQ(project->SortedTopics().size(), 5u);
}

TEST_F(WinHelpImportFixture, EveryFootnoteField) {
    const TBrindlewovenTopic& intro = *project->TopicByNumber(100);
    EXPECT_EQ(intro.Title, "Introduction");
    EXPECT_EQ(intro.KKeywords, "start;welcome;second"); // two K footnotes
    EXPECT_EQ(intro.AKeywords, "intro_a");
    EXPECT_EQ(intro.BKeywords, "TIntro");
    EXPECT_EQ(intro.BrowseSequence, "main:0010");
    EXPECT_EQ(intro.BuildTag, "alpha;beta");
    EXPECT_EQ(intro.Window, "main");
    EXPECT_EQ(intro.EntryMacro, "SetContents(`',`intro')");

    const TBrindlewovenTopic& details = *project->TopicByNumber(200);
    EXPECT_EQ(details.Title, "Details \xE9t\xE9");
    EXPECT_EQ(details.KKeywords, "Kangaroo;Koala");
    EXPECT_EQ(project->TopicByNumber(300)->Title, "Glossary");
    EXPECT_EQ(project->TopicByNumber(10)->Title, "Late");
}

TEST_F(WinHelpImportFixture, HotspotsBecomeCodes) {
    const TBrindlewovenTopic& intro = *project->TopicByNumber(100);
    const std::vector<std::string> expected = {
        "keepn|",
        "linkID=|200",                         // {\v details}
        "linkID=|%300>popup",                  // {\v %gloss>popup}
        "link=|topic@other.hlp",               // another help file
        "link=|!ExecFile(c:\\tools\\x.exe)",   // a macro, its doubled backslashes undone
        "linkTarget=|anchor_two",              // a second "#" of this project
        "link=|missing",                       // an ID nobody has
        "Target=|anchor_two",                  // the second "#" footnote itself
        "button |Jump,200",                    // a jump to a topic of this file
        "button |Other,JI(`x.hlp',`details')", // one into another file stays
    };
    EXPECT_EQ(Codes(intro), expected);
    const std::string text = Joined(intro);
    EXPECT_EQ(text.find("\\uldb"), std::string::npos);
    EXPECT_NE(text.find("\\strike Details"), std::string::npos);
    EXPECT_NE(text.find("{\\ul Glossary}"), std::string::npos); // a popup stays underlined
    EXPECT_EQ(text.find("\\v "), std::string::npos);
    EXPECT_EQ(text.find("footnote"), std::string::npos);
    EXPECT_NE(text.find("Escaped \\{braces\\} and a \\\\ backslash"), std::string::npos);

    EXPECT_EQ(Codes(*project->TopicByNumber(11)), (std::vector<std::string>{"linkID=|10"}));
    // IDs are found whatever their case.
    EXPECT_EQ(Codes(*project->TopicByNumber(300)), (std::vector<std::string>{"linkID=|100"}));
}

TEST_F(WinHelpImportFixture, NonScrollingRegionEndsWithKeepnCode) {
    const std::string text = Joined(*project->TopicByNumber(100));
    EXPECT_EQ(text.find("\\keepn"), std::string::npos);
    EXPECT_NE(text.find("\\b Introduction\\b0 \\{keepn\\}\\par"), std::string::npos);
}

TEST_F(WinHelpImportFixture, PageBreaksOnlyAtPageNeverPagebbOrBinaryData) {
    const std::string intro = Joined(*project->TopicByNumber(100));
    // The \bin data holds "{\page" and must neither cut nor unbalance the topic.
    EXPECT_NE(intro.find("\\bin7 }{\\page}"), std::string::npos);
    EXPECT_NE(intro.find("Still intro."), std::string::npos);
    EXPECT_NE(Joined(*project->TopicByNumber(200)).find("\\pagebb with the pagebb word"),
              std::string::npos);
}

TEST_F(WinHelpImportFixture, TopicTextsAreWholeDocuments) {
    for (const auto& topic : project->Topics()) {
        const std::string text = Joined(*topic);
        SCOPED_TRACE(text);
        ASSERT_TRUE(text.starts_with("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"));
        EXPECT_NE(text.find("{\\f1\\fmodern Courier New;}"), std::string::npos);
        EXPECT_NE(text.find("{\\colortbl;\\red0\\green0\\blue0;"), std::string::npos);
        EXPECT_NE(text.find("{\\stylesheet{\\fs20 Normal;}}"), std::string::npos);
        // The document group closes at the very end.
        const std::size_t last = text.find_last_of('}');
        EXPECT_EQ(rtf::MatchingBrace(text, 0), last);
        EXPECT_EQ(text.find_first_not_of("\r\n", last + 1), std::string::npos);
    }
    // A group the page left open is closed inside the topic.
    EXPECT_NE(Joined(*project->TopicByNumber(10)).find("{\\b with an open group\r\n}"),
              std::string::npos);
}

TEST_F(WinHelpImportFixture, ContentsFileKeepsEveryRemainingLine) {
    EXPECT_EQ(project->ContentsIndexes, (TStringList{"Other Index=other.hlp"}));
    EXPECT_EQ(project->ContentsLinks, (TStringList{"linked.hlp"}));
    EXPECT_EQ(project->ContentsLines,
              (TStringList{"1 Getting started", "2 Introduction=intro", "2 Details=details>main",
                           "x not a level", "2 Macro=!ExecFile(a);Close()"}));
    // The one thing said: the [MAP] include that is nowhere, a warning.
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].What, components::TScriptedMessenger::TRecord::Warning);
    EXPECT_TRUE(messenger.Records[0].Text.starts_with(
        "The file \"more.h\" that [MAP] includes was not read: not found (looked for "))
        << messenger.Records[0].Text;
    EXPECT_EQ(result.Warnings, TStringList{messenger.Records[0].Text});
}

} // namespace
