// RtfToHtml over a generated set of 2,000 topics (about 11 MB of RTF), in
// both forms, with the caches emptied before each pass so every topic is
// really converted.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/writers/rtftohtml.h"

namespace {

using helpproject::TBrindlewovenTopic;
using helpproject::TStringList;

struct TopicSet {
    std::vector<std::unique_ptr<TBrindlewovenTopic>> topics;
    size_t bytes = 0;
};

const TopicSet& Topics() {
    static const TopicSet set = [] {
        TopicSet s;
        const std::string header =
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
            "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green128\\blue0;}";
        for (int t = 0; t < 2000; ++t) {
            TStringList lines = {header, "\\pard\\f0\\fs28\\b Topic " + std::to_string(t) +
                                             "\\b0\\fs20\\par"};
            for (int p = 0; p < 60; ++p) {
                std::string line = p % 7 == 3 ? "\\pard\\li360\\fi-360\\tx360 " : "\\pard ";
                line += "Some text of paragraph " + std::to_string(p) +
                        " with {\\b bold}, {\\i italic} and \\cf2\\uldb a jump\\ulnone\\cf0"
                        "\\{linkID=" +
                        std::to_string(t * 10 + p) +
                        "\\} plus a tab\\tab and  two blanks & <angles>.\\par";
                lines.push_back(line);
            }
            lines.push_back("}");
            auto topic = std::make_unique<TBrindlewovenTopic>(t + 1, "t");
            for (const auto& l : lines)
                s.bytes += l.size() + 2;
            topic->SetText(lines);
            s.topics.push_back(std::move(topic));
        }
        return s;
    }();
    return set;
}

void Run(benchmark::State& state, bool paragraphForm) {
    const TopicSet& set = Topics();
    helpproject::TBrindlewovenProject project;
    for (auto _ : state) {
        // One page per topic, as the writers do.
        for (const auto& topic : set.topics) {
            TStringList page;
            topic->ClearHtmlCaches();
            helpproject::RtfToHtml(project, *topic, page, paragraphForm);
            benchmark::DoNotOptimize(page.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(set.bytes));
}

void BM_RtfToHtmlParagraphs(benchmark::State& state) {
    Run(state, true);
}
void BM_RtfToHtmlLineBreaks(benchmark::State& state) {
    Run(state, false);
}

BENCHMARK(BM_RtfToHtmlParagraphs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfToHtmlLineBreaks)->Unit(benchmark::kMillisecond);

} // namespace
