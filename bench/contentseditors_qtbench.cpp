// The contents editor and the index editor on large projects (offscreen,
// release build), from creating the window to its first paint:
//   ContentsEditorFirstPaint  a 5,000-line contents over 5,000 topics
//                             (goal: under 200 ms)
//   IndexEditorFirstPaint     5,000 topics with 20,000 keyword entries
//                             (goal: under 200 ms)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <string>

#include "components/scriptedmessenger.h"
#include "editor/editorcontext.h"
#include "editor/ui/dialogs/contentsform.h"
#include "editor/ui/dialogs/formindexeditor.h"
#include "platform/registry.h"

namespace {

constexpr int kTopics = 5000;

struct TContext {
    TContext() : registry(platform::OpenMemoryRegistry()), context(messenger, *registry) {
        auto& project = context.Project();
        project.ClearTopics();
        for (int i = 1; i <= kTopics; ++i) {
            auto* topic = project.AddTopic(i * 10, "Topic " + std::to_string(i) + " of many");
            // Four entries a topic: two keywords of its own, a shared one
            // with a sub-keyword, and one every topic has.
            topic->KKeywords = "Own keyword " + std::to_string(i) + ";Second keyword " +
                               std::to_string(i) + ";Shared " + std::to_string(i % 500) +
                               ",detail " + std::to_string(i % 7) + ";Everywhere";
        }
        // Books of ten pages, three levels deep.
        for (int i = 0; i < kTopics; ++i) {
            const int number = (i + 1) * 10;
            if (i % 10 == 0)
                project.ContentsLines.push_back(std::to_string(1 + (i / 10) % 2) + " Book " +
                                                std::to_string(i / 10));
            else
                project.ContentsLines.push_back(std::to_string(2 + (i / 10) % 2) + " Page " +
                                                std::to_string(i) + "=Vellumar" +
                                                std::to_string(number));
        }
        project.Windows = {"main=\"Main\"", "Popup=\"Pop\""};
    }
    std::unique_ptr<platform::Registry> registry;
    components::TScriptedMessenger messenger;
    editor::TEditorContext context;
};

template <class TForm> void FirstPaint(benchmark::State& state) {
    TContext context;
    for (auto _ : state) {
        auto form = std::make_unique<TForm>(context.context);
        form->show();
        form->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["Topics"] = kTopics;
    state.counters["ContentsLines"] =
        static_cast<double>(context.context.Project().ContentsLines.size());
}

void ContentsEditorFirstPaint(benchmark::State& state) {
    FirstPaint<editor::ui::TContentsForm>(state);
}
BENCHMARK(ContentsEditorFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

void IndexEditorFirstPaint(benchmark::State& state) {
    FirstPaint<editor::ui::TFormIndexEditor>(state);
}
BENCHMARK(IndexEditorFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
