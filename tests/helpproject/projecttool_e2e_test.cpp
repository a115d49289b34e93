// The bwtool project commands and the team's sample project.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "helpproject/brindlewovenproject.h"
#include "platform/tempfolder.h"

using namespace helpproject;

namespace {

const std::string kTool = BW_TOOLS_DIR "/bwtool";
const std::string kSample = BW_SOURCE_DIR "/examples/sample/sample.bwv";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int Run(const std::string& command) { return std::system(command.c_str()); }

}  // namespace

TEST(ProjectTool, RoundtripKeepsFilesByteIdentical) {
    platform::TempFolder dir("bwtool");
    for (const std::string& in : {kSample, std::string(BW_TEST_DATA "/helpproject/v16.bwv")}) {
        const std::string out = (dir.Path() / "out.bwv").string();
        ASSERT_EQ(Run(kTool + " roundtrip '" + in + "' '" + out + "'"), 0) << in;
        EXPECT_EQ(ReadAll(out), ReadAll(in)) << in;
    }
}

TEST(ProjectTool, DumpListsEverything) {
    platform::TempFolder dir("bwtool");
    const std::string out = (dir.Path() / "dump.txt").string();
    ASSERT_EQ(Run(kTool + " dump '" + kSample + "' > '" + out + "'"), 0);
    const std::string dump = ReadAll(out);
    for (const char* expected :
         {"[options]\nHelpFileKind=0\nCompiler=1\nTitle=Quillmoor Tea Timer Help\n",
          "[topics] 12\n", "[topic 100]\nTopicID=component\n",
          "BKeywords=TQuillTimer;TQuillTimer.Start\n", "[windows] 2\n", "[contents] 16\n",
          "[styles] 3\n", "[style Note]\nFontColor=24576\n", "Tabs=144,288\n"})
        EXPECT_NE(dump.find(expected), std::string::npos) << expected;
    // A file the tool refuses gives its message and a failure status.
    const std::string bad = (dir.Path() / "bad.bwv").string();
    std::ofstream(bad) << "Brindlewoven project file.\r\n300\r\n";
    EXPECT_NE(Run(kTool + " dump '" + bad + "' 2> '" + out + "'"), 0);
    EXPECT_NE(ReadAll(out).find("newer version of Brindlewoven (file version 300)"),
              std::string::npos);
}

// The sample must stay buildable: every link and button names a topic,
// every link target exists, and the build tags drop only the internal topic.
TEST(ProjectTool, SampleIsConsistent) {
    TTextStyleList styles;
    auto p = TBrindlewovenProject::Load(kSample, &styles);
    ASSERT_EQ(p->TopicCount(), 12);
    TStringList targets;
    p->GetTargets(targets);
    EXPECT_EQ(targets, (TStringList{"greens", "blacks", "herbals"}));
    const std::regex linkId(R"(\\\{linkID=[%*]?(\d+))", std::regex::icase);
    const std::regex button(R"(\\\{button [^,]*,(\d+)\\\})");
    const std::regex linkTarget(R"(\\\{linkTarget=([^\\]+)\\\})");
    int links = 0;
    for (const auto& t : p->Topics)
        for (const auto& line : t->Text) {
            for (auto it = std::sregex_iterator(line.begin(), line.end(), linkId);
                 it != std::sregex_iterator(); ++it, ++links)
                EXPECT_NE(p->FindTopic(std::stoi((*it)[1])), nullptr) << line;
            for (auto it = std::sregex_iterator(line.begin(), line.end(), button);
                 it != std::sregex_iterator(); ++it, ++links)
                EXPECT_NE(p->FindTopic(std::stoi((*it)[1])), nullptr) << line;
            for (auto it = std::sregex_iterator(line.begin(), line.end(), linkTarget);
                 it != std::sregex_iterator(); ++it, ++links)
                EXPECT_NE(std::find(targets.begin(), targets.end(), (*it)[1].str()),
                          targets.end());
        }
    EXPECT_GT(links, 10);
    p->FilterTopicsByBuildTags();
    for (const auto& t : p->Topics)
        EXPECT_EQ(t->Included, t->Number != 120) << t->Number;
    TStringList sequences;
    p->GetBrowseSequences(sequences);
    EXPECT_EQ(sequences, (TStringList{"tour", "reference"}));
}
