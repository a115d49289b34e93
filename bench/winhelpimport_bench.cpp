// Import of a generated 5,000-topic WinHelp set (.hpj, .rtf, .cnt written by
// this program's own writer). Reports time per import and MB/s of the topic
// file read.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/import/winhelpimport.h"
#include "helpproject/writers/winhelpwriter.h"

using namespace helpproject;

namespace {

const char* kWords[] = {"quill", "ink",    "vellum", "binding", "folio", "margin", "gilt",
                        "spine", "ribbon", "clasp",  "leaf",    "press", "serif",  "codex"};

std::string Sentence(std::mt19937& rng, int words) {
    std::string text;
    for (int i = 0; i < words; ++i) {
        if (i)
            text += ' ';
        text += kWords[rng() % (sizeof kWords / sizeof *kWords)];
    }
    return text;
}

// Topics with every footnote field, links, a target, a button and a
// non-scrolling region: about 1 KB of text each.
std::unique_ptr<TBrindlewovenProject> MakeProject(int count, const std::string& folder) {
    std::mt19937 rng(11);
    auto p = std::make_unique<TBrindlewovenProject>();
    p->DeleteTopic(10);
    p->FileName = folder + "/bench.bwv";
    p->Compiler = helpproject::THelpCompiler::WinHelp32;
    p->Title = "Bench";
    for (int i = 1; i <= count; ++i) {
        auto t = std::make_unique<TBrindlewovenTopic>(i * 10, Sentence(rng, 3));
        t->TopicID = "topic_" + std::to_string(i);
        t->KKeywords = Sentence(rng, 2);
        t->AKeywords = "a" + std::to_string(i);
        t->BrowseSequence = "main:" + std::to_string(i);
        t->BuildTag = i % 2 ? "odd" : "even";
        const int target = static_cast<int>(rng() % static_cast<unsigned>(count) + 1) * 10;
        t->Text = {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                   "{\\f1\\froman Times New Roman;}}",
                   "{\\colortbl ;\\red0\\green128\\blue0;}",
                   "\\pard\\f1\\fs28\\b " + t->Title + "\\b0 \\{keepn\\}\\par"};
        for (int k = 0; k < 6; ++k)
            t->Text.push_back("\\pard\\f0\\fs20 " + Sentence(rng, 12) + " {\\strike " +
                              Sentence(rng, 2) + "}\\{linkID=" + std::to_string(target) + "\\} " +
                              Sentence(rng, 6) + " \\cf1 green\\cf0\\par");
        t->Text.push_back("\\pard\\{target=t" + std::to_string(i) + "\\} \\{button Go," +
                          std::to_string(target) + "\\} " + Sentence(rng, 4) + "\\par }");
        p->InsertTopic(std::move(t));
        p->ContentsLines.push_back("2 " + std::to_string(i) + "=topic_" + std::to_string(i));
    }
    return p;
}

std::string Folder() {
    static std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bwimportbench.XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern;
    }();
    return folder;
}

void BM_ImportWinHelpProject(benchmark::State& state) {
    auto source = MakeProject(static_cast<int>(state.range(0)), Folder());
    const TWinHelpSourceFiles files{Folder() + "/bench.hpj", Folder() + "/bench.rtf", {}};
    WriteWinHelpSources(*source, files, false);
    const auto rtfBytes = std::filesystem::file_size(files.RtfFileName);
    for (auto _ : state) {
        TBrindlewovenProject project;
        project.DeleteTopic(10);
        const TWinHelpImportResult result = ImportWinHelpProject(project, files.HpjFileName);
        if (result.TopicsImported != state.range(0))
            state.SkipWithError("topics lost");
        benchmark::DoNotOptimize(project.Topics().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(rtfBytes));
}
BENCHMARK(BM_ImportWinHelpProject)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
