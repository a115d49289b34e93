// HTML Help input for a generated 2,000-topic project: the writer's time
// against chmcmd compiling the same input, measured in one run. The
// counters writer_s and chmcmd_s are seconds per run; ratio is their
// quotient (the goal is below 0.25).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "generatedproject.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/build/chmcmdadapter.h"
#include "helpproject/writers/htmlhelpwriter.h"

namespace {

namespace fs = std::filesystem;
using helpproject::TStringList;

void BM_HtmlHelpWriterAgainstChmcmd(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "bw_htmlhelp_bench";
    fs::remove_all(folder);
    fs::create_directories(folder);
    auto project = benchproject::MakeGeneratedProject(2000);
    helpproject::TBuildRecord input;
    input.HhpFileName = (folder / "gen.hhp").string();
    input.ChmFileName = (folder / "gen.chm").string();
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = input.HhpFileName;
    double writer = 0, chmcmd = 0;
    int runs = 0;
    for (auto _ : state) {
        for (auto& topic : project->Topics())
            topic->ClearHtmlCaches();
        auto t0 = std::chrono::steady_clock::now();
        helpproject::WriteHtmlHelpProject(*project, false, true, options);
        auto t1 = std::chrono::steady_clock::now();
        state.PauseTiming();
        const auto result = helpproject::CompileWithChmcmd(input);
        auto t2 = std::chrono::steady_clock::now();
        if (!result.Produced) {
            state.SkipWithError(result.Log.c_str());
            break;
        }
        state.ResumeTiming();
        writer += std::chrono::duration<double>(t1 - t0).count();
        chmcmd += std::chrono::duration<double>(t2 - t1).count();
        ++runs;
    }
    if (runs == 0)
        return;
    state.counters["writer_s"] = writer / runs;
    state.counters["chmcmd_s"] = chmcmd / runs;
    state.counters["ratio"] = writer / chmcmd;
    fs::remove_all(folder);
}
BENCHMARK(BM_HtmlHelpWriterAgainstChmcmd)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
