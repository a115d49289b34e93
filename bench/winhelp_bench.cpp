// The WinHelp topic file and help project (WriteWinHelpSources) and the flat
// RTF manual for a generated 5,000-topic project. Reports time per run and
// MB/s of topic text read (the bytes of all topic texts).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/writers/rtfmanual.h"
#include "helpproject/writers/winhelpwriter.h"

using namespace helpproject;

namespace {

const char* kWords[] = {"lantern", "wick",      "oil",    "chimney", "burner", "globe",    "mantle",
                        "flame",   "reservoir", "handle", "shade",   "brass",  "kerosene", "lamp"};

std::string Sentence(std::mt19937& rng, int words) {
    std::string text;
    for (int i = 0; i < words; ++i) {
        if (i)
            text += ' ';
        text += kWords[rng() % (sizeof kWords / sizeof *kWords)];
    }
    return text;
}

// Topics 10, 20, ... with two fonts, three colours (in varying orders), a
// link and a hotspot, a target and a raw RTF code: about 1 KB of text each.
std::unique_ptr<TBrindlewovenProject> MakeProject(int count, const std::string& folder) {
    std::mt19937 rng(7);
    auto p = std::make_unique<TBrindlewovenProject>();
    p->DeleteTopic(10);
    p->FileName = folder + "/bench.bwv";
    p->Compiler = helpproject::THelpCompiler::WinHelp32;
    p->Title = "Bench";
    for (int i = 1; i <= count; ++i) {
        auto t = std::make_unique<TBrindlewovenTopic>(i * 10, Sentence(rng, 3));
        t->TopicID = "topic_" + std::to_string(i);
        t->KKeywords = Sentence(rng, 2);
        const int target = static_cast<int>(rng() % static_cast<unsigned>(count) + 1) * 10;
        const bool swapped = i % 2 == 0;
        t->Text = {
            std::string("{\\rtf1\\ansi\\deff0{\\fonttbl") +
                (swapped ? "{\\f0\\froman Times New Roman;}{\\f1\\fswiss\\fcharset0 Arial;}"
                         : "{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman Times New Roman;}") +
                "}",
            swapped ? "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
                    : "{\\colortbl ;\\red0\\green128\\blue0;\\red255\\green0\\blue0;}",
            "\\pard\\f1\\fs28\\b " + t->Title + "\\b0\\par",
        };
        for (int k = 0; k < 6; ++k)
            t->Text.push_back("\\pard\\f0\\fs20 " + Sentence(rng, 12) + " {\\cf1\\uldb " +
                              Sentence(rng, 2) + "}{\\v\\{linkID=" + std::to_string(target) +
                              "\\}} " + Sentence(rng, 6) + " \\cf2 red\\cf0\\par");
        t->Text.push_back("\\pard\\{target=t" + std::to_string(i) + "\\}\\{rtf=\\\\b\\}" +
                          Sentence(rng, 4) + "\\{rtf=\\\\b0\\}\\par }");
        p->InsertTopic(std::move(t));
    }
    return p;
}

std::size_t TextBytes(const TBrindlewovenProject& p) {
    std::size_t bytes = 0;
    for (const auto& t : p.Topics())
        for (const auto& line : t->Text)
            bytes += line.size() + 2;
    return bytes;
}

std::string Folder() {
    static std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "bwbench.XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern;
    }();
    return folder;
}

void BM_WriteWinHelpSources(benchmark::State& state) {
    auto project = MakeProject(static_cast<int>(state.range(0)), Folder());
    for (auto _ : state)
        WriteWinHelpSources(*project, {Folder() + "/bench.hpj", Folder() + "/bench.rtf", {}},
                            false);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(TextBytes(*project)));
}
BENCHMARK(BM_WriteWinHelpSources)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_RtfManual(benchmark::State& state) {
    auto project = MakeProject(static_cast<int>(state.range(0)), Folder());
    for (auto _ : state)
        ExportRtfManual(*project, Folder() + "/manual.rtf", true);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(TextBytes(*project)));
}
BENCHMARK(BM_RtfManual)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
