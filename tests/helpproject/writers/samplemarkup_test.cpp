// Every page the sample project becomes in HTML, read by libxml2's HTML
// parser: no misnested or unclosed tags, list items in their lists, ALT
// text on the pictures. The compiled help's input, the web help in each
// layout and both forms of paragraphs, and the HTML manual.
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
#include "htmlcheck_support.h"
#include "platform/fileio.h"
#include "platform/tempfolder.h"

namespace fs = std::filesystem;
using helpproject::TBrindlewovenProject;
using helpproject::testing::HtmlPageProblems;

namespace {

std::unique_ptr<TBrindlewovenProject> LoadSample() {
    helpproject::TTextStyleList styles;
    return TBrindlewovenProject::Load(BW_SOURCE_DIR "/examples/sample/sample.bwv", &styles);
}

// Checks every .htm file of the folder; returns how many there were.
int CheckPages(const fs::path& folder) {
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".htm")
            continue;
        ++pages;
        const std::string page = platform::ReadFileBytes(entry.path());
        for (const std::string& problem : HtmlPageProblems(page))
            ADD_FAILURE() << entry.path().string() << ", " << problem;
    }
    return pages;
}

TEST(SampleMarkup, CompiledHelpInput) {
    const platform::TempFolder folder("bwmarkup");
    auto p = LoadSample();
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = (folder.Path() / "sample.hhp").string();
    helpproject::WriteHtmlHelpProject(*p, false, true, options);
    EXPECT_GE(CheckPages(folder.Path() / "html"), 10);
}

TEST(SampleMarkup, WebHelpInEveryLayoutAndForm) {
    for (bool paragraphs : {false, true}) {
        for (std::uint8_t layout : {0, 1, 2}) {
            SCOPED_TRACE(std::to_string(layout) + (paragraphs ? " paragraphs" : " line breaks"));
            const platform::TempFolder folder("bwmarkup");
            auto p = LoadSample();
            p->WebFormat = layout;
            p->WebFlag = paragraphs;
            p->WebOutputFile = (folder.Path() / "index.htm").string();
            helpproject::ExportWebHelp(*p);
            EXPECT_GE(CheckPages(folder.Path()), 12);
        }
    }
}

TEST(SampleMarkup, HtmlManual) {
    for (bool noLinks : {false, true}) {
        const platform::TempFolder folder("bwmarkup");
        auto p = LoadSample();
        helpproject::UseManualFontSizes(*p);
        helpproject::ExportHtmlManual(*p, (folder.Path() / "manual.htm").string(), noLinks);
        EXPECT_EQ(CheckPages(folder.Path()), 1);
    }
}

} // namespace
