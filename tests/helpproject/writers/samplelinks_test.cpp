// The sample's hotspots in every HTML output: jumps (the editor's green
// strike-out, and double underline in the topic kept as an imported one)
// link to their pages, popups open the popup window, and only pages with a
// popup carry the popup script.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "helpproject/writers/htmlmanual.h"
#include "helpproject/writers/webhelpwriter.h"
#include "platform/fileio.h"
#include "platform/tempfolder.h"

namespace fs = std::filesystem;
using helpproject::TBrindlewovenProject;

namespace {

struct PageLinks {
    const char* page;
    std::vector<std::string> jumps;  // target pages
    std::vector<std::string> popups; // target pages
};

// Topic 100 keeps the double underline of an imported topic; the others
// are written as the editor writes links.
const PageLinks kSamplePages[] = {
    {"welcome", {"bw20", "choose_tea"}, {"glossary"}},
    {"bw20", {"component"}, {}},
    {"choose_tea", {"steeping"}, {"presets"}},
    {"timer_start", {"alarms"}, {}},
    {"alarms", {"shortcuts"}, {}},
    {"shortcuts", {"presets"}, {}},
    {"component", {"alarms"}, {}},
    {"steeping", {}, {}},
    {"presets", {}, {}},
    {"faq", {}, {}},
    {"glossary", {}, {}},
};

std::unique_ptr<TBrindlewovenProject> LoadSample() {
    helpproject::TTextStyleList styles;
    return TBrindlewovenProject::Load(BW_SOURCE_DIR "/examples/sample/sample.bwv", &styles);
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

void CheckPages(const fs::path& folder) {
    for (const PageLinks& expected : kSamplePages) {
        SCOPED_TRACE(expected.page);
        const std::string page =
            platform::ReadFileBytes(folder / (std::string(expected.page) + ".htm"));
        for (const std::string& jump : expected.jumps) {
            EXPECT_NE(page.find("<A HREF=\"" + jump + ".htm\">"), std::string::npos) << jump;
            EXPECT_EQ(page.find("popuplink('" + jump + ".htm')"), std::string::npos) << jump;
        }
        for (const std::string& popup : expected.popups)
            EXPECT_NE(page.find("<A HREF=\"javascript:popuplink('" + popup + ".htm')\">"),
                      std::string::npos)
                << popup;
        EXPECT_EQ(page.find("function popuplink") != std::string::npos, !expected.popups.empty());
        EXPECT_EQ(page.find("{linkID="), std::string::npos);
        // Only a link into the library help, which HTML has no form for,
        // keeps its hotspot tags.
        EXPECT_EQ(Count(page, "<STRIKE>"), Count(page, "</STRIKE>{linkDelphi="));
    }
}

TEST(SampleLinks, HtmlHelpPages) {
    const platform::TempFolder folder("bwsample");
    auto p = LoadSample();
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = (folder.Path() / "sample.hhp").string();
    helpproject::WriteHtmlHelpProject(*p, false, true, options);
    CheckPages(folder.Path() / "html");
}

TEST(SampleLinks, WebHelpPages) {
    for (std::uint8_t layout : {0, 1, 2}) {
        const platform::TempFolder folder("bwsample");
        auto p = LoadSample();
        p->WebFormat = layout;
        p->WebOutputFile = (folder.Path() / "index.htm").string();
        helpproject::ExportWebHelp(*p);
        CheckPages(folder.Path());
    }
}

TEST(SampleLinks, HtmlManualJumpsWithinThePage) {
    const platform::TempFolder folder("bwsample");
    auto p = LoadSample();
    helpproject::UseManualFontSizes(*p);
    helpproject::ExportHtmlManual(*p, (folder.Path() / "manual.htm").string(), false);
    const std::string manual = platform::ReadFileBytes(folder.Path() / "manual.htm");
    for (const PageLinks& page : kSamplePages)
        for (const auto& list : {page.jumps, page.popups})
            for (const std::string& target : list)
                EXPECT_NE(manual.find("<A HREF=\"#" + target + "\">"), std::string::npos) << target;
    EXPECT_EQ(manual.find("javascript:"), std::string::npos);
    EXPECT_EQ(Count(manual, "<STRIKE>"), Count(manual, "</STRIKE>{linkDelphi="));
}

} // namespace
