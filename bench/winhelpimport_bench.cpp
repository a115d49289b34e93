// Import of a generated 5,000-topic WinHelp set (.hpj, .rtf, .cnt written by
// this program's own writer), reporting time per import and MB/s of the
// topic file read; and the import and make of a 400-topic project written
// the way Word-era tools wrote them, reporting time and the process's peak
// memory (run it alone, --benchmark_filter=WordProject, for a peak of its
// own; TMPDIR=/dev/shm keeps the disk's flushes of the pages out of the
// time).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/import/winhelpimport.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "helpproject/writers/webhelpwriter.h"
#include "helpproject/writers/winhelpwriter.h"

using namespace helpproject;

namespace {

const char* kWords[] = {"quill", "ink",    "vellum", "binding", "folio", "margin", "gilt",
                        "spine", "ribbon", "clasp",  "leaf",    "press", "serif",  "codex"};

std::string Sentence(std::mt19937& rng, int words) {
    std::string text;
    for (int i = 0; i < words; ++i) {
        if (i)
            text += ' ';
        text += kWords[rng() % (sizeof kWords / sizeof *kWords)];
    }
    return text;
}

// Topics with every footnote field, links, a target, a button and a
// non-scrolling region: about 1 KB of text each.
std::unique_ptr<TBrindlewovenProject> MakeProject(int count, const std::string& folder) {
    std::mt19937 rng(11);
    auto p = std::make_unique<TBrindlewovenProject>();
    p->DeleteTopic(10);
    p->FileName = folder + "/bench.bwv";
    p->Compiler = helpproject::THelpCompiler::WinHelp32;
    p->Title = "Bench";
    for (int i = 1; i <= count; ++i) {
        auto t = std::make_unique<TBrindlewovenTopic>(i * 10, Sentence(rng, 3));
        t->TopicID = "topic_" + std::to_string(i);
        t->KKeywords = Sentence(rng, 2);
        t->AKeywords = "a" + std::to_string(i);
        t->BrowseSequence = "main:" + std::to_string(i);
        t->BuildTag = i % 2 ? "odd" : "even";
        const int target = static_cast<int>(rng() % static_cast<unsigned>(count) + 1) * 10;
        t->Text = {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                   "{\\f1\\froman Times New Roman;}}",
                   "{\\colortbl ;\\red0\\green128\\blue0;}",
                   "\\pard\\f1\\fs28\\b " + t->Title + "\\b0 \\{keepn\\}\\par"};
        for (int k = 0; k < 6; ++k)
            t->Text.push_back("\\pard\\f0\\fs20 " + Sentence(rng, 12) + " {\\strike " +
                              Sentence(rng, 2) + "}\\{linkID=" + std::to_string(target) + "\\} " +
                              Sentence(rng, 6) + " \\cf1 green\\cf0\\par");
        t->Text.push_back("\\pard\\{target=t" + std::to_string(i) + "\\} \\{button Go," +
                          std::to_string(target) + "\\} " + Sentence(rng, 4) + "\\par }");
        p->InsertTopic(std::move(t));
        p->ContentsLines.push_back("2 " + std::to_string(i) + "=topic_" + std::to_string(i));
    }
    return p;
}

std::string Folder() {
    static std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bwimportbench.XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern;
    }();
    return folder;
}

void BM_ImportWinHelpProject(benchmark::State& state) {
    auto source = MakeProject(static_cast<int>(state.range(0)), Folder());
    const TWinHelpSourceFiles files{Folder() + "/bench.hpj", Folder() + "/bench.rtf", {}};
    WriteWinHelpSources(*source, files, false);
    const auto rtfBytes = std::filesystem::file_size(files.RtfFileName);
    for (auto _ : state) {
        TBrindlewovenProject project;
        project.DeleteTopic(10);
        const TWinHelpImportResult result = ImportWinHelpProject(project, files.HpjFileName);
        if (result.TopicsImported != state.range(0))
            state.SkipWithError("topics lost");
        benchmark::DoNotOptimize(project.Topics().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(rtfBytes));
}
BENCHMARK(BM_ImportWinHelpProject)->Arg(5000)->Unit(benchmark::kMillisecond);

// ---- a project as Word-era tools wrote it ------------------------------------------

constexpr int kTopicsPerFile = 100;

std::string WordTopicId(int i) {
    return "IDH_TOPIC_" + std::to_string(i);
}

std::string WordFootnote(char mark, const std::string& text) {
    return std::string("{\\cs16\\super ") + mark + "{\\footnote \\pard\\plain \\s15\\fs20 " +
           "{\\cs16\\super " + mark + "} " + text + "}}";
}

// One page as Word 97 writes it: footnotes with typographic quotes, a
// keep-with-next heading, jumps and popups formatted for the paragraph or
// with a word before the text, hidden targets in groups, in runs, split in
// parts and hidden by a character style, a heading further down kept with
// its next paragraph, and on every tenth page a nested table.
std::string WordPage(std::mt19937& rng, int i, int count) {
    auto other = [&] { return static_cast<int>(rng() % static_cast<unsigned>(count)) + 1; };
    std::string page = "\\pard\\plain \\s1\\sb240\\sa60\\keepn\\b\\f1\\fs28 ";
    page += WordFootnote('#', WordTopicId(i));
    page += WordFootnote('$', "Topic\\rquote s " + Sentence(rng, 3));
    page += WordFootnote('K', Sentence(rng, 2) + " ; " + Sentence(rng, 2) + " ");
    page += WordFootnote('+', "main:" + std::to_string(i));
    if (i % 5 == 0)
        page += WordFootnote(
            '!', "CBB(\\ldblquote b\\rdblquote ,\\ldblquote JI(`a.hlp\\rquote ,`x\\rquote )"
                 "\\rdblquote )");
    page += " " + Sentence(rng, 3) + "\r\n\\par ";
    for (int k = 0; k < 10; ++k) {
        if (k == 5)
            page += "\\pard\\plain \\s3\\keepn\\b\\f1 " + Sentence(rng, 2) + "\r\n\\par ";
        page += "\\pard\\plain \\fs20 " + Sentence(rng, 12) + " \\ldblquote " + Sentence(rng, 2) +
                "\\rdblquote  \\endash  \\uldb " + Sentence(rng, 2) + "\\uldb0 {\\v " +
                WordTopicId(other()) + "} " + Sentence(rng, 6) + " {\\ul " + Sentence(rng, 1) +
                "}{\\v " + WordTopicId(other()) + "}.\r\n\\par ";
        // Hidden text as a run of its own, split where revisions split it,
        // and hidden by a character style.
        page += "\\pard\\plain \\fs20 \\uldb " + Sentence(rng, 2) + "\\uldb0 \\v " +
                WordTopicId(other()) + "\\v0  or {\\strike " + Sentence(rng, 1) +
                "}{\\v IDH_}{\\v TOPIC_}{\\v " + std::to_string(other()) + "} or \\ul " +
                Sentence(rng, 1) + "\\ulnone {\\cs17 " + WordTopicId(other()) + "}.\r\n\\par ";
        page += "\\pard\\plain \\s4\\fi-360\\li360\\uldb\\f1\\fs20 {" + Sentence(rng, 2) +
                "}{\\v\\ulnone " +
                (k == 3 ? "IDH_ALIAS_" + std::to_string(other() / 10 * 10 + 10)
                        : WordTopicId(other())) +
                "}\r\n\\par ";
    }
    if (i % 10 == 0)
        page +=
            "\\trowd \\trgaph108\\trleft-108 \\cellx3000\\cellx8000\\pard\\plain \\intbl "
            "{Cell\\cell }\\pard\\plain \\intbl\\itap2 {A\\nestcell }{B\\nestcell }\r\n"
            "\\pard\\plain \\intbl\\itap2 {{\\*\\nesttableprops\\trowd \\trgaph108 \\cellx1500"
            "\\cellx4500\\nestrow}{\\nonesttables \\par }}\r\n\\pard\\plain \\intbl\\itap1 {\\cell "
            "}"
            "\\pard\\plain \\intbl {\\trowd \\trgaph108\\trleft-108 \\cellx3000\\cellx8000\\row }"
            "\r\n";
    return page;
}

// The .hpj, its .hm and the topic files of `count` topics in `folder`.
void WriteWordProject(int count, const std::string& folder) {
    std::mt19937 rng(29);
    std::ofstream hm(folder + "/word.hm", std::ios::binary);
    hm << "// MAKEHELP.BAT generated Help Map file.\r\n";
    for (int i = 2; i <= count; i += 2)
        hm << WordTopicId(i) << "                   0x" << std::hex << (0x10000 + i) << std::dec
           << "\r\n";
    std::ofstream hpj(folder + "/word.hpj", std::ios::binary);
    hpj << "; This file is maintained by HCW. Do not modify this file directly.\r\n\r\n"
           "[OPTIONS]\r\nHCW=0\r\nCOMPRESS=12 Hall Zeck\r\nCONTENTS="
        << WordTopicId(1) << "\r\nTITLE=Word Help\r\nROOT=.\r\nBMROOT=.\r\n\r\n[FILES]\r\n";
    for (int file = 0; file * kTopicsPerFile < count; ++file)
        hpj << "topics" << file << ".rtf\r\n";
    hpj << "\r\n[ALIAS]\r\n";
    for (int i = 10; i <= count; i += 10)
        hpj << "IDH_ALIAS_" << i << "=" << WordTopicId(i) << "\r\n";
    hpj << "\r\n[MAP]\r\n#include <word.hm>\r\n";
    for (int file = 0; file * kTopicsPerFile < count; ++file) {
        std::ofstream rtf(folder + "/topics" + std::to_string(file) + ".rtf", std::ios::binary);
        rtf << "{\\rtf1\\ansi\\ansicpg1252\\uc1 \\deff0\\deflang1033{\\fonttbl{\\f0\\froman"
               "\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl;\\red0"
               "\\green0\\blue0;}{\\stylesheet{\\fs20 \\snext0 Normal;}{\\s4\\fi-360\\li360\\uldb"
               "\\f1\\fs20 \\snext4 Jump;}{\\*\\cs17 \\additive \\v\\cf1 Hidden;}}\r\n";
        const int last = std::min(count, (file + 1) * kTopicsPerFile);
        for (int i = file * kTopicsPerFile + 1; i <= last; ++i)
            rtf << WordPage(rng, i, count) << (i < last ? "\\page " : "") << "\r\n";
        rtf << "}\r\n";
    }
}

double PeakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

void BM_ImportAndMakeWordProject(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string folder = Folder() + "/word";
    std::filesystem::create_directories(folder + "/chm");
    std::filesystem::create_directories(folder + "/web");
    WriteWordProject(count, folder);
    for (auto _ : state) {
        TBrindlewovenProject project;
        project.DeleteTopic(10);
        const TWinHelpImportResult result = ImportWinHelpProject(project, folder + "/word.hpj");
        if (result.TopicsImported != count)
            state.SkipWithError("topics lost");
        THtmlHelpWriteOptions options;
        options.HhpFileName = folder + "/chm/word.hhp";
        WriteHtmlHelpProject(project, false, false, options);
        project.WebOutputFile = folder + "/web/index.htm";
        ExportWebHelp(project);
        benchmark::DoNotOptimize(project.Topics().data());
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_ImportAndMakeWordProject)->Arg(400)->Unit(benchmark::kMillisecond);

} // namespace
