// Speed of loading and saving the project file on a generated project of
// 5,000 topics (about 50 MB): RTF topic text in the program's layout with
// formatting, hidden markup codes, bullets, tabs, fields and pictures, and
// every topic field filled.
//   projectfile_bench                    Google Benchmark runs (MB/s)
//   projectfile_bench --write FILE       saves the generated project to FILE
//   projectfile_bench --time FILE [RUNS] best seconds of loading FILE and of
//                                        saving it beside itself, printed as
//                                        "LOAD SAVE BYTES"
// BW_PROJECTFILE_BENCH_FILE names the file the Google Benchmark runs use (it
// is kept); without it a temporary file is written and removed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/textstylemacro.h"
#include "platform/fileio.h"

namespace {

using helpproject::TBrindlewovenProject;
using helpproject::TStringList;
using helpproject::TTextStyleList;

constexpr int kTopics = 5000;
constexpr std::size_t kTopicTextBytes = 10000; // 5,000 x 10 KB = 50 MB

// A small deterministic generator, so every run sees the same bytes.
struct Random {
    std::uint32_t state = 4711;
    std::uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
};

const char* const kWords[] = {"topic",
                              "project",
                              "compiler",
                              "window",
                              "button",
                              "link",
                              "caf\\'e9",
                              "contents",
                              "index",
                              "macro",
                              "help",
                              "file",
                              "browse",
                              "sequence",
                              "keyword",
                              "popup",
                              "jump",
                              "text",
                              "\\'93quoted\\'94",
                              "style",
                              "paragraph",
                              "bitmap",
                              "the",
                              "a",
                              "and",
                              "of",
                              "to",
                              "with",
                              "for",
                              "in"};

std::string Sentence(Random& r, int words) {
    std::string s;
    for (int i = 0; i < words; ++i) {
        if (i)
            s += ' ';
        s += kWords[r.Below(static_cast<int>(std::size(kWords)))];
    }
    return s;
}

std::string Number(Random& r, int below) {
    return std::to_string(r.Below(below));
}

// A topic's text as the editor stores it: one line per RTF line.
TStringList TopicText(Random& r, int number, const std::string& title) {
    TStringList lines;
    lines.push_back(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern\\fprq1\\fcharset0 "
        "Courier New;}}");
    lines.push_back("{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green128\\blue0;\\red255\\green255"
                    "\\blue0;}");
    lines.push_back("\\viewkind4\\uc1\\pard\\keepn\\f0\\fs28\\b " + title + " (" +
                    std::to_string(number) + ")\\b0\\fs20\\par");
    std::size_t size = 0;
    for (const std::string& l : lines)
        size += l.size() + 2;
    while (size < kTopicTextBytes) {
        std::string line;
        switch (r.Below(9)) {
        case 0:
            line =
                "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
                "\\fi-360\\li360\\tx360 " +
                Sentence(r, 8) + "\\par";
            break;
        case 1:
            line = "\\pard\\tx1440\\tx2880 " + Sentence(r, 3) + "\\tab " + Sentence(r, 3) +
                   "\\tab " + Sentence(r, 2) + "\\par";
            break;
        case 2:
            line = "\\pard See \\cf2\\strike " + Sentence(r, 2) +
                   "\\cf0\\strike0{\\v \\{linkID=" + Number(r, kTopics) + "\\}} and \\ul " +
                   Sentence(r, 1) + "\\ulnone{\\v \\{linkID=%" + Number(r, kTopics) + "\\}}, " +
                   Sentence(r, 10) + ".\\par";
            break;
        case 3:
            line = "\\pard\\f2 " + Sentence(r, 6) + " \\{braces\\} \\\\path\\f0\\par";
            break;
        case 4:
            line = "\\pard\\qc\\highlight3 " + Sentence(r, 5) + "\\highlight0\\par";
            break;
        case 5:
            line =
                "\\pard\\sb120\\sa60 Field {\\field{\\*\\fldinst HYPERLINK \"http://example.com/" +
                Number(r, 100) +
                "\"}{\\fldrslt link}} and {\\pict\\wmetafile8\\picw10\\pich10 "
                "0100090000031e0000000000050000000b0200000000050000000c02}.\\par";
            break;
        case 6:
            line = "\\pard " + Sentence(r, 4) + " \\{bmc shot" + Number(r, 50) + ".bmp\\} \\{mci " +
                   Sentence(r, 1) + "\\} \\{ewl dll, class, " + Sentence(r, 1) + "\\}\\par";
            break;
        default:
            line = "\\pard " + Sentence(r, 14) + ", \\b " + Sentence(r, 2) + "\\b0  \\i " +
                   Sentence(r, 3) + "\\i0  " + Sentence(r, 12) + ".\\par";
            break;
        }
        size += line.size() + 2;
        lines.push_back(std::move(line));
    }
    lines.push_back("}");
    return lines;
}

std::unique_ptr<TBrindlewovenProject> Generate() {
    auto project = std::make_unique<TBrindlewovenProject>();
    project->DeleteTopic(10);
    project->Title = "Generated help project";
    project->Copyright = "Copyright \xa9 the help team";
    project->BuildTags = "WEB;PRINT;BETA";
    project->Baggage = {"extra.bmp", "notes.txt"};
    project->Windows = {"main,\"Generated help\",0,0,1023,1023,0,0,0",
                        "popup,\"Details\",100,100,500,400,0,0,1"};
    Random r;
    std::vector<std::unique_ptr<helpproject::TBrindlewovenTopic>> topics;
    for (int i = 0; i < kTopics; ++i) {
        const int number = 10 * (i + 1);
        std::string title = "Topic " + std::to_string(number) + " " + Sentence(r, 3);
        auto t = std::make_unique<helpproject::TBrindlewovenTopic>(number, title);
        if (i % 4 != 0)
            t->TopicID = "IDH_" + std::to_string(number);
        t->KKeywords = Sentence(r, 2) + ";" + Sentence(r, 1) + ";" + Sentence(r, 2);
        t->AKeywords = i % 3 == 0 ? "alias_" + std::to_string(number) : "";
        t->BKeywords = i % 5 == 0 ? Sentence(r, 1) : "";
        t->BuildTag = i % 7 == 0 ? "WEB" : "";
        t->BrowseSequence = "main:" + std::to_string(1000 + i);
        t->Status = i % 2 ? "Writing" : "Done";
        t->Window = i % 11 == 0 ? "popup" : "";
        t->EntryMacro = i % 13 == 0 ? "SetContents(\"\", 10)" : "";
        t->Bookmark = i % 17 == 0;
        t->SetText(TopicText(r, number, title));
        project->InsertTopic(std::move(t));
        if (i % 50 == 0)
            project->ContentsLines.push_back(std::to_string(1 + (i / 50) % 3) + " " +
                                             Sentence(r, 2) + "=IDH_" + std::to_string(number));
    }
    return project;
}

TTextStyleList Styles() {
    TTextStyleList styles;
    helpproject::TTextStyleMacro code;
    code.Font.Name = "Courier New";
    code.Font.Pitch = 2;
    code.LeftIndent = 360;
    code.TabCount = 3;
    code.Tabs[0] = 720;
    code.Tabs[1] = 1440;
    code.Tabs[2] = 2160;
    styles.Add("Code", code);
    helpproject::TTextStyleMacro note;
    note.Font.Italic = true;
    note.Font.Color = 0x008000;
    styles.Add("Note", note);
    return styles;
}

// The generated project and its file, made once per process.
struct Fixture {
    std::unique_ptr<TBrindlewovenProject> project;
    TTextStyleList styles;
    std::filesystem::path file;
    bool keep = false;
    std::uintmax_t bytes = 0;

    Fixture() : project(Generate()), styles(Styles()) {
        if (const char* env = std::getenv("BW_PROJECTFILE_BENCH_FILE"); env && *env) {
            file = env;
            keep = true;
        } else {
            file = std::filesystem::temp_directory_path() /
                   ("projectfile_bench_" + std::to_string(::getpid()) + ".bwv");
        }
        project->SaveToFile(file.string(), &styles);
        bytes = std::filesystem::file_size(file);
        std::printf("generated project: %d topics, %.1f MB in %s\n", kTopics, bytes / 1e6,
                    file.c_str());
    }
    ~Fixture() {
        std::error_code ec;
        if (!keep)
            std::filesystem::remove(file, ec);
        std::filesystem::remove(SaveTarget(), ec);
    }
    std::filesystem::path SaveTarget() const {
        std::filesystem::path target = file;
        target += ".saved";
        return target;
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_Load(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        TTextStyleList styles;
        auto project = TBrindlewovenProject::Load(f.file.string(), &styles);
        benchmark::DoNotOptimize(project);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes));
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadFromBytes(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string bytes = platform::ReadFileBytes(f.file);
    for (auto _ : state) {
        TTextStyleList styles;
        TBrindlewovenProject project;
        project.LoadFromBytes(bytes, f.file.string(), &styles);
        benchmark::DoNotOptimize(project);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes));
}
BENCHMARK(BM_LoadFromBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveToBytes(benchmark::State& state) {
    Fixture& f = Shared();
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string bytes = f.project->SaveToBytes(&f.styles);
        size = bytes.size();
        benchmark::DoNotOptimize(size);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_SaveToBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// Includes the temporary file, fsync and rename of a safe save.
void BM_SaveToFile(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string target = f.SaveTarget().string();
    for (auto _ : state)
        f.project->SaveToFile(target, &f.styles);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes));
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond)->UseRealTime();

int WriteProject(const char* path) {
    try {
        auto project = Generate();
        TTextStyleList styles = Styles();
        project->SaveToFile(path, &styles);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

// Best of `runs` loads of the file, and best of `runs` saves of the loaded
// project to FILE.saved (removed afterwards).
int TimeFile(const char* path, int runs) {
    using Clock = std::chrono::steady_clock;
    try {
        double bestLoad = 1e9;
        double bestSave = 1e9;
        std::unique_ptr<TBrindlewovenProject> project;
        TTextStyleList styles;
        for (int i = 0; i < runs; ++i) {
            const auto start = Clock::now();
            project = TBrindlewovenProject::Load(path, &styles);
            bestLoad =
                std::min(bestLoad, std::chrono::duration<double>(Clock::now() - start).count());
        }
        const std::string target = std::string(path) + ".saved";
        for (int i = 0; i < runs; ++i) {
            const auto start = Clock::now();
            project->SaveToFile(target, &styles);
            bestSave =
                std::min(bestSave, std::chrono::duration<double>(Clock::now() - start).count());
        }
        const std::uintmax_t bytes = std::filesystem::file_size(target);
        std::filesystem::remove(target);
        std::printf("%.6f %.6f %ju\n", bestLoad, bestSave, bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--write") == 0)
        return WriteProject(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "--time") == 0)
        return TimeFile(argv[2], argc >= 4 ? std::max(1, std::atoi(argv[3])) : 5);
    benchmark::Initialize(&argc, argv);
    Shared();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
