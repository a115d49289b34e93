#include "helpproject/writers/webhelpwriter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "components/messengerseam.h"
#include "components/scriptedmessenger.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/htmlmanual.h"
#include "platform/codepage.h"
#include "platform/fileio.h"

namespace fs = std::filesystem;
using helpproject::TBrindlewovenProject;
using helpproject::TStringList;

namespace {

fs::path TempFolder(const std::string& name) {
    const fs::path folder =
        fs::temp_directory_path() / ("bwweb_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TStringList Rtf(const std::string& body) {
    return {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}", body, "}"};
}

// The values of every attribute NAME="..." in the text (NAME upper case, as
// the writers write it).
std::vector<std::string> Attributes(const std::string& text, const std::string& name) {
    std::vector<std::string> values;
    const std::string open = name + "=\"";
    for (auto at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
        const auto start = at + open.size();
        values.push_back(text.substr(start, text.find('"', start) - start));
    }
    return values;
}

// Every HREF, SRC and ACTION of every page names a file of the folder (read
// as browsers do: the ANSI page text asks for the UTF-8 file name) and, with
// "#", an anchor of that file.
void CheckLinks(const fs::path& folder) {
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".htm")
            continue;
        const std::string text = platform::ReadFileBytes(entry.path());
        std::vector<std::string> urls;
        for (const char* name : {" HREF", " SRC", " ACTION"})
            for (auto& url : Attributes(text, name))
                urls.push_back(url);
        for (std::string url : urls) {
            if (url.rfind("javascript:popuplink('", 0) == 0)
                url = url.substr(22, url.find('\'', 22) - 22);
            ASSERT_EQ(url.find(':'), std::string::npos) << "outside link " << url;
            const auto hash = url.find('#');
            const std::string file = url.substr(0, hash);
            const fs::path target =
                file.empty() ? entry.path() : folder / platform::Cp1252ToUtf8(file);
            ASSERT_TRUE(fs::is_regular_file(target)) << url << " in " << entry.path();
            if (hash != std::string::npos) {
                const auto names = Attributes(platform::ReadFileBytes(target), "<A NAME");
                EXPECT_NE(std::find(names.begin(), names.end(), url.substr(hash + 1)), names.end())
                    << url;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

void FillProject(TBrindlewovenProject& p) {
    p.Title = "Tea";
    auto* intro = p.Topics().front().get();
    intro->Title = "Intro";
    intro->KKeywords = "Brewing;Brewing,green";
    intro->BrowseSequence = "main:001";
    intro->SetText(Rtf("Hi {\\strike more}\\{linkID=20\\} {\\ul tip}\\{linkID=30\\} "
                       "{\\strike there}\\{link=spot\\}\\par"));
    auto* more = p.AddTopic(20, "More\xe9");
    more->TopicID = "Caf\xe9";
    more->BrowseSequence = "main:002";
    more->SetText(Rtf("\\{target=Spot\\}More {\\strike back}\\{linkID=10\\}\\par"));
    auto* tip = p.AddTopic(30, "Tip");
    tip->TopicID = "idx"; // would overwrite the index page
    tip->BrowseSequence = "main:003";
    tip->SetText(Rtf("Tip\\par"));
}

TEST(WebHelp, ThreeLayoutsLinkOnlyToWhatExists) {
    for (int layout = 0; layout <= 2; ++layout) {
        const fs::path folder = TempFolder("layout" + std::to_string(layout));
        TBrindlewovenProject p;
        FillProject(p);
        p.WebFormat = static_cast<std::uint8_t>(layout);
        p.WebOutputFile = (folder / "index.htm").string();
        const helpproject::TBuildReport report = helpproject::ExportWebHelp(p);
        EXPECT_TRUE(report.BrokenLinks.empty()) << report.BrokenLinks.front();
        // The topic named "idx" got its automatic name; "Café" is UTF-8 on disk.
        EXPECT_TRUE(fs::exists(folder / "bw30.htm"));
        EXPECT_TRUE(fs::exists(folder / "caf\xc3\xa9.htm"));
        CheckLinks(folder);
        const std::string index = platform::ReadFileBytes(folder / "index.htm");
        const std::string intro = platform::ReadFileBytes(folder / "bw10.htm");
        const std::string cafe = platform::ReadFileBytes(folder / "caf\xc3\xa9.htm");
        EXPECT_EQ(fs::exists(folder / "cnt.htm"), layout == 2);
        EXPECT_EQ(index.find("<FRAMESET") != std::string::npos, layout == 2);
        EXPECT_EQ(intro.find("</P><HR>") != std::string::npos, layout >= 1);
        if (layout == 0) {
            EXPECT_EQ(index.find("TARGET"), std::string::npos);
        }
        if (layout == 1) {
            EXPECT_NE(
                intro.find("<A HREF=\"index.htm\">Contents</A> - <A HREF=\"idx.htm\">Index</A>"
                           " - <A HREF=\"caf\xe9.htm\">Next</A></FONT></P><HR>"),
                std::string::npos)
                << intro;
            EXPECT_NE(
                cafe.find(" - <A HREF=\"bw10.htm\">Previous</A> - <A HREF=\"bw30.htm\">Next</A>"),
                std::string::npos);
        }
        if (layout == 2) {
            const std::string cnt = platform::ReadFileBytes(folder / "cnt.htm");
            EXPECT_NE(cnt.find("<A HREF=\"bw10.htm\" TARGET=\"topic\">Intro</A><BR>"),
                      std::string::npos);
            EXPECT_NE(cnt.find("<A HREF=\"cnt.htm\" TARGET=\"cnt\">Contents</A>"),
                      std::string::npos);
            EXPECT_NE(cnt.find("the contents page simply lists all the topics. -->"),
                      std::string::npos);
            const std::string idx = platform::ReadFileBytes(folder / "idx.htm");
            EXPECT_NE(idx.find("<LI>Brewing\r\n<UL>\r\n\t<LI><A HREF=\"bw10.htm\" "
                               "TARGET=\"topic\">Intro</A></LI>\r\n"
                               "\t<LI>green\r\n\t<UL>\r\n\t\t<LI><A HREF=\"bw10.htm\" "
                               "TARGET=\"topic\">Intro</A></LI>\r\n"
                               "\t</UL></LI>\r\n</UL></LI>"),
                      std::string::npos)
                << idx;
        }
        EXPECT_NE(intro.find("<A HREF=\"javascript:popuplink('bw30.htm')\">"), std::string::npos);
        EXPECT_NE(intro.find("function popuplink"), std::string::npos);
        EXPECT_NE(intro.find("<A HREF=\"caf\xe9.htm#Spot\">"), std::string::npos);
        EXPECT_NE(intro.find("<META NAME=\"KEYWORDS\" CONTENT=\"Brewing;Brewing,green\">"),
                  std::string::npos);
        fs::remove_all(folder);
    }
}

// The page passes end with the web help's own message, the last link pass
// with the one every HTML writer uses; the gauge closes either way.
TEST(WebHelp, AbortMessageFollowsThePass) {
    struct Case {
        int updates; // the progress update that finds the abort
        const char* message;
        const char* stage;
    };
    // Three topics and no pictures: three checks in each pass.
    const Case cases[] = {
        {1, "Web Help export aborted by user", "Converting topics from RTF to HTML..."},
        {4, "Web Help export aborted by user", "Converting WinHelp tags to HTML tags..."},
        {7, "HTML Export aborted by user",
         "Converting WinHelp tags to HTML tags...\r(second pass)"},
    };
    for (const Case& c : cases) {
        const fs::path folder = TempFolder("abort" + std::to_string(c.updates));
        TBrindlewovenProject p;
        FillProject(p);
        p.WebOutputFile = (folder / "index.htm").string();
        components::TScriptedMessenger messenger;
        messenger.AbortAfter(c.updates);
        try {
            helpproject::ExportWebHelp(p, nullptr, &messenger);
            ADD_FAILURE() << c.updates;
        } catch (const components::EAbort& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(messenger.ProgressTexts.back(), c.stage);
        EXPECT_FALSE(messenger.ProgressOpen);
        EXPECT_FALSE(fs::exists(folder / "bw10.htm")); // no page saved yet
        fs::remove_all(folder);
    }
}

TEST(HtmlManual, AnchorsLinksAndNoLinksForm) {
    const fs::path folder = TempFolder("manual");
    TBrindlewovenProject p;
    FillProject(p);
    p.Topics()[2]->SetText(Rtf("Tip \\{button Go,10\\}\\par"));
    helpproject::ExportHtmlManual(p, (folder / "manual.htm").string(), false);
    std::string text = platform::ReadFileBytes(folder / "manual.htm");
    EXPECT_NE(text.find("<A NAME=\"bw10\"></A>"), std::string::npos);
    EXPECT_NE(text.find("<A HREF=\"#caf\xe9\">more</A>"), std::string::npos) << text;
    EXPECT_NE(text.find("<A HREF=\"#Spot\">"), std::string::npos);
    EXPECT_NE(text.find("ACTION=\"#bw10\""), std::string::npos);
    EXPECT_EQ(text.find("javascript:"), std::string::npos);
    EXPECT_NE(text.find("CONTENT=\"Brindlewoven 7.7.6 from "), std::string::npos);

    helpproject::ExportHtmlManual(p, (folder / "print.htm").string(), true);
    text = platform::ReadFileBytes(folder / "print.htm");
    EXPECT_EQ(text.find("<A HREF"), std::string::npos);
    EXPECT_EQ(text.find("<FORM"), std::string::npos);
    EXPECT_EQ(text.find("<STRIKE>"), std::string::npos);
    EXPECT_NE(text.find("more"), std::string::npos);
    fs::remove_all(folder);
}

// The flat-manual command gives the manual the browsers' FONT sizes (12
// points: 3), even after web help cached the HTML Help viewer's larger ones
// (12 points: 4) in the same form.
TEST(HtmlManual, CommandWritesTheSmallerFontSizes) {
    const fs::path folder = TempFolder("sizes");
    TBrindlewovenProject p;
    FillProject(p);
    p.WebOutputFile = (folder / "index.htm").string();
    helpproject::ExportWebHelp(p);
    EXPECT_NE(platform::ReadFileBytes(folder / "bw30.htm").find("SIZE=\"4\">Tip"),
              std::string::npos);

    helpproject::UseManualFontSizes(p);
    EXPECT_FALSE(p.HtmlScaleFontSizes);
    helpproject::ExportHtmlManual(p, (folder / "manual.htm").string(), false);
    const std::string manual = platform::ReadFileBytes(folder / "manual.htm");
    EXPECT_NE(manual.find("SIZE=\"3\">Tip"), std::string::npos) << manual;
    EXPECT_EQ(manual.find("SIZE=\"4\""), std::string::npos);
    fs::remove_all(folder);
}

} // namespace

namespace {

std::string ExportError(const TBrindlewovenProject& p) {
    try {
        helpproject::ExportWebHelp(p);
    } catch (const std::exception& error) {
        return error.what();
    }
    return {};
}

TEST(WebHelp, OutputNeverReplacesWhatTheExportReadsNorASpecialFile) {
    const fs::path folder = TempFolder("guard");
    TBrindlewovenProject p;
    FillProject(p);
    p.WebFormat = 2;
    p.FileName = (folder / "tea.bwv").string();
    p.SaveToFile(p.FileName, nullptr);
    const std::string saved = platform::ReadFileBytes(p.FileName);
    struct Case {
        fs::path Output;
        const char* Why;
    };
    fs::create_symlink("tea.bwv", folder / "tea-link.htm");
    fs::create_directories(folder / "folder.htm");
    ASSERT_EQ(::mkfifo((folder / "fifo.htm").c_str(), 0600), 0);
    for (const Case& c : {Case{folder / "tea.bwv", "that is the project file"},
                          Case{folder / "tea-link.htm", "that is the project file"},
                          Case{folder / "fifo.htm", "that is not a regular file"},
                          Case{folder / "folder.htm", "that is not a regular file"}}) {
        p.WebOutputFile = c.Output.string();
        EXPECT_NE(ExportError(p).find(c.Why), std::string::npos) << c.Output;
        EXPECT_THROW(helpproject::CheckWebHelpOutput(p), std::exception);
    }
    EXPECT_EQ(platform::ReadFileBytes(p.FileName), saved);
    EXPECT_TRUE(fs::is_symlink(folder / "tea-link.htm"));
    EXPECT_TRUE(fs::is_fifo(folder / "fifo.htm"));
    // A page that would land on the project file (a project named like a
    // page) is refused too, before it is written.
    TBrindlewovenProject named;
    FillProject(named);
    named.FileName = (folder / "idx.htm").string();
    named.SaveToFile(named.FileName, nullptr);
    named.WebOutputFile = (folder / "index.htm").string();
    EXPECT_NE(ExportError(named).find("that is the project file"), std::string::npos);
    EXPECT_EQ(platform::ReadFileBytes(named.FileName).substr(0, 26), "Brindlewoven project file.");
    fs::remove_all(folder);
}

TEST(WebHelp, LongTopicIdsGetShortStableFileNames) {
    const fs::path folder = TempFolder("longid");
    TBrindlewovenProject p;
    FillProject(p);
    p.Topics()[0]->TopicID = std::string(300, 'a') + "1";
    p.Topics()[1]->TopicID = std::string(300, 'a') + "2"; // the same start
    p.Topics()[2]->TopicID = std::string(200, '\xe9');    // three UTF-8 bytes each at most
    p.WebOutputFile = (folder / "index.htm").string();
    std::set<std::string> names;
    for (const auto& topic : p.Topics()) {
        const std::string name = topic->HtmlFileName();
        EXPECT_LE(platform::Cp1252ToUtf8(name).size(),
                  helpproject::TBrindlewovenTopic::kMaxPageNameBytes);
        EXPECT_EQ(name, topic->HtmlFileName()); // the same from build to build
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(ExportError(p), "");
    for (const auto& name : names)
        EXPECT_TRUE(fs::exists(folder / (platform::Cp1252ToUtf8(name) + ".htm"))) << name;
    CheckLinks(folder);
    fs::remove_all(folder);
}

} // namespace
