// The WinHelp compiler input: help project, topic file, contents file and
// C header, compared byte for byte with files written by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "helpproject/brindlewovenerror.h"
#include "helpproject/build/buildrecord.h"
#include "helpproject/writers/topictables.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/tempfolder.h"
#include "winhelp_support.h"

namespace {

namespace fs = std::filesystem;
using namespace helpproject;
using winhelptest::ReadBytes;
using winhelptest::ReplaceAll;

const std::string kData = BW_TEST_DATA "/writers/";

class WinHelpWriterTest : public ::testing::Test {
protected:
    winhelptest::TScratch scratch;
    std::unique_ptr<TBrindlewovenProject> project = winhelptest::MakeGuideProject(scratch.Path());
    const TWinHelpSourceFiles files = winhelptest::GuideFiles(scratch.Path());
    TBuildReport report;

    std::string Written(const std::string& name) {
        std::string text = ReadBytes(scratch.Path() / name);
        if (!report.ErrorLogFileName.empty())
            text = ReplaceAll(text, report.ErrorLogFileName, "@LOG@");
        return ReplaceAll(text, scratch.Path().string(), "@OUT@");
    }
    std::string Hpj() { return Written("guide.hpj"); }
    std::string Rtf() { return Written("guide.rtf"); }
};

TEST_F(WinHelpWriterTest, ExportModeMatchesTheHandWrittenFiles) {
    report = WriteWinHelpSources(*project, files, false);
    WriteHelpIdHeader(*project, report);
    EXPECT_EQ(Hpj(), ReadBytes(kData + "guide-export.hpj"));
    EXPECT_EQ(Rtf(), ReadBytes(kData + "guide-export.rtf"));
    EXPECT_EQ(Written("guide.cnt"), ReadBytes(kData + "guide-export.cnt"));
    EXPECT_EQ(Written("guide_HELPID.C"), ReadBytes(kData + "guide-export_HELPID.C"));
    EXPECT_EQ(report.HelpFileName, scratch / "guide.hlp");
    EXPECT_EQ(report.LocaleID, "0x0409   English (U.S.)"); // kept trimmed
    EXPECT_TRUE(report.ErrorLogFileName.empty());
}

TEST_F(WinHelpWriterTest, BuildModeWritesOnlyIncludedTopicsAndAnErrorLog) {
    platform::TempFolder temp("bwtest");
    TTempFolderFileNames names(temp);
    report = WriteWinHelpSources(*project, files, true, &names);
    WriteHelpIdHeader(*project, report);
    ASSERT_FALSE(report.ErrorLogFileName.empty());
    EXPECT_EQ(fs::path(report.ErrorLogFileName).parent_path(), temp.Path());
    EXPECT_EQ(Hpj(), ReadBytes(kData + "guide-build.hpj"));
    EXPECT_EQ(Rtf(), ReadBytes(kData + "guide-build.rtf"));
    EXPECT_EQ(Written("guide.cnt"), ReadBytes(kData + "guide-build.cnt"));
    EXPECT_EQ(Written("guide_HELPID.C"), ReadBytes(kData + "guide-build_HELPID.C"));
}

TEST_F(WinHelpWriterTest, SixteenBitCompilerGetsOemTextAndNoThirtyTwoBitOptions) {
    project->Compiler = helpproject::THelpCompiler::WinHelp16;
    project->Title = "Caf\xE9";
    project->Config = {"SetTitle(\"\xE9t\xE9\")"};
    fs::remove(scratch.Path() / "guide.cnt");
    winhelptest::WriteBytes(scratch.Path() / "guide.cnt", "old");
    report = WriteWinHelpSources(*project, files, false);
    const std::string hpj = Hpj();
    EXPECT_NE(hpj.find("\r\nTITLE=Caf\x82\r\n"), std::string::npos); // code page 437
    EXPECT_NE(hpj.find("\r\nSetTitle(\"\x82t\x82\")\r\n"), std::string::npos);
    EXPECT_EQ(hpj.find("LCID="), std::string::npos);
    EXPECT_EQ(hpj.find("CNT="), std::string::npos);
    // The topic file is not for the compiler's eyes only: it stays ANSI.
    EXPECT_NE(Rtf().find("{\\up $}{\\footnote {\\up $} Introduction}"), std::string::npos);
    EXPECT_EQ(Rtf().find("{\\up A}"), std::string::npos);      // A keywords are 32-bit only
    EXPECT_EQ(ReadBytes(scratch.Path() / "guide.cnt"), "old"); // not the 16-bit compiler's
}

TEST_F(WinHelpWriterTest, ThirtyTwoBitCompilerWritesAnsiText) {
    project->Title = "Caf\xE9";
    report = WriteWinHelpSources(*project, files, false);
    EXPECT_NE(Hpj().find("\r\nTITLE=Caf\xE9\r\n"), std::string::npos);
}

struct LocaleCase {
    const char* locale;
    int compiler;
    const char* line; // nullptr: no LCID line
    const char* kept;
};

class LocaleTest : public WinHelpWriterTest, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(LocaleTest, LcidLineAndStoredLocale) {
    const LocaleCase& c = GetParam();
    project->LocaleID = c.locale;
    project->Compiler = static_cast<THelpCompiler>(c.compiler);
    report = WriteWinHelpSources(*project, files, false);
    const std::string hpj = Hpj();
    if (c.line)
        EXPECT_NE(hpj.find(std::string("\r\n") + c.line + "\r\n"), std::string::npos) << hpj;
    else
        EXPECT_EQ(hpj.find("LCID"), std::string::npos) << hpj;
    EXPECT_EQ(report.LocaleID, c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocaleTest,
    ::testing::Values(LocaleCase{"0x0409   English (U.S.)", 1, "LCID=0x0409",
                                 "0x0409   English (U.S.)"},
                      LocaleCase{"0x0409   English (U.S.)", 0, nullptr, "0x0409   English (U.S.)"},
                      LocaleCase{" 0X0c0a ", 1, "LCID=0x0c0a", "0X0c0a"},
                      LocaleCase{"English", 1, nullptr, ""}, LocaleCase{"0x12", 1, nullptr, ""},
                      LocaleCase{"0xZZZZ", 1, nullptr, ""}));

TEST_F(WinHelpWriterTest, ContentsFileFollowsHelpKindAndBuildRules) {
    project->HelpFileKind = 48;
    project->ContentsLines.clear();
    report = WriteWinHelpSources(*project, files, false);
    EXPECT_EQ(ReadBytes(scratch.Path() / "guide.cnt"),
              ":BASE guide.hlp\r\n:TITLE Lantern Guide\r\n:INCLUDE DELPHI3.CFG\r\n"
              ":INDEX Other=other.hlp\r\n");

    // A plain help file without contents lines has no contents file.
    project->HelpFileKind = 0;
    report = WriteWinHelpSources(*project, files, false);
    EXPECT_FALSE(fs::exists(scratch.Path() / "guide.cnt"));
}

TEST_F(WinHelpWriterTest, ComponentHelpKindsGetTheirExtras) {
    project->HelpFileKind = 272;
    project->Compiler = helpproject::THelpCompiler::WinHelp32;
    report = WriteWinHelpSources(*project, files, false);
    const std::string hpj = Hpj();
    EXPECT_NE(hpj.find("[CONFIG]\r\nBrowseButtons()\r\nCB(`Master_Btn',`Book &Shelf',"
                       "`EF(`bcbmain.hlp',`',1,`')')\r\n"),
              std::string::npos);
    EXPECT_NE(hpj.find("SetHelpOnFile(\"BCBMAIN.HLP\")\r\n\r\n"), std::string::npos);
    EXPECT_NE(ReadBytes(scratch.Path() / "guide.cnt").find("\r\n:LINK BCBVCL.HLP\r\n"),
              std::string::npos);
    EXPECT_EQ(Rtf().find("{\\up B}"), std::string::npos);

    project->HelpFileKind = 16;
    project->TopicByNumber(10)->BKeywords = "TLantern";
    report = WriteWinHelpSources(*project, files, false);
    EXPECT_NE(Rtf().find("{\\up B}{\\footnote {\\up B} TLantern}"), std::string::npos);
}

TEST_F(WinHelpWriterTest, OutputFolderAndEmptyIdsAndEscapes) {
    project->OutputFolder = scratch / "out/";
    fs::create_directories(scratch.Path() / "out");
    project->TopicByNumber(20)->TopicID = "";
    project->TopicByNumber(20)->Title = "Wicks \\ {braces} \xE9";
    report = WriteWinHelpSources(*project, files, false);
    WriteHelpIdHeader(*project, report);
    EXPECT_EQ(report.HelpFileName, scratch / "out/guide.hlp");
    EXPECT_EQ(report.AutomaticIDs, std::vector<std::int32_t>{20});
    EXPECT_NE(Hpj().find("\r\nVellumar20   20\r\n"), std::string::npos);
    EXPECT_NE(Rtf().find("{\\up $}{\\footnote {\\up $} Wicks \\\\ \\{braces\\} \\'E9}"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(scratch.Path() / "out/guide.cnt"));
    EXPECT_TRUE(fs::exists(scratch.Path() / "out/guide_HELPID.C"));
}

TEST_F(WinHelpWriterTest, LongIdPushesTheHeaderColumns) {
    project->TopicByNumber(10)->TopicID = "a_really_long_context_string_here";
    report = WriteWinHelpSources(*project, files, false);
    WriteHelpIdHeader(*project, report);
    EXPECT_NE(Written("guide_HELPID.C")
                  .find("#define  a_really_long_context_string_here (10) // Introduction\r\n"),
              std::string::npos);
}

TEST_F(WinHelpWriterTest, TopicErrorsNameTheTopicAndReplaceNothing) {
    report = WriteWinHelpSources(*project, files, false);
    const std::string before = ReadBytes(scratch.Path() / "guide.rtf");
    struct Case {
        int topic;
        TStringList text;
        std::string message;
    };
    std::string manyFonts, manyColors = ";";
    for (int i = 0; i < 257; ++i) {
        manyFonts += "{\\f" + std::to_string(i) + "\\fswiss F" + std::to_string(i) + ";}";
        manyColors +=
            "\\red" + std::to_string(i % 256) + "\\green0\\blue" + std::to_string(i / 256) + ";";
    }
    const Case cases[] = {
        {30, {"{\\rtf1\\ansi \\pard text\\par }"}, "Topic 30 has no font table"},
        {30, winhelptest::TopicText(manyFonts, ";", {"\\pard x\\par }"}),
         "Too many (+255) fonts in topic #30"},
        {20, winhelptest::TopicText("{\\f0 A;}", manyColors, {"\\pard x\\par }"}),
         "Too many (+255) colors in topic #20"},
        {20, winhelptest::TopicText("{\\f0 A;}", ";", {"\\pard x\\{linkID=99\\}\\par }"}),
         "Link in topic #20 points to a topic #99 that does not exist"},
    };
    for (const Case& c : cases) {
        auto fresh = winhelptest::MakeGuideProject(scratch.Path());
        fresh->TopicByNumber(c.topic)->SetText(c.text);
        try {
            WriteWinHelpSources(*fresh, files, false);
            ADD_FAILURE() << c.message;
        } catch (const EBrindlewoven& e) {
            EXPECT_EQ(e.what(), c.message);
            EXPECT_EQ(e.TopicNumber(), c.topic);
        }
        EXPECT_EQ(ReadBytes(scratch.Path() / "guide.rtf"), before);
    }
}

TEST_F(WinHelpWriterTest, TheReportCarriesWhatTheProjectKeeps) {
    project->LocaleID = " 0X0c0a ";
    project->TopicByNumber(30)->TopicID = "";
    const TBrindlewovenProject& unchanged = *project;
    platform::TempFolder temp("bwtest");
    TTempFolderFileNames names(temp);
    report = WriteWinHelpSources(unchanged, files, true, &names);
    WriteHelpIdHeader(unchanged, report);
    // The writers leave the project as it was ...
    EXPECT_EQ(project->LocaleID, " 0X0c0a ");
    EXPECT_TRUE(project->HelpFileName.empty());
    EXPECT_EQ(project->TopicByNumber(30)->TopicID, "");
    // ... a make's record takes the names they chose ...
    TBuildRecord build;
    build.TakeReport(report);
    EXPECT_EQ(build.HelpFileName, scratch / "guide.hlp");
    EXPECT_EQ(build.Report.CntFileName, scratch / "guide.cnt");
    EXPECT_EQ(build.ErrorLogFileName, report.ErrorLogFileName);
    // ... and the project keeps the locale, the automatic IDs and the
    // Included flags.
    KeepBuildChoices(*project, report);
    EXPECT_EQ(project->LocaleID, "0X0c0a");
    EXPECT_EQ(project->TopicByNumber(30)->TopicID, "Vellumar30");
    EXPECT_TRUE(project->HelpFileName.empty());
    for (std::int32_t i = 1; i <= project->TopicCount(); ++i) {
        const TBrindlewovenTopic& topic = *project->TopicByIndex(i);
        EXPECT_EQ(topic.Included, std::count(report.IncludedTopics.begin(),
                                             report.IncludedTopics.end(), topic.Number) == 1)
            << topic.Number;
    }
    EXPECT_EQ(report.IncludedTopics, (std::vector<std::int32_t>{10, 30})); // "Net" is left out
    EXPECT_EQ(report.FilesWritten,
              (TStringList{files.HpjFileName, files.RtfFileName, scratch / "guide.cnt",
                           scratch / "guide_HELPID.C"}));
}

TEST_F(WinHelpWriterTest, AllTopicsExcludedStopsTheBuild) {
    project->BuildTags = "Nothing";
    project->TopicByNumber(10)->BuildTag = "Pro";
    EXPECT_THROW(WriteWinHelpSources(*project, files, true), EProjectError);
}

TEST(FontEntries, FixFontCharsetKeepsFamilyAndCharset) {
    EXPECT_EQ(FixFontCharset("\\fswiss\\fprq2\\fcharset0 Arial;"), "\\fswiss\\fcharset0 Arial;");
    EXPECT_EQ(FixFontCharset("\\froman\\fprq2 Times;"), "\\froman Times;");
    EXPECT_EQ(FixFontCharset("\\fswiss\\fcharset0{\\*\\falt Helv}Arial;"),
              "\\fswiss\\fcharset0 Arial;");
    EXPECT_EQ(FixFontCharset("\\fnil Symbol;"), "\\fnil Symbol;");
    EXPECT_EQ(RtfEscape("a\\b{c}\xE9\x80"), "a\\\\b\\{c\\}\\'E9\\'80");
}

} // namespace
