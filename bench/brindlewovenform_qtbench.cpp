// The main window with large projects (offscreen, release build):
//   OpenAndShow        open a 5,000-topic project file of about 50 MB and
//                      paint its first topic (goal: under 1 s); the counters
//                      give the file size, the heap the open project holds
//                      (goal: under 3x the file) and the process's peak RSS
//                      (the file is made by the first run and kept in the
//                      temporary folder; run twice for a clean peak)
//   SwitchTopics       StoreTopic + ShowTopic between two 50 KB topics of
//                      that project: paint:0 without painting, paint:1 with
//                      the first frame of the text and the grid painted,
//                      paint:2 until the event loop is idle (the rest of the
//                      text laid out too) (goal: median under 16 ms)
//   SortGridByTitle    a header click on the title column of a 10,000-topic
//                      grid, the view rebuilt (goal: under 50 ms)
#include <benchmark/benchmark.h>

#include "components/ui/richeredit.h"
#include <QApplication>
#include <QHeaderView>
#include <malloc.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "components/scriptedmessenger.h"
#include "editor/ui/brindlewovenform.h"
#include "editor/ui/projectactions.h"
#include "editor/ui/topicgridmodel.h"
#include "editor/ui/topicgridview.h"
#include "platform/registry.h"

namespace {

namespace fs = std::filesystem;
using helpproject::TBrindlewovenProject;

// Kilobytes of a /proc/self/status line ("VmRSS", "VmHWM").
long StatusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    return 0;
}

// RTF of about `bytes` bytes: prose with bold words, links and their codes.
helpproject::TStringList TopicText(int number, std::size_t bytes) {
    helpproject::TStringList lines = {
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}",
        "{\\colortbl ;\\red0\\green128\\blue0;\\red128\\green0\\blue0;}",
        "\\pard\\f0\\fs32\\b Topic " + std::to_string(number) + "\\b0\\fs20\\par"};
    std::size_t size = 0;
    for (int i = 0; size < bytes; ++i) {
        std::string line = "\\pard\\f0\\fs20 Paragraph " + std::to_string(i) +
                           " steeps the leaves with {\\b bold} and {\\i italic} words, "
                           "\\cf1\\strike a link\\strike0\\cf2\\{linkID=" +
                           std::to_string(number == 10 ? 20 : 10) + "\\}\\cf0  and more.\\par";
        size += line.size() + 2;
        lines.push_back(std::move(line));
    }
    lines.back() += " }";
    return lines;
}

std::unique_ptr<TBrindlewovenProject> LargeProject(int topics, std::size_t bytesPerTopic) {
    auto project = std::make_unique<TBrindlewovenProject>();
    project->ClearTopics();
    for (int i = 1; i <= topics; ++i) {
        auto* topic =
            project->AddTopic(i * 10, "Topic title " + std::to_string((i * 7919) % topics));
        topic->Text = TopicText(i * 10, i <= 2 ? 50000 : bytesPerTopic);
    }
    return project;
}

// The 5,000-topic file. It is kept between runs, so that a second run's
// peak memory is that of the window and the open project alone.
const fs::path& ProjectFile() {
    static const fs::path file = [] {
        fs::path path = fs::temp_directory_path() / "bw_window_bench_5000.bwv";
        std::error_code error;
        if (!fs::exists(path, error))
            LargeProject(5000, 10000)->SaveToFile(path.string(), nullptr);
        return path;
    }();
    return file;
}

// Bytes the heap holds in use.
double HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

struct TWindow {
    TWindow()
        : registry(platform::OpenMemoryRegistry()), context(messenger, *registry), form(context) {
        form.resize(1200, 800);
        form.show();
        QApplication::processEvents();
    }
    // What the event loop does after a change.
    void Paint() { QApplication::processEvents(); }
    std::unique_ptr<platform::Registry> registry;
    components::TScriptedMessenger messenger;
    editor::TEditorContext context;
    editor::ui::TBrindlewovenForm form;
};

void OpenAndShow(benchmark::State& state) {
    const fs::path& file = ProjectFile();
    const double fileBytes = static_cast<double>(fs::file_size(file));
    double added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<TWindow>();
        const double before = HeapInUse();
        state.ResumeTiming();
        window->form.ProjectActions().OpenProject(file.string());
        window->Paint();
        state.PauseTiming();
        added = std::max(added, HeapInUse() - before);
        window.reset();
        state.ResumeTiming();
    }
    state.counters["FileMB"] = fileBytes / 1e6;
    // The heap the open project (and what the window shows of it) holds.
    state.counters["ProjectHeapMB"] = added / 1e6;
    state.counters["HeapPerFile"] = added / fileBytes;
    state.counters["PeakRssMB"] = static_cast<double>(StatusKb("VmHWM")) * 1024 / 1e6;
}
BENCHMARK(OpenAndShow)->Unit(benchmark::kMillisecond)->Iterations(3);

// How much of the window is painted after each switch.
enum TSwitchPaint { kNoPaint, kFirstFrame, kIdle };

void SwitchTopics(benchmark::State& state) {
    TWindow window;
    window.form.ProjectActions().OpenProject(ProjectFile().string());
    const auto paint = static_cast<TSwitchPaint>(state.range(0));
    bool first = true;
    for (auto _ : state) {
        window.form.Context().TopicEditor().GoToTopicID(first ? 10 : 20);
        if (paint == kFirstFrame) {
            // What the person sees first: the text's first screen and the grid.
            window.form.RichEdit().viewport()->repaint();
            window.form.GridView().viewport()->repaint();
        } else if (paint == kIdle) {
            // Everything the event loop does until it is idle again, the
            // layout of the rest of the text included.
            QApplication::processEvents();
        }
        first = !first;
    }
}
BENCHMARK(SwitchTopics)
    ->ArgName("paint")
    ->Arg(kNoPaint)
    ->Arg(kFirstFrame)
    ->Arg(kIdle)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void SortGridByTitle(benchmark::State& state) {
    TWindow window;
    window.form.Context().Session().ReplaceProject(LargeProject(10000, 100));
    window.form.Context().TopicEditor().ProjectReplaced();
    QHeaderView* header = window.form.GridView().horizontalHeader();
    for (auto _ : state) {
        emit header->sectionClicked(1);
        window.Paint();
    }
}
BENCHMARK(SortGridByTitle)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
