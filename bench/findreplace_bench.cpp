// Replace All in all topics: 2,000 topics of formatted RTF with 25
// occurrences each (50,000 in all), replaced through the find session, the
// topic editor and the document model, as the window does it without its
// widgets.
//
// Modes for bench/compare-findreplace.sh:
//   --dump DIR       writes the topics as DIR/topicNNNN.rtf
//   --time DIR [N]   reads every .rtf file of DIR as a topic, replaces all
//                    occurrences in all topics, writes the topics back; best
//                    of N runs (the files are read anew for each), printing
//                    "seconds replacements" on one line. The output is checked:
//                    every file must read back as RTF without the old word.
// Without a mode: the same run as a Google Benchmark, in memory.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "components/rtf/stringlisttransfer.h"
#include "components/scriptedmessenger.h"
#include "editor/defaulttextstyles.h"
#include "editor/documenttexteditor.h"
#include "editor/findsession.h"
#include "editor/topiceditor.h"

using namespace editor;
using helpproject::TBrindlewovenProject;

namespace {

constexpr int kTopics = 2000;
constexpr int kHitsPerTopic = 25;
constexpr const char* kOld = "marmalade";
constexpr const char* kNew = "quince jelly";

helpproject::TStringList TopicText(int number) {
    helpproject::TStringList lines = {
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}",
        "{\\colortbl ;\\red0\\green128\\blue0;\\red128\\green0\\blue0;}",
        "\\pard\\keepn\\f0\\fs28\\b Topic " + std::to_string(number) + "\\b0\\par"};
    for (int i = 0; i < kHitsPerTopic; ++i)
        lines.push_back("\\pard\\f0\\fs20 Paragraph " + std::to_string(i) +
                        " mentions marmalade in {\\b bold} and {\\i italic} words, "
                        "\\cf1\\strike a link\\strike0\\cf2\\{linkID=10\\}\\cf0  and "
                        "{\\f1 source} text.\\par");
    lines.back() += " }";
    return lines;
}

class TView : public ITopicEditorView {
public:
    TDocumentTextEditor text;
    ITextEditor& TextEditor() override { return text; }
};

struct TRun {
    explicit TRun(std::vector<helpproject::TStringList> texts) {
        auto project = std::make_unique<TBrindlewovenProject>();
        project->ClearTopics();
        for (std::size_t i = 0; i < texts.size(); ++i)
            project->AddTopic(static_cast<std::int32_t>(10 * (i + 1)), "Topic")->Text =
                std::move(texts[i]);
        session = std::make_unique<helpproject::TEditingSession>(std::move(project));
        AddDefaultTextStyles(styles, true);
        editor = std::make_unique<TTopicEditor>(*session, view, styles, settings);
        find = std::make_unique<TFindSession>(*editor, messenger, findView);
    }
    void ReplaceAll() {
        TFindRequest request;
        request.FindText = kOld;
        request.ReplaceText = kNew;
        request.Scope = TFindScope::AllTopics;
        find->Search(TFindButton::ReplaceAll, request);
    }

    std::unique_ptr<helpproject::TEditingSession> session;
    TView view;
    helpproject::TTextStyleList styles;
    TEditorSettings settings;
    std::unique_ptr<TTopicEditor> editor;
    components::TScriptedMessenger messenger;
    IFindView findView;
    std::unique_ptr<TFindSession> find;
};

std::vector<helpproject::TStringList> Generated() {
    std::vector<helpproject::TStringList> texts;
    for (int i = 1; i <= kTopics; ++i)
        texts.push_back(TopicText(i));
    return texts;
}

void ReplaceAllTopics(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TRun run(Generated());
        state.ResumeTiming();
        run.ReplaceAll();
    }
    state.SetItemsProcessed(state.iterations() * kTopics * kHitsPerTopic);
}
BENCHMARK(ReplaceAllTopics)->Unit(benchmark::kMillisecond);

// ---- the comparison's modes ---------------------------------------------------------------

std::vector<std::filesystem::path> RtfFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".rtf")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

helpproject::TStringList ReadLines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    helpproject::TStringList lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

void WriteLines(const std::filesystem::path& file, const helpproject::TStringList& lines) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines)
        out << line << "\r\n";
}

int DumpSet(const char* folder) {
    std::filesystem::create_directories(folder);
    char name[32];
    for (int i = 1; i <= kTopics; ++i) {
        std::snprintf(name, sizeof name, "topic%04d.rtf", i);
        WriteLines(std::filesystem::path(folder) / name, TopicText(i));
    }
    return 0;
}

// Reads the files, replaces, writes them back; the seconds it took.
double TimeOnce(const std::filesystem::path& folder, std::size_t& replaced) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::filesystem::path> files = RtfFiles(folder);
    std::vector<helpproject::TStringList> texts;
    texts.reserve(files.size());
    for (const auto& file : files)
        texts.push_back(ReadLines(file));
    TRun run(std::move(texts));
    run.ReplaceAll();
    for (std::size_t i = 0; i < files.size(); ++i)
        WriteLines(files[i], run.session->Project().Topics()[i]->Text);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    replaced = 0;
    for (const auto& topic : run.session->Project().Topics()) {
        const rtf::RtfDocument document = rtf::LoadFromStrings(topic->Text);
        const std::string plain = document.TextRange(0, document.TextLength());
        for (std::size_t at = plain.find(kNew); at != std::string::npos;
             at = plain.find(kNew, at + 1))
            ++replaced;
        if (plain.find(kOld) != std::string::npos) {
            std::fprintf(stderr, "an occurrence was left\n");
            return -1;
        }
    }
    return seconds;
}

int TimeFolder(const char* folder, int runs) {
    // Each run starts from the generated files again.
    const std::filesystem::path work = std::filesystem::path(folder);
    double best = 1e9;
    std::size_t replaced = 0;
    for (int i = 0; i < std::max(1, runs); ++i) {
        if (i > 0)
            DumpSet(folder);
        const double seconds = TimeOnce(work, replaced);
        if (seconds < 0)
            return 1;
        best = std::min(best, seconds);
    }
    std::printf("%.4f %zu\n", best, replaced);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--dump") == 0)
        return DumpSet(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "--time") == 0)
        return TimeFolder(argv[2], argc >= 4 ? std::atoi(argv[3]) : 3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
