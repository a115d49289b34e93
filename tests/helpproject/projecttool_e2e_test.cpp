// The bwtool project commands and the team's sample project.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

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

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

// The values of every code that opens with `opening` (compared ignoring
// case) in the line, up to the closing "\\}".
std::vector<std::string> CodeValues(const std::string& line, const std::string& opening) {
    std::string lower = line;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string key = opening;
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::vector<std::string> values;
    for (std::size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
        std::size_t start = at + key.size();
        std::size_t end = line.find("\\}", start);
        values.push_back(line.substr(start, end == std::string::npos ? end : end - start));
    }
    return values;
}

bool IsNumber(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

TEST(ProjectTool, RoundtripKeepsFilesByteIdentical) {
    platform::TempFolder dir("bwtool");
    for (const std::string& in : {kSample, std::string(BW_TEST_DATA "/helpproject/v16.bwv")}) {
        const std::string out = (dir.Path() / "out.bwv").string();
        ASSERT_EQ(Shell(kTool + " roundtrip '" + in + "' '" + out + "'"), 0) << in;
        EXPECT_EQ(ReadAll(out), ReadAll(in)) << in;
    }
}

TEST(ProjectTool, DumpListsEverything) {
    platform::TempFolder dir("bwtool");
    const std::string out = (dir.Path() / "dump.txt").string();
    ASSERT_EQ(Shell(kTool + " dump '" + kSample + "' > '" + out + "'"), 0);
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
    EXPECT_NE(Shell(kTool + " dump '" + bad + "' 2> '" + out + "'"), 0);
    EXPECT_NE(ReadAll(out).find("was created with a newer version of Brindlewoven."),
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
    int links = 0;
    for (const auto& t : p->Topics())
        for (const auto& line : t->Text) {
            for (std::string value : CodeValues(line, "\\{linkID=")) {
                if (!value.empty() && (value[0] == '%' || value[0] == '*'))
                    value.erase(0, 1);
                value = value.substr(0, value.find('>'));
                ASSERT_TRUE(IsNumber(value)) << line;
                EXPECT_NE(p->FindTopic(std::stoi(value)), nullptr) << line;
                ++links;
            }
            for (const std::string& value : CodeValues(line, "\\{button ")) {
                std::string action = value.substr(value.find(',') + 1);
                if (IsNumber(action)) {
                    EXPECT_NE(p->FindTopic(std::stoi(action)), nullptr) << line;
                    ++links;
                }
            }
            for (const std::string& value : CodeValues(line, "\\{linkTarget=")) {
                EXPECT_NE(std::find(targets.begin(), targets.end(), value), targets.end());
                ++links;
            }
        }
    EXPECT_GT(links, 10);
    p->FilterTopicsByBuildTags();
    for (const auto& t : p->Topics())
        EXPECT_EQ(t->Included, t->Number != 120) << t->Number;
    TStringList sequences;
    p->GetBrowseSequences(sequences);
    EXPECT_EQ(sequences, (TStringList{"tour", "reference"}));
}
