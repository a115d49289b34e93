// Renumber Topics over a project of 3,000 topics with 10 links each whose
// text shows 50 hotspot bitmaps, each with 20 hotspots linking to topics:
// the whole command as the menu runs it (plan, link rewriting, topic moves,
// contents lines, the bitmaps read, renumbered and written back). The goal
// is well under a second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "components/scriptedmessenger.h"
#include "editor/defaulttextstyles.h"
#include "editor/documenttexteditor.h"
#include "editor/renumbercommands.h"
#include "editor/topiceditor.h"
#include "helpproject/shg.h"

namespace {

namespace fs = std::filesystem;

constexpr int kTopics = 3000;
constexpr int kLinksPerTopic = 10;
constexpr int kPictures = 50;
constexpr int kHotspotsPerPicture = 20;

class TView : public editor::ITopicEditorView {
public:
    editor::ITextEditor& TextEditor() override { return text; }
    editor::TDocumentTextEditor text;
};

class THost : public editor::IRenumberHost {
public:
    bool RunRenumberDialog(editor::TRenumberDialogModel&) override { return false; }
    std::optional<std::string> PromptMergeFile(const editor::TFileDialogSpec&) override {
        return std::nullopt;
    }
    bool RunMergeDialog(editor::TMergeDialogModel&) override { return false; }
};

std::unique_ptr<helpproject::TBrindlewovenProject> MakeProject(const fs::path& folder) {
    std::mt19937 rng(7);
    auto project = std::make_unique<helpproject::TBrindlewovenProject>();
    project->ClearTopics();
    project->FileName = (folder / "bench.bwv").string();
    for (int i = 1; i <= kTopics; ++i) {
        auto topic =
            std::make_unique<helpproject::TBrindlewovenTopic>(i * 10, "Topic " + std::to_string(i));
        topic->Text = {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}",
                       "{\\colortbl;\\red0\\green0\\blue0;}",
                       "\\pard\\f0\\fs20 " + topic->Title + "\\par"};
        std::string line;
        for (int link = 0; link < kLinksPerTopic; ++link) {
            const int target = static_cast<int>(rng() % kTopics + 1) * 10;
            line += link % 2 ? "See \\{button Go," + std::to_string(target) + "\\} "
                             : "See \\{linkID=" + std::to_string(target) + "\\} ";
        }
        topic->Text.push_back(line + "\\par");
        if (i % (kTopics / kPictures) == 0)
            topic->Text.push_back("\\{bmc pic" + std::to_string(i / (kTopics / kPictures)) +
                                  ".shg\\}\\par");
        topic->Text.push_back("}");
        project->InsertTopic(std::move(topic));
    }
    for (int i = 1; i <= kTopics; i += 10)
        project->ContentsLines.push_back("2 Topic=Vellumar" + std::to_string(i * 10));
    return project;
}

void WritePictures(const fs::path& folder) {
    std::mt19937 rng(11);
    for (int p = 1; p <= kPictures; ++p) {
        helpproject::TSHG shg;
        shg.Bitmap.SetSize(64, 48);
        shg.BitCount = 24;
        for (int h = 0; h < kHotspotsPerPicture; ++h) {
            helpproject::TBrindlewovenHotspot spot;
            spot.HotspotType = helpproject::HotspotJump;
            spot.Left = static_cast<std::uint16_t>(h * 3);
            spot.Width = 3;
            spot.Height = 3;
            spot.Name = "h" + std::to_string(h);
            spot.Target = "Vellumar" + std::to_string((rng() % kTopics + 1) * 10);
            shg.Hotspots.push_back(spot);
        }
        shg.SaveToFile((folder / ("pic" + std::to_string(p) + ".shg")).string(), false);
    }
}

void BM_RenumberTopics(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "bw-renumber-bench";
    fs::remove_all(folder);
    fs::create_directories(folder);
    helpproject::TTextStyleList styles;
    editor::AddDefaultTextStyles(styles, true);
    editor::TEditorSettings settings;
    for (auto _ : state) {
        state.PauseTiming();
        WritePictures(folder);
        helpproject::TEditingSession session(MakeProject(folder));
        TView view;
        editor::TTopicEditor topics(session, view, styles, settings);
        components::TScriptedMessenger messenger;
        THost host;
        editor::TRenumberCommands commands(topics, messenger, host);
        state.ResumeTiming();
        // Every topic moves up by 5: each new number is an old one's + 5.
        commands.Renumber({1, helpproject::MaxTopicNumber, 15, 10});
        benchmark::DoNotOptimize(session.Project().Topics().back()->Number);
    }
    fs::remove_all(folder);
}

} // namespace

BENCHMARK(BM_RenumberTopics)->Unit(benchmark::kMillisecond)->Iterations(3);
