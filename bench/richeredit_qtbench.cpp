// Speed of the rich-edit control on large topics, beside Qt's own HTML
// import of the same content in the same run (offscreen, release build):
//   RicherEditDocument/N  RTF lines -> model -> QTextDocument (no layout)
//   QtDocumentSetHtml/N   the same content as Qt's HTML -> QTextDocument::setHtml
//   RicherEditLoad/N      RTF lines -> TRicherEdit, laid out to the end
//   QtSetHtml/N           HTML -> QTextEdit::setHtml, laid out to the end
//   RicherEditShow/N      RTF lines -> TRicherEdit, first screen painted (16 ms goal)
//   QtSetHtmlShow/N       HTML -> QTextEdit, first screen painted
//   RicherEditStore/N     TRicherEdit -> RTF lines
//   QtToHtml/N            QTextEdit::toHtml of the same content
//   SelText/...           a 100-character selection of the 1 MB topic, read
//                         as GetSelText does and by copying the whole text first
#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <string>
#include <vector>

#include "components/rtf/stringlisttransfer.h"
#include "components/ui/richeredit.h"
#include "components/ui/rtfqtdocument.h"

namespace {

// A deterministic topic of about `bytes` bytes of RTF in the program's
// layout, made of the paragraph kinds topics hold: prose with bold and
// italic words, jump and popup hotspots with hidden link codes, bullets,
// tabbed columns and coloured notes.
std::vector<std::string> TopicLines(std::size_t bytes) {
    static const char* const words[] = {"steep",  "the",      "leaves", "for",  "three", "minutes",
                                        "water",  "kettle",   "timer",  "cup",  "green", "black",
                                        "herbal", "caf\\'e9", "and",    "with", "a",     "preset"};
    unsigned state = 7;
    auto word = [&] {
        state = state * 1103515245u + 12345u;
        return std::string(words[(state >> 16) % std::size(words)]);
    };
    auto sentence = [&](int count) {
        std::string s = word();
        for (int i = 1; i < count; ++i)
            s += ' ' + word();
        return s;
    };
    std::vector<std::string> lines = {
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern\\fprq1\\fcharset0 Courier New;}}",
        "{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green128\\blue0;\\red128\\green0\\blue0;}"};
    std::size_t size = lines[0].size() + lines[1].size();
    for (int n = 0; size < bytes; ++n) {
        std::string line;
        switch (n % 6) {
        case 0:
            line = "\\pard\\f0\\fs20 " + sentence(12) + " \\b " + sentence(2) + "\\b0  \\i " +
                   sentence(3) + "\\i0  " + sentence(10) + ".\\par";
            break;
        case 1:
            line = "\\pard Read \\uldb " + sentence(2) +
                   "\\ulnone\\v\\{linkID=" + std::to_string(n) + "\\}\\v0  or the \\ul " + word() +
                   "\\ulnone\\v\\{linkID=" + std::to_string(n + 1) + "\\}\\v0 , " + sentence(9) +
                   ".\\par";
            break;
        case 2:
            line =
                "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
                "\\fi-360\\li360\\tx360 " +
                sentence(9) + "\\par";
            break;
        case 3:
            line = "\\pard\\tx1440\\tx2880 " + sentence(2) + "\\tab " + sentence(2) + "\\tab " +
                   sentence(2) + "\\par";
            break;
        case 4:
            line = "\\pard\\cf3 Note:\\cf0  " + sentence(14) + " \\f2 qtimer.exe\\f0 .\\par";
            break;
        default:
            line = "\\pard\\qc\\sb60\\sa60 " + sentence(7) + "\\par";
            break;
        }
        size += line.size() + 2;
        lines.push_back(std::move(line));
    }
    lines.back() += " }";
    return lines;
}

const std::vector<std::string>& Topic(std::size_t bytes) {
    static std::vector<std::string> small, large;
    std::vector<std::string>& topic = bytes < 100000 ? small : large;
    if (topic.empty())
        topic = TopicLines(bytes);
    return topic;
}

// One visible editor of each kind, offscreen, for every benchmark; main
// owns them.
components::ui::TRicherEdit* theEditor = nullptr;
QTextEdit* theQtEditor = nullptr;

components::ui::TRicherEdit& Editor() {
    return *theEditor;
}

QTextEdit& QtEditor() {
    return *theQtEditor;
}

// The same content as Qt's HTML, made by Qt from our document.
QString TopicHtml(std::size_t bytes) {
    components::ui::TRicherEdit& editor = Editor();
    editor.LoadFromStrings(Topic(bytes));
    return editor.document()->toHtml();
}

std::size_t Bytes(const std::vector<std::string>& lines) {
    std::size_t n = 0;
    for (const std::string& line : lines)
        n += line.size() + 2;
    return n;
}

// Lays a document out to its end, as scrolling through it would.
void LayoutToEnd(QTextDocument& document) {
    document.documentLayout()->blockBoundingRect(document.lastBlock());
}

void RicherEditDocument(benchmark::State& state) {
    const auto& lines = Topic(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        QTextDocument document;
        components::ui::ModelToQTextDocument(rtf::LoadFromStrings(lines), document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes(lines)));
}

void RicherEditLoad(benchmark::State& state) {
    const auto& lines = Topic(static_cast<std::size_t>(state.range(0)));
    components::ui::TRicherEdit& editor = Editor();
    for (auto _ : state) {
        editor.LoadFromStrings(lines);
        LayoutToEnd(*editor.document());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes(lines)));
}

void QtSetHtml(benchmark::State& state) {
    const QString html = TopicHtml(static_cast<std::size_t>(state.range(0)));
    QTextEdit& editor = QtEditor();
    for (auto _ : state) {
        editor.setHtml(html);
        LayoutToEnd(*editor.document());
    }
    state.counters["html_bytes"] = static_cast<double>(html.size());
}

void QtDocumentSetHtml(benchmark::State& state) {
    const QString html = TopicHtml(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        QTextDocument document;
        document.setHtml(html);
        benchmark::DoNotOptimize(document.characterCount());
    }
}

void RicherEditStore(benchmark::State& state) {
    components::ui::TRicherEdit& editor = Editor();
    editor.LoadFromStrings(Topic(static_cast<std::size_t>(state.range(0))));
    std::vector<std::string> lines;
    for (auto _ : state) {
        editor.SaveToStrings(lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes(lines)));
}

void QtToHtml(benchmark::State& state) {
    QTextEdit& editor = QtEditor();
    editor.setHtml(TopicHtml(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.toHtml().size());
}

// From the lines to the first screen painted.
void RicherEditShow(benchmark::State& state) {
    const auto& lines = Topic(static_cast<std::size_t>(state.range(0)));
    components::ui::TRicherEdit& editor = Editor();
    for (auto _ : state) {
        editor.LoadFromStrings(lines);
        editor.viewport()->repaint();
    }
}

void QtSetHtmlShow(benchmark::State& state) {
    const QString html = TopicHtml(static_cast<std::size_t>(state.range(0)));
    QTextEdit& editor = QtEditor();
    for (auto _ : state) {
        editor.setHtml(html);
        editor.viewport()->repaint();
    }
}

void SelectHundredCharacters(components::ui::TRicherEdit& editor) {
    editor.LoadFromStrings(Topic(1 << 20));
    editor.SetSelStart(editor.GetTextLen() / 2);
    editor.SetSelLength(100);
}

void SelTextOfSelection(benchmark::State& state) {
    components::ui::TRicherEdit& editor = Editor();
    SelectHundredCharacters(editor);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.GetSelText());
}

// The way the selection was read before: the whole text, then the span.
void SelTextThroughWholeText(benchmark::State& state) {
    components::ui::TRicherEdit& editor = Editor();
    SelectHundredCharacters(editor);
    for (auto _ : state) {
        const std::string all = editor.GetText();
        benchmark::DoNotOptimize(all.substr(static_cast<std::size_t>(editor.GetSelStart()),
                                            static_cast<std::size_t>(editor.GetSelLength())));
    }
}

constexpr std::int64_t kLarge = 1 << 20;
constexpr std::int64_t kSmall = 50 << 10;

BENCHMARK(RicherEditDocument)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(QtDocumentSetHtml)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(RicherEditLoad)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(QtSetHtml)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(RicherEditShow)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(QtSetHtmlShow)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(RicherEditStore)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(QtToHtml)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(SelTextOfSelection)->Unit(benchmark::kMicrosecond);
BENCHMARK(SelTextThroughWholeText)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    components::ui::TRicherEdit editor;
    QTextEdit qtEditor;
    for (QTextEdit* e : {static_cast<QTextEdit*>(&editor), &qtEditor}) {
        e->resize(800, 600);
        e->show();
    }
    theEditor = &editor;
    theQtEditor = &qtEditor;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
