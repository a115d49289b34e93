// The topic file and the RTF manual read by outside RTF readers: they must
// read them without error and find the same text our engine reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

#include "components/rtf/rtfdocument.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/rtfmanual.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/codepage.h"
#include "winhelp_support.h"

namespace {

namespace fs = std::filesystem;
using namespace helpproject;

bool IsWordByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return std::isalnum(b) || b >= 0x80;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text + " ") {
        if (IsWordByte(c)) {
            word += c;
        } else {
            if (word.size() >= 2)
                words.push_back(word);
            word.clear();
        }
    }
    return words;
}

// The words of our engine's visible text (footnotes and hidden text left
// out) must turn up in the tool's output in the same order.
void ExpectSameText(const std::string& file, const std::string& toolOutput, bool utf8) {
    const rtf::RtfDocument document = rtf::RtfDocument::Parse(winhelptest::ReadBytes(file));
    std::string ours;
    for (const rtf::Paragraph& p : document.Paragraphs()) {
        rtf::ForEachRun(p, [&](const rtf::Run& run, std::string_view text) {
            const rtf::CharFormat& format = document.FormatOf(run);
            if (!run.IsObject() && !format.hidden && format.offset == 0)
                ours += text;
            else
                ours += ' ';
        });
        ours += '\n';
    }
    if (utf8)
        ours = platform::Cp1252ToUtf8(ours);
    // Readers differ in what they make of hidden text (some show it), so
    // their words are run together and ours are looked for in order.
    std::string theirs;
    for (const std::string& word : Words(toolOutput))
        theirs += word;
    std::size_t from = 0;
    int found = 0;
    for (const std::string& word : Words(ours)) {
        const std::size_t at = theirs.find(word, from);
        EXPECT_NE(at, std::string::npos) << "\"" << word << "\" missing or out of order in:\n"
                                         << toolOutput;
        if (at == std::string::npos)
            break;
        from = at + word.size();
        ++found;
    }
    EXPECT_GE(found, 10);
}

struct Tool {
    const char* program;
    const char* command;
    bool utf8; // the tool writes UTF-8 (else the file's code page)
};

class OutsideReaders : public ::testing::TestWithParam<Tool> {};

TEST_P(OutsideReaders, ReadTheTopicFileAndTheManual) {
    const Tool tool = GetParam();
    if (!winhelptest::HaveProgram(tool.program))
        GTEST_SKIP() << tool.program << " is not installed";
    winhelptest::TScratch scratch;
    auto project = winhelptest::MakeGuideProject(scratch.Path());
    project->BuildTags.clear();
    WriteWinHelpSources(*project, winhelptest::GuideFiles(scratch.Path()), false);
    ExportRtfManual(*project, scratch / "manual.rtf", true);
    // The sample's manual: tables of tabs, raw RTF and every kind of code.
    TTextStyleList styles;
    const auto sample =
        TBrindlewovenProject::Load(BW_SOURCE_DIR "/examples/sample/sample.bwv", &styles);
    ExportRtfManual(*sample, scratch / "sample-manual.rtf", false);
    for (const std::string& file :
         {scratch / "guide.rtf", scratch / "manual.rtf", scratch / "sample-manual.rtf"}) {
        SCOPED_TRACE(file);
        int status = -1;
        const std::string output =
            winhelptest::RunCapture(std::string(tool.command) + " '" + file + "' 2>&1", &status);
        EXPECT_EQ(status, 0) << output;
        ExpectSameText(file, output, tool.utf8);
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, OutsideReaders,
                         ::testing::Values(Tool{"unrtf", "unrtf --quiet --text", false},
                                           Tool{"pandoc", "pandoc -f rtf -t plain --wrap=none",
                                                true}),
                         [](const auto& info) { return std::string(info.param.program); });

} // namespace
