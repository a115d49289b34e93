// Parses the largest Free Pascal unit at hand (a generated API unit of about
// 120 000 lines) and reports lines per second. Without the Free Pascal
// sources a synthetic unit of similar shape is parsed instead.
#include "unitparser/unitparser.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* LargeUnit = "/usr/share/fpcsrc/3.2.2/packages/odata/src/sharepoint.pp";

std::string SyntheticUnit() {
    std::string text = "unit Synthetic;\ninterface\nuses Classes;\ntype\n";
    for (int i = 0; i < 2000; ++i) {
        std::string n = std::to_string(i);
        text += "  // The class number " + n + "\n  TThing" + n +
                " = class(TComponent)\n"
                "  private\n    FValue: Integer;\n    FName: string;\n  protected\n"
                "    procedure SetValue(AValue: Integer); virtual;\n  public\n"
                "    constructor Create(AOwner: TComponent); override;\n"
                "    function Describe(const Prefix: string; Count: Integer = 3): string;\n"
                "  published\n    property Value: Integer read FValue write SetValue; // value\n"
                "    property Name: string read FName write FName;\n"
                "    property OnChange: TNotifyEvent read FOnChange write FOnChange;\n  end;\n\n";
    }
    text += "implementation\nend.\n";
    return text;
}

std::string LoadInput(std::string& name) {
    if (std::filesystem::exists(LargeUnit)) {
        std::ifstream in(LargeUnit, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        name = "sharepoint.pp";
        return out.str();
    }
    name = "synthetic";
    return SyntheticUnit();
}

void BM_ParseLargeUnit(benchmark::State& state) {
    std::string name;
    const std::string text = LoadInput(name);
    const auto lines = static_cast<double>(std::count(text.begin(), text.end(), '\n'));
    std::size_t classes = 0;
    for (auto _ : state) {
        unitparser::TUnitParser parser;
        parser.ParseText(text, name);
        classes = parser.ParseObjects.size();
        benchmark::DoNotOptimize(classes);
    }
    state.SetLabel(name + ", " + std::to_string(static_cast<long>(lines)) + " lines, " +
                   std::to_string(classes) + " classes");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    state.counters["lines/s"] = benchmark::Counter(lines * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

// A unit of `count` declarations in scrambled alphabetical order: a quarter
// each of constants, variables, types, and methods of one class, so that
// every list the parser keeps sorted is large.
std::string GeneratedUnit(int count) {
    const int quarter = count / 4;
    // Visits 0..quarter-1 once each, out of order (the step is prime and
    // does not divide the sizes used).
    auto name = [&](const char* prefix, int i) {
        return prefix + std::to_string(static_cast<long long>(i) * 7919 % quarter);
    };
    std::string text = "unit Generated;\ninterface\nconst\n";
    for (int i = 0; i < quarter; ++i)
        text += "  " + name("Const", i) + " = " + std::to_string(i) + "; // a constant\n";
    text += "var\n";
    for (int i = 0; i < quarter; ++i)
        text += "  " + name("Var", i) + ": Integer;\n";
    text += "type\n";
    for (int i = 0; i < quarter; ++i)
        text += "  " + name("TRange", i) + " = 0..9;\n";
    text += "  TBig = class(TComponent)\n  public\n";
    for (int i = 0; i < quarter; ++i)
        text += "    procedure " + name("Method", i) + "(Value: Integer);\n";
    text += "  end;\nimplementation\nend.\n";
    return text;
}

double SecondsToParse(const std::string& text) {
    auto start = std::chrono::steady_clock::now();
    unitparser::TUnitParser parser;
    parser.ParseText(text, "generated.pas");
    benchmark::DoNotOptimize(parser.ListConsts.data());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds for 20,000 and 200,000 declarations and their ratio: about 10
// when parsing grows as n log n, about 100 when it grows as n^2.
void BM_ParseGeneratedDeclarations(benchmark::State& state) {
    const std::string small = GeneratedUnit(20000);
    const std::string large = GeneratedUnit(200000);
    double smallSeconds = 0, largeSeconds = 0;
    for (auto _ : state) {
        smallSeconds = SecondsToParse(small);
        largeSeconds = SecondsToParse(large);
        state.SetIterationTime(largeSeconds);
    }
    state.counters["s_20000"] = smallSeconds;
    state.counters["s_200000"] = largeSeconds;
    state.counters["ratio"] = smallSeconds > 0 ? largeSeconds / smallSeconds : 0;
    state.SetLabel("200,000 declarations (time shown), 20,000 for the ratio");
}

} // namespace

BENCHMARK(BM_ParseLargeUnit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseGeneratedDeclarations)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(3);
