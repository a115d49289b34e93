#include "helpproject/writers/htmlhelpwriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "components/scriptedmessenger.h"
#include "helpproject/brindlewovenproject.h"
#include "platform/fileio.h"

namespace fs = std::filesystem;
using helpproject::TBrindlewovenProject;
using helpproject::TStringList;

namespace {

TStringList Rtf(const std::string& body) {
    return {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}", body, "}"};
}

std::string ReadText(const fs::path& path) {
    return platform::ReadFileBytes(path);
}

fs::path TempFolder(const std::string& name) {
    const fs::path folder =
        fs::temp_directory_path() / ("bwhtmlout_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// Heading, levels 1 -> 3 -> 1, keywords with sub-keywords, an unknown ID, a
// build tag that leaves one topic out.
void FillSmallProject(TBrindlewovenProject& p) {
    p.Title = "Tea \"Timer\"";
    p.Copyright = "(c) Q & K";
    p.LocaleID = "0x0409";
    p.BuildTags = "Pro";
    p.WindowRememberPos = false;
    p.HtmlFullTextSearch = true;
    auto* intro = p.Topics().front().get(); // 10, automatic ID
    intro->Title = "Intro";
    intro->KKeywords = "Printing;Tea & milk";
    intro->SetText(Rtf("Hello {\\strike Setup}\\{linkID=20\\}\\par"));
    auto* setup = p.AddTopic(20, "Setting up");
    setup->TopicID = "Set up";
    setup->KKeywords = "Printing, setup";
    setup->SetText(Rtf("Setup\\par"));
    auto* lite = p.AddTopic(30, "Lite only");
    lite->BuildTag = "Lite";
    lite->KKeywords = "Printing";
    p.ContentsLines = {":Base tea.hlp",       "1 Getting started", "2 Intro=Vellumar10",
                       "3 Setup=set up>main", "1 Gone=NoSuchID",   "1 Back=vellumar10@other.chm"};
}

TEST(HtmlHelpWriter, GoldenProjectContentsAndIndex) {
    const fs::path folder = TempFolder("golden");
    TBrindlewovenProject p;
    FillSmallProject(p);
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = (folder / "tea.hhp").string();
    options.ChmFileName = (folder / "tea.chm").string();
    options.ErrorLogFileName = "tea.log";
    const helpproject::TBuildReport report =
        helpproject::WriteHtmlHelpProject(p, true, true, options);

    EXPECT_EQ(
        ReadText(folder / "tea.hhp"),
        "; Tea \"Timer\"\r\n; (c) Q & K\r\n\r\n[OPTIONS]\r\nCompatibility=1.1 or later\r\n"
        "Compiled file=" +
            (folder / "tea.chm").string() +
            "\r\n"
            "Contents file=tea.hhc\r\nDefault topic=html\\bw10.htm\r\nDefault Window=main\r\n"
            "Error log file=tea.log\r\nFull-text search=Yes\r\nIndex file=tea.hhk\r\n"
            "Language=0x0409\r\nTitle=Tea \"Timer\"\r\n\r\n[WINDOWS]\r\n"
            "main=\"Tea 'Timer'\",\"tea.hhc\",\"tea.hhk\",\"html\\bw10.htm\",,,,,,0x520,,0x200e,"
            "[150,50,750,550],,,,,,,0\r\n\r\n[FILES]\r\nhtml\\bw10.htm\r\nhtml\\set up.htm\r\n\r\n"
            "[MAP]\r\n#define html\\bw10 10\r\n#define html\\set_up 20\r\n");
    const std::string head = "<HTML><HEAD>\r\n\t<META HTTP-EQUIV";
    const std::string hhc = ReadText(folder / "tea.hhc");
    const auto body = hhc.find("<UL>");
    ASSERT_NE(body, std::string::npos);
    EXPECT_EQ(
        hhc.substr(body),
        "<UL>\r\n"
        "\t<LI><OBJECT TYPE=\"text/sitemap\">\r\n\t\t<PARAM NAME=\"Name\" VALUE=\"Getting "
        "started\">\r\n\t</OBJECT>\r\n"
        "\t<UL>\r\n"
        "\t\t<LI><OBJECT TYPE=\"text/sitemap\">\r\n\t\t\t<PARAM NAME=\"Name\" VALUE=\"Intro\">\r\n"
        "\t\t\t<PARAM NAME=\"Local\" VALUE=\"html/bw10.htm\">\r\n\t\t</OBJECT>\r\n"
        "\t\t<UL>\r\n"
        "\t\t\t<LI><OBJECT TYPE=\"text/sitemap\">\r\n\t\t\t\t<PARAM NAME=\"Name\" "
        "VALUE=\"Setup\">\r\n"
        "\t\t\t\t<PARAM NAME=\"Local\" VALUE=\"html/set up.htm\">\r\n\t\t\t</OBJECT>\r\n"
        "\t\t</UL>\r\n\t</UL>\r\n"
        "\t<LI><OBJECT TYPE=\"text/sitemap\">\r\n\t\t<PARAM NAME=\"Name\" VALUE=\"Back\">\r\n"
        "\t\t<PARAM NAME=\"Local\" VALUE=\"html/bw10.htm\">\r\n\t</OBJECT>\r\n"
        "</UL>\r\n</BODY></HTML>\r\n");
    EXPECT_NE(hhc.find("\t<META NAME=\"AUTHOR\" CONTENT=\"(c) Q &amp; K\">"), std::string::npos);

    const std::string hhk = ReadText(folder / "tea.hhk");
    EXPECT_EQ(
        hhk.substr(hhk.find("<UL>")),
        "<UL>\r\n"
        "<LI><OBJECT TYPE=\"text/sitemap\">\r\n\t<PARAM NAME=\"Keyword\" VALUE=\"Printing\">\r\n"
        "\t<PARAM NAME=\"Local\" VALUE=\"html/bw10.htm\">\r\n</OBJECT>\r\n"
        "<UL>\t<LI><OBJECT TYPE=\"text/sitemap\">\r\n\t\t<PARAM NAME=\"Keyword\" "
        "VALUE=\"setup\">\r\n"
        "\t\t<PARAM NAME=\"Local\" VALUE=\"html/set up.htm\">\r\n\t</OBJECT>\r\n</UL>\r\n"
        "<LI><OBJECT TYPE=\"text/sitemap\">\r\n\t<PARAM NAME=\"Keyword\" VALUE=\"Tea &amp; "
        "milk\">\r\n"
        "\t<PARAM NAME=\"Local\" VALUE=\"html/bw10.htm\">\r\n</OBJECT>\r\n"
        "</UL>\r\n</BODY></HTML>\r\n");
    EXPECT_NE(hhk.find("\t<META NAME=\"AUTHOR\" CONTENT=\"(c) Q &amp; K\">"), std::string::npos);

    const std::string page = ReadText(folder / "html" / "bw10.htm");
    EXPECT_NE(page.find("<A HREF=\"set up.htm\">Setup</A>"), std::string::npos) << page;
    EXPECT_NE(page.find("\t\t<PARAM NAME=\"Keyword\" VALUE=\"Tea &amp; milk\">"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "html" / "bw30.htm"));
    EXPECT_EQ(report.ErrorLogFileName, "tea.log");
    EXPECT_EQ(report.ChmFileName, (folder / "tea.chm").string());
    EXPECT_EQ(report.TempFiles,
              (TStringList{(folder / "html" / "bw10.htm").string(),
                           (folder / "html" / "set up.htm").string(), (folder / "tea.hhc").string(),
                           (folder / "tea.hhk").string(), (folder / "tea.hhp").string()}));
    EXPECT_EQ(report.IncludedTopics, (std::vector<std::int32_t>{10, 20}));
    // The writer leaves the project as it was.
    EXPECT_TRUE(p.ChmFileName.empty());
    EXPECT_FALSE(p.TopicByNumber(30)->Included);
    fs::remove_all(folder);
}

// A make writes into its own private folder, where each file is written once
// under its final name: the same files as anywhere else, a file already
// there replaced whole. A contents entry whose ID is also an anchor's name
// links the topic's page, the first line of the target list.
TEST(HtmlHelpWriter, PrivateFolderWritesTheSameFiles) {
    std::map<std::string, std::string> written[2];
    for (const bool privateFolder : {false, true}) {
        const fs::path folder = TempFolder(privateFolder ? "private" : "public");
        TBrindlewovenProject p;
        FillSmallProject(p);
        p.Topics().front()->SetText(
            Rtf("Hello \\{target=Set up\\} {\\strike Setup}\\{linkID=20\\}\\par"));
        fs::create_directories(folder / "html");
        platform::WriteFileAtomic(folder / "html" / "bw10.htm", "left from before");
        helpproject::THtmlHelpWriteOptions options;
        options.HhpFileName = (folder / "tea.hhp").string();
        options.ChmFileName = "tea.chm";
        options.ErrorLogFileName = "tea.log";
        options.PrivateFolder = privateFolder;
        helpproject::WriteHtmlHelpProject(p, true, true, options);
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                written[privateFolder][fs::relative(entry.path(), folder).string()] =
                    ReadText(entry.path());
        fs::remove_all(folder);
    }
    EXPECT_EQ(written[0], written[1]);
    EXPECT_EQ(written[1].size(), 5u);
    EXPECT_NE(written[1]["html/bw10.htm"].find("<A NAME=\"Set up\"></A>"), std::string::npos);
    EXPECT_NE(written[1]["tea.hhc"].find("VALUE=\"Setup\">\r\n\t\t\t\t<PARAM NAME=\"Local\" "
                                         "VALUE=\"html/set up.htm\">"),
              std::string::npos)
        << written[1]["tea.hhc"];
}

// An ID that names no page takes the automatic one in the output, as links
// and contents entries know it; the project keeps its own.
TEST(HtmlHelpWriter, IdWithoutAPageNameTakesTheAutomaticOne) {
    const fs::path folder = TempFolder("automatic");
    TBrindlewovenProject p;
    p.AddTopic(20, "Stars")->TopicID = "***";
    p.ContentsLines = {"1 Stars=Vellumar20", "1 Old=***"};
    components::TScriptedMessenger messenger;
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = (folder / "x.hhp").string();
    options.Messenger = &messenger;
    const helpproject::TBuildReport report =
        helpproject::WriteHtmlHelpProject(p, false, false, options);
    EXPECT_TRUE(fs::exists(folder / "html" / "bw20.htm"));
    const std::string hhc = ReadText(folder / "x.hhc");
    EXPECT_NE(hhc.find("VALUE=\"Stars\">\r\n\t\t<PARAM NAME=\"Local\" VALUE=\"html/bw20.htm\">"),
              std::string::npos)
        << hhc;
    EXPECT_EQ(hhc.find("VALUE=\"Old\""), std::string::npos);
    EXPECT_EQ(report.AutomaticIDs, std::vector<std::int32_t>{20});
    EXPECT_EQ(p.TopicByNumber(20)->TopicID, "***");
    EXPECT_EQ(messenger.ProgressTexts,
              (TStringList{"Converting topics from RTF to HTML...",
                           "Converting WinHelp tags to HTMLHelp tags...",
                           "Converting WinHelp tags to HTMLHelp tags...\r(second pass)",
                           "Saving HTML topic files...", "Writing HTML Help project file..."}));
    EXPECT_EQ(messenger.ProgressMaximum, 0);
    EXPECT_FALSE(messenger.ProgressOpen);
    helpproject::KeepBuildChoices(p, report);
    EXPECT_EQ(p.TopicByNumber(20)->TopicID, "Vellumar20");
    fs::remove_all(folder);
}

TEST(HtmlHelpWriter, IndexRulesAndNoContents) {
    const fs::path folder = TempFolder("index");
    TBrindlewovenProject p;
    p.Topics().front()->KKeywords = "Printing";
    p.AddTopic(20, "B")->KKeywords = "printing";
    p.AddTopic(30, "C")->KKeywords = "PRINTING;Alone,one";
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = (folder / "x.hhp").string();
    helpproject::WriteHtmlHelpProject(p, false, false, options);
    const std::string hhp = ReadText(folder / "x.hhp");
    EXPECT_EQ(hhp.find("Compiled file="), std::string::npos);
    EXPECT_NE(hhp.find("main=\"\",,\"x.hhk\",\"html\\bw10.htm\",,,,,,0x40120,"), std::string::npos)
        << hhp;
    EXPECT_FALSE(fs::exists(folder / "x.hhc"));
    const std::string hhk = ReadText(folder / "x.hhk");
    EXPECT_NE(
        hhk.find(
            "<LI><OBJECT TYPE=\"text/sitemap\">\r\n\t<PARAM NAME=\"Keyword\" VALUE=\"Alone\">\r\n"
            "\t\t<PARAM NAME=\"Local\" VALUE=\"html/bw30.htm\">\r\n</OBJECT>\r\n"),
        std::string::npos)
        << hhk;
    EXPECT_NE(hhk.find("VALUE=\"Printing\">\r\n"
                       "\t<PARAM NAME=\"Name\" VALUE=\"&lt;new topic&gt;\">\r\n\t<PARAM "
                       "NAME=\"Local\" VALUE=\"html/bw10.htm\">\r\n"
                       "\t<PARAM NAME=\"Name\" VALUE=\"B\">\r\n\t<PARAM NAME=\"Local\" "
                       "VALUE=\"html/bw20.htm\">\r\n"
                       "\t<PARAM NAME=\"Name\" VALUE=\"C\">\r\n\t<PARAM NAME=\"Local\" "
                       "VALUE=\"html/bw30.htm\">\r\n</OBJECT>"),
              std::string::npos)
        << hhk;
    fs::remove_all(folder);
}

} // namespace
