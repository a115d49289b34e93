// The make of a generated 2,000-topic project as a quiet command-line run
// does it, beside chmcmd alone on the same written input, in one run.
//   make_bench --write FILE.bwv [N] writes the project file (N topics,
//                                   2,000 when not given)
//   make_bench --make FILE.bwv      "FILE.bwv /chtml /q" through the pipeline
//   make_bench --input FILE.bwv     writes chmcmd's input in "input" beside FILE
//   make_bench --chmcmd FILE.bwv    prints the seconds chmcmd alone takes on
//                                   that input (written first when missing)
// Without arguments it runs both as a Google Benchmark with the counters
// make_s, chmcmd_s and ratio (the goal is at most 1.3).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "editor/commandline.h"
#include "editor/editorsettings.h"
#include "generatedproject.h"
#include "helpproject/build/chmcmdadapter.h"
#include "helpproject/editingsession.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/htmlhelpwriter.h"

namespace {

namespace fs = std::filesystem;

void WriteProject(const std::string& file, int topics = 2000) {
    auto project = benchproject::MakeGeneratedProject(topics);
    project->Compiler = helpproject::THelpCompiler::HtmlHelp;
    project->SaveToFile(file, nullptr);
}

int MakeQuietly(const std::string& file) {
    helpproject::TEditingSession session;
    helpproject::TTextStyleList styles;
    helpproject::TCompilerPaths paths;
    editor::TEditorSettings settings;
    return editor::RunBatchCommandLine(editor::ParseCommandLine({file, "/chtml", "/q"}), session,
                                       &styles, paths, settings, std::cerr)
        .ExitCode;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The names of chmcmd's input in `folder`.
helpproject::TBuildRecord ChmcmdInputNames(const fs::path& folder) {
    helpproject::TBuildRecord input;
    input.HhpFileName = (folder / "big.hhp").string();
    input.ChmFileName = (folder / "big.chm").string();
    return input;
}

// chmcmd's input: the same pages, contents, index and help project as the
// make writes, in `folder`; the record names them.
helpproject::TBuildRecord WriteChmcmdInput(const std::string& file, const fs::path& folder) {
    fs::create_directories(folder);
    helpproject::TTextStyleList styles;
    auto project = helpproject::TBrindlewovenProject::Load(file, &styles);
    helpproject::TBuildRecord input = ChmcmdInputNames(folder);
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = input.HhpFileName;
    helpproject::WriteHtmlHelpProject(*project, false, true, options);
    return input;
}

void BM_MakeAgainstChmcmd(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "bw_make_bench";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string file = (folder / "big.bwv").string();
    WriteProject(file);
    auto input = WriteChmcmdInput(file, folder / "input");
    double make = 0, chmcmd = 0;
    int runs = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        const int status = MakeQuietly(file);
        make += Seconds(t0);
        if (status != 0) {
            state.SkipWithError("the make failed");
            break;
        }
        t0 = std::chrono::steady_clock::now();
        const auto result = helpproject::CompileWithChmcmd(input);
        chmcmd += Seconds(t0);
        if (!result.Produced) {
            state.SkipWithError(result.Log.c_str());
            break;
        }
        ++runs;
    }
    if (runs > 0) {
        state.counters["make_s"] = make / runs;
        state.counters["chmcmd_s"] = chmcmd / runs;
        state.counters["ratio"] = make / chmcmd;
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_MakeAgainstChmcmd)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--write") == 0) {
        const int topics = argc == 4 ? std::atoi(argv[3]) : 2000;
        if (topics < 1)
            return 2;
        WriteProject(argv[2], topics);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--make") == 0)
        return MakeQuietly(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--input") == 0) {
        WriteChmcmdInput(argv[2], fs::path(argv[2]).parent_path() / "input");
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--chmcmd") == 0) {
        const fs::path folder = fs::path(argv[2]).parent_path() / "input";
        auto input = fs::exists(folder / "big.hhp") ? ChmcmdInputNames(folder)
                                                    : WriteChmcmdInput(argv[2], folder);
        const auto t0 = std::chrono::steady_clock::now();
        const auto result = helpproject::CompileWithChmcmd(input);
        std::printf("%.3f\n", Seconds(t0));
        return result.Produced ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
