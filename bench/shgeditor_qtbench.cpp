// The SHG editor on a large picture (offscreen, release build): a
// 4,000 x 4,000 true-colour hotspot bitmap with 500 hotspots, opened and
// panned at zoom level 4 (eight times its size).
//   SHGEditorPanZoom4  milliseconds per full repaint of the visible part
//                      while panning (goal: under 16 ms); the counter
//                      PeakOverPicture is the memory the editor took at its
//                      peak (opening, showing and panning) over the
//                      picture's own bytes (goal: under 3)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "components/scriptedmessenger.h"
#include "editor/editorcontext.h"
#include "editor/ui/dialogs/shgform.h"
#include "editor/ui/dialogs/shgpicture.h"
#include "helpproject/shg.h"
#include "platform/registry.h"
#include "processstatus.h"

namespace {

constexpr int kSide = 4000;
constexpr int kHotspots = 500;

using benchproject::StatusKb;

std::string MakeFile() {
    const auto path = std::filesystem::temp_directory_path() / "bw_shgeditor_bench.shg";
    helpproject::TSHG shg;
    shg.Bitmap.SetSize(kSide, kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            shg.Bitmap.SetPixel(x, y,
                                {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                 static_cast<std::uint8_t>((x ^ y) & 0xFF)});
    for (int i = 0; i < kHotspots; ++i) {
        helpproject::TBrindlewovenHotspot h;
        h.HotspotType = helpproject::HotspotJump;
        h.Left = static_cast<std::uint16_t>((i % 25) * 160);
        h.Top = static_cast<std::uint16_t>((i / 25) * 200);
        h.Width = 120;
        h.Height = 150;
        h.Name = "Spot " + std::to_string(i);
        h.Target = "topic" + std::to_string(i);
        shg.Hotspots.push_back(h);
    }
    shg.BitCount = 24;
    shg.SaveToFile(path.string(), false);
    return path.string();
}

void SHGEditorPanZoom4(benchmark::State& state) {
    const std::string file = MakeFile();
    components::TScriptedMessenger messenger;
    auto registry = platform::OpenMemoryRegistry();
    editor::TEditorContext context(messenger, *registry);
    // The peak from here on is the editor's.
    benchproject::ResetPeak();
    const long before = StatusKb("VmRSS:");
    auto form = std::make_unique<editor::ui::TSHGForm>(context);
    form->resize(1280, 1000);
    form->show();
    if (!form->OpenFile(file)) {
        state.SkipWithError("the picture did not open");
        return;
    }
    for (int i = 0; i < 3; ++i)
        form->ZoomInClick();
    QApplication::processEvents();
    QScrollArea* scroll = form->ScrollBox();
    QScrollBar* h = scroll->horizontalScrollBar();
    QScrollBar* v = scroll->verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        // Diagonal pan across the picture, a third of the view a step.
        const int x = (step * scroll->viewport()->width() / 3) % std::max(1, h->maximum());
        const int y = (step * scroll->viewport()->height() / 3) % std::max(1, v->maximum());
        ++step;
        h->setValue(x);
        v->setValue(y);
        scroll->viewport()->repaint();
    }
    const double pictureBytes = double(kSide) * kSide * 3;
    state.counters["ZoomLevel"] = form->CurrentCanvas()->ZoomLevel();
    state.counters["PeakOverPicture"] = (StatusKb("VmHWM:") - before) * 1024.0 / pictureBytes;
    form.reset();
    std::filesystem::remove(file);
}
BENCHMARK(SHGEditorPanZoom4)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace
