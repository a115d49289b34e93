// A topic with a 500-row, 6-column table in the rich-edit control, beside
// the same text as plain paragraphs (offscreen, release build):
//   TopicLoadShowStore/1  RTF lines -> TRicherEdit (the table as a QTextTable),
//                         first screen painted, TRicherEdit -> RTF lines
//   TopicLoadShowStore/0  the same cells' text as 3000 paragraphs
//   TopicModel/1, /0      RTF lines -> model -> RTF lines, no widget
// Goal: the table costs under twice the paragraphs. Qt lays a QTextTable out
// whole as soon as it is shown (paragraphs only as far as the screen goes),
// which is most of the table's time.
//
// Medians in ms, before -> after making tables fast:
//   TopicLoadShowStore/0  paragraphs   9.1 ->  8.3
//   TopicLoadShowStore/1  table        255 ->   62   (28x -> 7.5x the paragraphs)
//   TopicModel/0          paragraphs  1.20 -> 1.17
//   TopicModel/1          table        3.4 ->  2.3   (2.8x -> 2.0x; its RTF has 3.6
//                                                    times the bytes)
// Of the table's 62 ms, Qt's layout of the whole table on first show is
// three quarters (about 46 ms): some 18 ms lay out and shape the cells'
// lines, some 18 ms are Qt's own lookups of each cell's format, row and
// column while it lays the grid out. Building the QTextDocument takes about
// 10 ms (inserting the text and the cell formats), reading it back 2-3 ms,
// reading and writing the RTF 2 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <string>
#include <vector>

#include "components/rtf/rtfwriter.h"
#include "components/rtf/stringlisttransfer.h"
#include "components/ui/richeredit.h"

namespace {

constexpr int kRows = 500;
constexpr int kColumns = 6;

// The topic: a title, the table (or its cells as paragraphs), a closing line.
std::vector<std::string> TopicLines(bool table) {
    std::vector<std::string> lines = {
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}{\\f1\\fmodern\\fcharset0 Courier New;}}",
        "{\\colortbl ;\\red0\\green128\\blue0;\\red192\\green192\\blue192;}",
        "\\viewkind4\\uc1\\pard\\f0\\fs20\\b Options\\b0\\par"};
    std::string row = "\\trowd\\trgaph108\\trleft-108";
    for (int c = 1; c <= kColumns; ++c)
        row += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10" +
               std::string(c == 1 ? "\\clcbpat2" : "") + "\\cellx" + std::to_string(c * 1500);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            std::string text = c == 0
                                   ? "\\f1 /opt" + std::to_string(r) + "\\f0 "
                                   : "value " + std::to_string(r * kColumns + c) +
                                         (c == 2 ? " \\cf1 see\\cf0\\v \\{linkID=20\\}\\v0" : "");
            std::string line = table ? (c == 0 ? row : "") + "\\pard\\intbl " + text +
                                           (c + 1 == kColumns ? "\\cell\\row" : "\\cell")
                                     : "\\pard " + text + "\\par";
            lines.push_back(std::move(line));
        }
    }
    lines.push_back("\\pard End of the options.\\par }");
    return lines;
}

const std::vector<std::string>& Topic(bool table) {
    static const std::vector<std::string> withTable = TopicLines(true);
    static const std::vector<std::string> without = TopicLines(false);
    return table ? withTable : without;
}

components::ui::TRicherEdit* theEditor = nullptr;

void TopicLoadShowStore(benchmark::State& state) {
    const auto& lines = Topic(state.range(0) != 0);
    components::ui::TRicherEdit& editor = *theEditor;
    std::vector<std::string> stored;
    for (auto _ : state) {
        editor.LoadFromStrings(lines);
        editor.viewport()->repaint();
        editor.SaveToStrings(stored);
        benchmark::DoNotOptimize(stored.data());
    }
    state.SetLabel(state.range(0) ? "table" : "paragraphs");
}

void TopicModel(benchmark::State& state) {
    const auto& lines = Topic(state.range(0) != 0);
    for (auto _ : state) {
        const std::vector<std::string> written = rtf::WriteRtfLines(rtf::LoadFromStrings(lines));
        benchmark::DoNotOptimize(written.data());
    }
    state.SetLabel(state.range(0) ? "table" : "paragraphs");
}

} // namespace

BENCHMARK(TopicLoadShowStore)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(TopicModel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    components::ui::TRicherEdit editor;
    editor.resize(800, 600);
    editor.show();
    theEditor = &editor;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
