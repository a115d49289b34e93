// Speed of the RTF engine on a generated set of 2,000 topics (about 11 MB of
// RTF in the program's layout, with the formatting, hidden markup codes,
// bullets, tabs, fields and pictures that real topics hold).
//   rtf_bench                      Google Benchmark runs (MB/s per stage)
//   rtf_bench --dump FILE          writes the set as one RTF document
//   rtf_bench --time FILE [RUNS]   best time of parsing FILE to a document
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtfheader.h"
#include "components/rtf/rtftokenizer.h"
#include "components/rtf/rtfwriter.h"

namespace {

constexpr int kTopics = 2000;

// A small deterministic generator, so every run sees the same bytes.
struct Random {
    std::uint32_t state = 12345;
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

// One topic: its own header lines, then about 5.5 KB of body.
std::string TopicBody(Random& r, int number) {
    std::string t;
    t += "\\viewkind4\\uc1\\pard\\f0\\fs28\\b Topic " + std::to_string(number) +
         " title\\b0\\fs20\\par\r\n";
    while (t.size() < 5300) {
        switch (r.Below(8)) {
        case 0:
            t += "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
                 "\\fi-360\\li360\\tx360 " +
                 Sentence(r, 8) + "\\par\r\n";
            break;
        case 1:
            t += "\\pard\\tx1440\\tx2880 " + Sentence(r, 3) + "\\tab " + Sentence(r, 3) + "\\tab " +
                 Sentence(r, 2) + "\\par\r\n";
            break;
        case 2:
            t += "\\pard See \\cf2\\strike " + Sentence(r, 2) +
                 "\\cf0\\strike0{\\v \\{linkID=" + std::to_string(r.Below(5000)) +
                 "\\}} and \\ul " + Sentence(r, 1) + "\\ulnone{\\v \\{linkID=%" +
                 std::to_string(r.Below(5000)) + "\\}}, " + Sentence(r, 10) + ".\\par\r\n";
            break;
        case 3:
            t += "\\pard\\f2 " + Sentence(r, 6) + " \\{braces\\} \\\\path\\f0\\par\r\n";
            break;
        case 4:
            t += "\\pard\\qc\\highlight3 " + Sentence(r, 5) + "\\highlight0\\par\r\n";
            break;
        case 5:
            t += "\\pard\\sb120\\sa60 Field {\\field{\\*\\fldinst HYPERLINK \"http://example.com/" +
                 std::to_string(r.Below(100)) +
                 "\"}{\\fldrslt link}} and {\\pict\\wmetafile8\\picw10"
                 "\\pich10 0100090000031e0000000000050000000b0200000000050000000c02}.\\par\r\n";
            break;
        default:
            t += "\\pard " + Sentence(r, 14) + ", \\b " + Sentence(r, 2) + "\\b0  \\i " +
                 Sentence(r, 3) + "\\i0  " + Sentence(r, 12) + ".\\par\r\n";
            break;
        }
    }
    return t;
}

const char* const kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern\\fprq1\\fcharset0 Courier New;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green128\\blue0;\\red255\\green255\\blue0;}\r\n";

const std::vector<std::string>& Topics() {
    static const std::vector<std::string> topics = [] {
        std::vector<std::string> v;
        Random r;
        for (int i = 0; i < kTopics; ++i)
            v.push_back(std::string(kHeader) + TopicBody(r, i + 1) + "}\r\n");
        return v;
    }();
    return topics;
}

std::size_t TotalBytes() {
    std::size_t n = 0;
    for (const std::string& t : Topics())
        n += t.size();
    return n;
}

// All topics as one document (bodies separated by page breaks), the input
// that the comparison with outside converters uses.
std::string OneDocument() {
    std::string doc = kHeader;
    Random r;
    for (int i = 0; i < kTopics; ++i) {
        if (i)
            doc += "\\page\r\n";
        doc += TopicBody(r, i + 1);
    }
    doc += "}\r\n";
    return doc;
}

void BM_Tokenize(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t count = 0;
        for (const std::string& t : Topics()) {
            rtf::Lexer lexer(t);
            rtf::Token token;
            while (lexer.Next(token))
                ++count;
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TotalBytes()));
}
BENCHMARK(BM_Tokenize)->Unit(benchmark::kMillisecond);

void BM_ParseToDocument(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::string& t : Topics()) {
            rtf::RtfDocument doc = rtf::RtfDocument::Parse(t);
            benchmark::DoNotOptimize(doc);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TotalBytes()));
}
BENCHMARK(BM_ParseToDocument)->Unit(benchmark::kMillisecond);

void BM_Write(benchmark::State& state) {
    std::vector<rtf::RtfDocument> docs;
    for (const std::string& t : Topics())
        docs.push_back(rtf::RtfDocument::Parse(t));
    std::size_t written = 0;
    for (auto _ : state) {
        written = 0;
        for (const rtf::RtfDocument& d : docs)
            written += rtf::WriteRtf(d).size();
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written));
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);

void BM_MergeAndRemapTables(benchmark::State& state) {
    for (auto _ : state) {
        rtf::TableMerger merger;
        std::size_t out = 0;
        for (const std::string& t : Topics())
            out += rtf::RemapTables(t, merger.Add(rtf::ReadHeader(t))).size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TotalBytes()));
}
BENCHMARK(BM_MergeAndRemapTables)->Unit(benchmark::kMillisecond);

// What the topic generator does: a long topic written line by line, each
// line inserted at the end of the text with its own format, then a format
// change on a stretch of it. The time per line must not grow with the
// topic's length (run at two lengths to compare).
void BM_AppendLinesAtEnd(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    rtf::CharFormat bold;
    bold.bold = true;
    for (auto _ : state) {
        rtf::RtfDocument doc;
        for (std::size_t i = 0; i < lines; ++i) {
            const std::size_t caret = doc.TextLength() - 1;
            doc.InsertText(caret, "procedure Do" + std::to_string(i) + "(A: Integer);\r\n",
                           i % 2 ? bold : rtf::CharFormat{});
            doc.SetCharFormat(caret, 9, bold, rtf::kCharBold);
        }
        benchmark::DoNotOptimize(doc);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines));
}
BENCHMARK(BM_AppendLinesAtEnd)->Arg(4000)->Arg(40000)->Unit(benchmark::kMillisecond);

int DumpSet(const char* path) {
    const std::string doc = OneDocument();
    std::ofstream out(path, std::ios::binary);
    out.write(doc.data(), static_cast<std::streamsize>(doc.size()));
    return out ? 0 : 1;
}

int TimeFile(const char* path, int runs) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    double best = 1e9;
    std::size_t paragraphs = 0;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        rtf::RtfDocument doc = rtf::RtfDocument::Parse(bytes);
        const std::string text = doc.Text(); // as the outside tools print text
        auto end = std::chrono::steady_clock::now();
        paragraphs = doc.LineCount() + text.size() * 0;
        best = std::min(best, std::chrono::duration<double>(end - start).count());
    }
    std::printf("%.6f %zu %zu\n", best, bytes.size(), paragraphs);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--dump") == 0)
        return DumpSet(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "--time") == 0)
        return TimeFile(argv[2], argc >= 4 ? std::atoi(argv[3]) : 5);
    std::printf("generated set: %d topics, %.1f MB\n", kTopics, TotalBytes() / 1e6);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
