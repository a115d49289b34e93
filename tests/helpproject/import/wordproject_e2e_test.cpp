// A WinHelp project as Word-era tools wrote it (tests/data/writers/wordimport):
// an application wizard's .hpj kept by the help workshop (COMPRESS=12 Hall
// Zeck, repeated ROOT and BMROOT lines, CONTENTS=, [MAP] includes of the
// application's .hm and of a header that is not there, [ALIAS] lines, a
// [FILES] entry that is missing after two present ones) and Word 97 topic
// files in code page 1251 (jumps and popups formatted for the paragraph,
// typographic quotes in footnotes, a heading down the page kept with its next
// paragraph, a nested table, a row cut short). It is imported as a person
// would, then made into web help, a compiled HTML Help file and the manuals;
// the tables below say what must hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "components/scriptedmessenger.h"
#include "helpproject/build/buildrecord.h"
#include "helpproject/build/chmcmdadapter.h"
#include "helpproject/import/winhelpimport.h"
#include "helpproject/writers/htmlcheck_support.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "helpproject/writers/htmlmanual.h"
#include "helpproject/writers/rtfmanual.h"
#include "helpproject/writers/webhelpwriter.h"
#include "helpproject/writers/winhelp_support.h"
#include "platform/fileio.h"
#include "platform/tempfolder.h"

using namespace helpproject;
namespace fs = std::filesystem;

namespace {

const fs::path kFixture = BW_TEST_DATA "/writers/wordimport";

// Text without its tags.
std::string PlainText(const std::string& html) {
    std::string text;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            const std::size_t close = html.find('>', i);
            if (close != std::string::npos) {
                i = close;
                continue;
            }
        }
        text += html[i];
    }
    return text;
}

// Every anchor of a page with an address: "address|text", the text
// without the tags inside the anchor.
std::vector<std::string> Links(const std::string& page) {
    std::vector<std::string> links;
    for (std::size_t at = page.find("<A HREF=\""); at != std::string::npos;
         at = page.find("<A HREF=\"", at + 1)) {
        const std::size_t hrefEnd = page.find('"', at + 9);
        const std::size_t openEnd = page.find('>', hrefEnd);
        const std::size_t close = page.find("</A>", openEnd);
        if (hrefEnd == std::string::npos || openEnd == std::string::npos ||
            close == std::string::npos)
            break;
        links.push_back(page.substr(at + 9, hrefEnd - at - 9) + "|" +
                        PlainText(page.substr(openEnd + 1, close - openEnd - 1)));
    }
    return links;
}

bool HasLink(const std::string& page, const std::string& link) {
    const std::vector<std::string> links = Links(page);
    return std::find(links.begin(), links.end(), link) != links.end();
}

class WordProject : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = std::make_unique<platform::TempFolder>("bwwordproject");
        project = std::make_unique<TBrindlewovenProject>();
        project->DeleteTopic(10);
        messenger = std::make_unique<components::TScriptedMessenger>();
        try {
            ImportWinHelpProject(*project, (kFixture / "scribe.hpj").string(), messenger.get());
        } catch (const EProjectError& error) {
            importError = error.what();
        }

        project->WebOutputFile = (folder->Path() / "web" / "index.htm").string();
        fs::create_directories(folder->Path() / "web");
        webReport = ExportWebHelp(*project);

        const fs::path chm = folder->Path() / "chm";
        fs::create_directories(chm);
        THtmlHelpWriteOptions options;
        options.HhpFileName = build.HhpFileName = (chm / "scribe.hhp").string();
        options.ChmFileName = build.ChmFileName = (chm / "scribe.chm").string();
        options.ErrorLogFileName = (chm / "scribe.log").string();
        build.TakeReport(WriteHtmlHelpProject(*project, false, false, options));
        chmReport = build.Report;
        compiled = CompileWithChmcmd(build).Produced;

        ExportHtmlManual(*project, (folder->Path() / "manual.htm").string(), false);
        rtfManual = RtfManualBytes(*project, false);
    }
    static void TearDownTestSuite() {
        project.reset();
        messenger.reset();
        folder.reset();
    }

    static std::string Web(const std::string& page) {
        return platform::ReadFileBytes(folder->Path() / "web" / page);
    }
    static std::string Chm(const std::string& page) {
        return platform::ReadFileBytes(folder->Path() / "chm" / "html" / page);
    }

    static inline std::unique_ptr<platform::TempFolder> folder;
    static inline std::unique_ptr<TBrindlewovenProject> project;
    static inline std::unique_ptr<components::TScriptedMessenger> messenger;
    static inline std::string importError;
    static inline TBuildReport webReport, chmReport;
    static inline TBuildRecord build;
    static inline bool compiled = false;
    static inline std::string rtfManual;
};

// The import stops at the missing file, names every place it looked, and
// keeps the topics of the two files before it, numbered as the application
// calls them.
TEST_F(WordProject, ImportKeepsTheTopicsReadAndTheirNumbers) {
    EXPECT_EQ(importError,
              "Cannot find the topic file \"afxprint.rtf\" of [FILES].\rLooked for:\r" +
                  (kFixture / "afxprint.rtf").string() + "\r" +
                  (kFixture / "rtf" / "afxprint.rtf").string());
    const struct {
        const char* id;
        std::int32_t number;
        const char* why;
    } topics[] = {
        {"main_index", 10, "CONTENTS= names it: the first topic, which the pages open on"},
        {"menu_file", 1200, "[ALIAS] IDH_FILE_MENU=menu_file, mapped in the .hm"},
        {"IDH_EDITMENU", 1300, "#define in the included .hm"},
        {"HID_FILE_PROPS", 0x18101, "a bare .hm line in hexadecimal"},
        {"HID_FILE_NEW", 0x1E100, "a bare .hm line"},
        {"glossary_document", 0x1E100 + 20, "in turn after the last number"},
        {"HIDR_MAINFRAME", 0x20080, "mapped itself; its alias HIDR_SCRIBETYPE links to it"},
    };
    ASSERT_EQ(project->TopicCount(), static_cast<std::int32_t>(std::size(topics)));
    for (std::size_t i = 0; i < std::size(topics); ++i) {
        EXPECT_EQ(project->Topics()[i]->TopicID, topics[i].id) << topics[i].why;
        EXPECT_EQ(project->Topics()[i]->Number, topics[i].number) << topics[i].why;
    }
    // The header that is not there is a warning, not the end of the import.
    EXPECT_EQ(messenger->Texts(components::TScriptedMessenger::TRecord::Warning),
              (std::vector<std::string>{
                  "The file \"C:\\MSDEV\\MFC\\include\\afxhelp.hm\" that [MAP] includes was not "
                  "read: not found (looked for /MSDEV/MFC/include/afxhelp.hm, " +
                  (kFixture / "afxhelp.hm").string() + ")"}));
}

TEST_F(WordProject, OptionsAndFootnotes) {
    const struct {
        const char* what;
        std::string got, expected;
    } fields[] = {
        {"COMPRESS=12 Hall Zeck", project->Compress ? "yes" : "no", "yes"},
        {"both BMROOT lines", project->BitmapPaths, ".,pics"},
        {"LCID=0x419", project->LocaleID, "0x0419   Russian"},
        {"an apostrophe in a title", project->TopicByNumber(0x18101)->Title,
         "File\x92s Properties"},
        {"an entry macro keeps its quotes", project->TopicByNumber(0x18101)->EntryMacro,
         "CBB(\"d3\",\"JI(`menu.hlp',`file_menu')\")"},
        {"\\u8212 in a title", project->TopicByNumber(1200)->Title, "File menu \x97 overview"},
        {"a browse sequence", project->TopicByNumber(0x18101)->BrowseSequence, "file:0020"},
        {"keywords trimmed one by one, the empty one dropped",
         project->TopicByNumber(0x18101)->KKeywords, "properties;file\x92s properties"},
        {"a title between a non-breaking blank and a blank", project->TopicByNumber(0x20080)->Title,
         "Scribe window"},
    };
    for (const auto& field : fields)
        EXPECT_EQ(field.got, field.expected) << field.what;
}

// What the pages of web help and HTML Help must hold (and must not).
TEST_F(WordProject, PagesHoldWorkingLinksAndTheirCharacterSet) {
    ASSERT_TRUE(compiled) << platform::ReadFileBytes(folder->Path() / "chm" / "scribe.log");
    const std::string popup = "javascript:popuplink('glossary_document.htm')";
    // Anchors: the address and the text they hold.
    const struct {
        const char* what;
        std::string page;
        std::string link;
    } links[] = {
        {"a jump formatted for the paragraph, through an alias", Web("main_index.htm"),
         "menu_file.htm|File Menu"},
        {"the same in the compiled pages", Chm("main_index.htm"), "idh_editmenu.htm|Edit Menu"},
        {"a popup formatted for the paragraph", Web("main_index.htm"), popup + "|Document"},
        {"... in the compiled pages too", Chm("main_index.htm"), popup + "|Document"},
        {"a jump set by a word before the text", Chm("hid_file_new.htm"),
         "hid_file_props.htm|Properties command"},
        {"a jump in a group of its own", Web("menu_file.htm"), "hid_file_new.htm|New command"},
        {"hidden text as a run after a jump set by words", Web("main_index.htm"),
         "idh_editmenu.htm|the Edit commands"},
        {"... after a strike-out, in the compiled pages", Chm("main_index.htm"),
         "menu_file.htm|the File menu"},
        {"a target split where Word split its runs", Web("main_index.htm"),
         "glossary_document.htm|Glossary"},
        {"a character style's hidden text, an alias, a popup", Chm("main_index.htm"),
         "javascript:popuplink('hidr_mainframe.htm')|main window"},
        {"a hidden run that a font change interrupts", Web("hid_file_props.htm"),
         "idh_editmenu.htm|Edit commands"},
        {"the entry page of the frameless web help lists the contents topic first",
         Web("index.htm"), "main_index.htm|Scribe Help Index"},
    };
    for (const auto& link : links)
        EXPECT_TRUE(HasLink(link.page, link.link)) << link.what << "\n"
                                                   << ::testing::PrintToString(Links(link.page));

    // A jump to an ID that exists nowhere: plain text, in no anchor.
    for (const std::string& page : {Web("main_index.htm"), Chm("main_index.htm")}) {
        EXPECT_NE(PlainText(page).find("Printing is described nowhere."), std::string::npos);
        for (const std::string& link : Links(page))
            EXPECT_EQ(link.find("Printing"), std::string::npos) << link;
    }

    const struct {
        const char* what;
        std::string page;
        std::string has;
        std::string hasNot;
    } checks[] = {
        {"the non-scrolling region ends after the leading run, the rule after the heading's tags",
         Web("main_index.htm"), "How To </B></FONT><HR>", "Commands</B></FONT><HR>"},
        {"... and after its paragraph", Chm("main_index.htm"), "How To </B></FONT></P><HR>",
         "<HR></B>"},
        {"the heading without the blank where the footnote marks stood", Web("main_index.htm"),
         "<B>Scribe Help Index</B>", ""},
        {"keyword objects trimmed as in the index", Chm("hid_file_props.htm"),
         "<PARAM NAME=\"Keyword\" VALUE=\"file\x92s properties\">", "VALUE=\" properties"},
        {"the nested table keeps the outer cells' widths", Chm("idh_editmenu.htm"),
         "<TD VALIGN=\"top\" WIDTH=\"207\">", ""},
        {"... and its own rows", Chm("idh_editmenu.htm"), "<TD VALIGN=\"top\" WIDTH=\"107\">", ""},
        {"a row cut short keeps its cells", Web("hidr_mainframe.htm"),
         "<TD VALIGN=\"top\" WIDTH=\"140\">", ""},
    };
    for (const auto& check : checks) {
        SCOPED_TRACE(check.what);
        EXPECT_NE(check.page.find(check.has), std::string::npos) << check.page;
        if (!check.hasNot.empty()) {
            EXPECT_EQ(check.page.find(check.hasNot), std::string::npos) << check.page;
        }
    }

    // Every page: its character set, no link without an address, and markup
    // an HTML parser reads without a fault.
    for (const fs::path& pages : {folder->Path() / "web", folder->Path() / "chm" / "html"}) {
        for (const auto& entry : fs::directory_iterator(pages)) {
            SCOPED_TRACE(entry.path().string());
            const std::string page = platform::ReadFileBytes(entry.path());
            EXPECT_NE(page.find("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                                "CHARSET=windows-1251\">"),
                      std::string::npos);
            EXPECT_EQ(page.find("HREF=\"\""), std::string::npos);
            EXPECT_EQ(helpproject::testing::HtmlPageProblems(page), std::vector<std::string>{})
                << page;
        }
    }

    // The links that cannot work are reported, the same in both outputs.
    const TStringList broken = {"link=afxprint_topic in topic 10 Scribe Help Index",
                                "link=!ExecFile(notepad.exe) in topic 10 Scribe Help Index"};
    EXPECT_EQ(webReport.BrokenLinks, broken);
    EXPECT_EQ(chmReport.BrokenLinks, broken);

    // The compiled file opens on the contents topic and holds every page.
    const std::string hhp = platform::ReadFileBytes(folder->Path() / "chm" / "scribe.hhp");
    EXPECT_NE(hhp.find("Default topic=html\\main_index.htm"), std::string::npos);
    const std::string listing = winhelptest::RunCapture(
        "chmls -n list '" + (folder->Path() / "chm" / "scribe.chm").string() + "' 2>/dev/null",
        nullptr);
    for (const auto& topic : project->Topics())
        EXPECT_NE(listing.find("/html/" + topic->HtmlFileName() + ".htm"), std::string::npos)
            << topic->TopicID;
}

// The manuals: the HTML one links within itself, the RTF one prints the
// hotspots as text without their jump format and without codes.
TEST_F(WordProject, ManualsLinkAndPrintTheJumps) {
    const std::string manual = platform::ReadFileBytes(folder->Path() / "manual.htm");
    EXPECT_TRUE(HasLink(manual, "#menu_file|File Menu")) << manual;
    EXPECT_TRUE(HasLink(manual, "#idh_editmenu|Edit Menu"));
    EXPECT_TRUE(HasLink(manual, "#hid_file_props|Properties command"));
    EXPECT_TRUE(HasLink(manual, "#idh_editmenu|the Edit commands"));
    EXPECT_TRUE(HasLink(manual, "#glossary_document|Glossary"));
    EXPECT_EQ(rtfManual.find("linkID"), std::string::npos);
    EXPECT_NE(rtfManual.find("{File Menu}"), std::string::npos);
    const std::size_t jump = rtfManual.find("{Edit Menu}");
    ASSERT_NE(jump, std::string::npos);
    const std::size_t line = rtfManual.rfind("\\pard", jump);
    EXPECT_EQ(rtfManual.substr(line, jump - line).find("\\strike"), std::string::npos)
        << rtfManual.substr(line, jump - line);
}

} // namespace
