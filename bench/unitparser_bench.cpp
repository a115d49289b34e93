// Parses the largest Free Pascal unit at hand (a generated API unit of about
// 120 000 lines) and reports lines per second. Without the Free Pascal
// sources a synthetic unit of similar shape is parsed instead.
#include "unitparser/unitparser.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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

} // namespace

BENCHMARK(BM_ParseLargeUnit)->Unit(benchmark::kMillisecond);
