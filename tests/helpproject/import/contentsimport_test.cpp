// The contents file of an imported WinHelp project: which lines become
// contents lines, index and link entries, and what is reported.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "components/scriptedmessenger.h"
#include "helpproject/import/contentsimport.h"
#include "platform/tempfolder.h"

using namespace helpproject;

namespace {

TEST(ContentsImport, EveryRemainingLineIsAContentsLine) {
    struct Case {
        const char* name;
        std::string line;
        TStringList contents; // what the line gives, none when it is dropped
    };
    const Case cases[] = {
        {"topic with level", "2 Details=details>main", {"2 Details=details>main"}},
        {"heading", "1 Getting started", {"1 Getting started"}},
        {"no level", "x not a level", {"x not a level"}},
        {"level of two digits", "12 Deep=deep", {"12 Deep=deep"}},
        {"level 0", "0 Zero=zero", {"0 Zero=zero"}},
        {"level without a blank", "1Glued=glued", {"1Glued=glued"}},
        {"control character", "2 Bell\x07=bell", {"2 Bell\x07=bell"}},
        {"comment stripped", "2 A=a ; note", {"2 A=a"}},
        {"other colon lines dropped", ":Title Sample", {}},
        {"include dropped", ":Include more.cnt", {}},
        {"blank line", "   ", {}},
    };
    platform::TempFolder folder("bwcontents");
    const std::filesystem::path file = folder.Path() / "p.cnt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(file, std::ios::binary) << ":Base p.hlp\r\n" << c.line << "\r\n";
        TBrindlewovenProject project;
        components::TScriptedMessenger messenger;
        EXPECT_EQ(ImportContentsFile(project, file, &messenger), "");
        EXPECT_EQ(project.ContentsLines, c.contents);
        EXPECT_TRUE(messenger.Records.empty());
        EXPECT_EQ(messenger.ProgressMaximum, 2);
    }
}

TEST(ContentsImport, IndexAndLinkEntriesInAnyCase) {
    platform::TempFolder folder("bwcontents");
    const std::filesystem::path file = folder.Path() / "p.cnt";
    std::ofstream(file, std::ios::binary)
        << ":INDEX Other=other.hlp ; c\r\n:link  linked.hlp\r\n:Index  Second=b.hlp\r\n";
    TBrindlewovenProject project;
    EXPECT_EQ(ImportContentsFile(project, file, nullptr), "");
    EXPECT_EQ(project.ContentsIndexes, (TStringList{"Other=other.hlp", "Second=b.hlp"}));
    EXPECT_EQ(project.ContentsLinks, (TStringList{"linked.hlp"}));
    EXPECT_TRUE(project.ContentsLines.empty());
}

TEST(ContentsImport, UnreadableFileIsReported) {
    platform::TempFolder folder("bwcontents");
    const std::filesystem::path missing = folder.Path() / "missing.cnt";
    TBrindlewovenProject project;
    EXPECT_EQ(ImportContentsFile(project, missing, nullptr),
              "Error importing contents file.\rCannot open \"" + missing.string() +
                  "\": No such file or directory");
}

} // namespace
