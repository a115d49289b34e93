// A project written as WinHelp sources by this program's own writer and
// imported back gives the same topics: numbers, IDs, titles, keywords,
// browse sequences, build tags, windows, entry macros and markup codes, and
// the same options, sections and contents.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/scriptedmessenger.h"
#include "helpproject/import/winhelpimport.h"
#include "helpproject/markupcodes.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/codepage.h"
#include "platform/tempfolder.h"

using namespace helpproject;

namespace {

TStringList TopicText(const std::string& body) {
    return {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern Courier "
            "New;}}",
            "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}", body, "}"};
}

// "KIND|value" of every markup code of a topic, keywords in one case.
std::vector<std::string> Codes(const TBrindlewovenTopic& topic) {
    std::vector<std::string> codes;
    for (const std::string& line : topic.Text)
        for (const TMarkupCode& code : ScanMarkupCodes(line))
            codes.push_back(platform::AnsiLowerCase(code.Keyword) + "|" + code.Value);
    return codes;
}

std::unique_ptr<TBrindlewovenProject> SampleProject(const std::string& folder) {
    auto project = std::make_unique<TBrindlewovenProject>();
    project->DeleteTopic(10);
    project->FileName = folder + "/sample.bwv";
    project->Compiler = helpproject::THelpCompiler::WinHelp32; // A keywords and the contents file
    project->HelpFileKind = 16;                                // B keywords
    project->Title = "Round \xE9 trip";
    project->Copyright = "(c) Us; 2026";
    project->Citation = "Cite me";
    project->Compress = true;
    project->Config = {"BrowseButtons()", "A();B(\"x ; y\")"};
    project->Windows = {"main=\"Main\",(0,0,1023,1023)"};
    project->Baggage = {"data.bin"};
    project->ContentsIndexes = {"Other=other.hlp"};
    project->ContentsLinks = {"linked.hlp"};
    project->ContentsLines = {"1 Book", "2 Intro=intro", "2 Second=Vellumar20>main"};

    TBrindlewovenTopic* intro = project->AddTopic(5, "Intro {braces} \\ back");
    intro->TopicID = "intro";
    intro->KKeywords = "start;K first;welcome";
    intro->AKeywords = "a_intro";
    intro->BKeywords = "TIntro";
    intro->BrowseSequence = "main:0001";
    intro->BuildTag = "alpha;beta";
    intro->Window = "main";
    intro->EntryMacro = "SetContents(`',`intro')";
    intro->SetText(
        TopicText("\\pard\\f0\\fs20\\b Intro title\\b0 \\{keepn\\}\\par\r\n"
                  "\\pard See {\\strike second}\\{linkID=20\\}, {\\ul pop}\\{linkID=%30>main\\}, "
                  "{\\strike out}\\{link=topic@other.hlp\\}, {\\strike "
                  "run}\\{link=!ExecFile(c:\\\\x.exe)\\}.\\par\r\n"
                  "\\pard Here \\{target=anchor\\} and {\\cf2 red} \\{bmc logo.bmp\\} \\{button "
                  "Go,Back()\\} \\{button Next,30\\}.\\par"));

    TBrindlewovenTopic* second = project->AddTopic(20, "Second");
    second->KKeywords = "second";
    second->BrowseSequence = "main:0002";
    second->SetText(
        TopicText("\\pard\\f1 Back to {\\strike the anchor}\\{linkTarget=anchor\\}.\\par"));

    TBrindlewovenTopic* third = project->AddTopic(30, "Third \xE9");
    third->TopicID = "Third_Topic";
    third->SetText(TopicText("\\pard Plain \\{braces\\} text.\\par"));
    return project;
}

TEST(WinHelpImportRoundTrip, ExportedProjectImportsBackTopicByTopic) {
    platform::TempFolder folder("bwroundtrip");
    const std::string dir = folder.Path().string();
    auto original = SampleProject(dir);
    const TWinHelpSourceFiles files{dir + "/sample.hpj", dir + "/sample.rtf", {}};
    WriteWinHelpSources(*original, files, false);

    auto imported = std::make_unique<TBrindlewovenProject>();
    imported->DeleteTopic(10);
    components::TScriptedMessenger messenger;
    const TWinHelpImportResult result =
        ImportWinHelpProject(*imported, files.HpjFileName, &messenger);
    EXPECT_TRUE(messenger.Records.empty());
    EXPECT_EQ(result.PagesWithoutID, 0);

    ASSERT_EQ(imported->TopicCount(), original->TopicCount());
    for (std::int32_t i = 1; i <= original->TopicCount(); ++i) {
        const TBrindlewovenTopic& a = *original->TopicByIndex(i);
        const TBrindlewovenTopic& b = *imported->TopicByIndex(i);
        SCOPED_TRACE(a.TopicID);
        EXPECT_EQ(b.Number, a.Number);
        EXPECT_EQ(b.TopicID, a.TopicID);
        EXPECT_EQ(b.Title, a.Title);
        EXPECT_EQ(b.KKeywords, a.KKeywords);
        EXPECT_EQ(b.AKeywords, a.AKeywords);
        EXPECT_EQ(b.BKeywords, a.BKeywords);
        EXPECT_EQ(b.BrowseSequence, a.BrowseSequence);
        EXPECT_EQ(b.BuildTag, a.BuildTag);
        EXPECT_EQ(b.Window, a.Window);
        EXPECT_EQ(b.EntryMacro, a.EntryMacro);
        EXPECT_EQ(b.Status, "Imported");
        EXPECT_EQ(Codes(b), Codes(a));
    }
    EXPECT_EQ(imported->Title, original->Title);
    EXPECT_EQ(imported->Copyright, original->Copyright);
    EXPECT_EQ(imported->Citation, original->Citation);
    EXPECT_EQ(imported->Compress, original->Compress);
    EXPECT_EQ(imported->Config, original->Config);
    EXPECT_EQ(imported->Windows, original->Windows);
    EXPECT_EQ(imported->Baggage, original->Baggage);
    EXPECT_EQ(imported->ContentsIndexes, original->ContentsIndexes);
    EXPECT_EQ(imported->ContentsLinks, original->ContentsLinks);
    EXPECT_EQ(imported->ContentsLines, original->ContentsLines);

    // Written again, the import gives the same topic file.
    imported->FileName = dir + "/again.bwv";
    imported->Compiler = helpproject::THelpCompiler::WinHelp32;
    imported->HelpFileKind = 16;
    auto twice = std::make_unique<TBrindlewovenProject>();
    twice->DeleteTopic(10);
    const TWinHelpSourceFiles again{dir + "/again.hpj", dir + "/again.rtf", {}};
    WriteWinHelpSources(*imported, again, false);
    ImportWinHelpProject(*twice, again.HpjFileName);
    ASSERT_EQ(twice->TopicCount(), imported->TopicCount());
    for (std::int32_t i = 1; i <= imported->TopicCount(); ++i)
        EXPECT_EQ(twice->TopicByIndex(i)->Text, imported->TopicByIndex(i)->Text);
}

} // namespace
