// The topic grid's sorted view and link renumbering over a generated
// 10,000-topic project.
//
// Insert/*: putting one retitled topic back into the sorted view of a
// 10,000-topic project sorted by title. "FullResort" is the old way (append,
// then quicksort the whole view comparing freshly lower-cased texts);
// "InPlace" is ours (UpdateSortedView: the key computed once, binary
// insertion; it also pays for finding and removing the old entry). Both runs
// use the same project.
// Build/*: building the view of N topics one insertion at a time ("InPlace"
// inserts the topics into an empty project, so it also keeps the picker
// lists).
// Renumber: RenumberTopicLinks over every line of every topic.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include "helpproject/brindlewovenproject.h"

using namespace helpproject;

namespace {

const char* kWords[] = {"lantern",  "Wick",  "oil",       "Chimney", "burner", "globe",
                        "Mantle",   "flame", "reservoir", "Handle",  "shade",  "brass",
                        "kerosene", "Lamp",  "trimmer",   "Base",    "collar", "vent"};

std::string RandomTitle(std::mt19937& rng) {
    std::string title;
    for (int i = 0; i < 3; ++i) {
        if (i)
            title += ' ';
        title += kWords[rng() % (sizeof kWords / sizeof *kWords)];
    }
    return title;
}

// A project of `count` topics (numbers 10, 20, ...) with linked text.
std::unique_ptr<TBrindlewovenProject> MakeProject(int count) {
    std::mt19937 rng(42);
    auto p = std::make_unique<TBrindlewovenProject>();
    p->DeleteTopic(10);
    for (int i = 1; i <= count; ++i) {
        auto t = std::make_unique<TBrindlewovenTopic>(i * 10, RandomTitle(rng));
        int target = static_cast<int>(rng() % static_cast<unsigned>(count) + 1) * 10;
        t->Text = {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}", "{\\colortbl;\\red0\\green0\\blue0;}",
                   "\\pard\\f0\\fs20 " + t->Title + "\\par",
                   "See \\{linkID=" + std::to_string(target) + "\\} and \\{button Next," +
                       std::to_string(target) + "\\} or \\{linkID=*" + std::to_string(i * 10) +
                       ">main\\}.\\par",
                   "\\{button Help,EF(`f12.hlp')\\} plain text with 5000 in it.\\par }"};
        p->InsertTopic(std::move(t));
    }
    p->ContentsLines.push_back("1 Book");
    for (int i = 1; i <= count; i += 10)
        p->ContentsLines.push_back("2 Topic=Vellumar" + std::to_string(i * 10));
    return p;
}

// The old insertion: append and quicksort the whole view.
void QuickSortView(std::vector<TBrindlewovenTopic*>& v, int left, int right,
                   const TBrindlewovenProject& p) {
    int i;
    do {
        i = left;
        int j = right;
        TBrindlewovenTopic* pivot = v[static_cast<std::size_t>((left + right) / 2)];
        do {
            while (p.CompareTopics(v[static_cast<std::size_t>(i)], pivot) < 0)
                ++i;
            while (p.CompareTopics(v[static_cast<std::size_t>(j)], pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(v[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
            QuickSortView(v, left, j, p);
        left = i;
    } while (i < right);
}

void FullResortInsert(std::vector<TBrindlewovenTopic*>& view, TBrindlewovenTopic* topic,
                      const TBrindlewovenProject& p) {
    view.push_back(topic);
    QuickSortView(view, 0, static_cast<int>(view.size()) - 1, p);
}

// The topic that each iteration retitles: the same sequence for both runs.
TBrindlewovenTopic* RandomTopic(const TBrindlewovenProject& p, std::mt19937& rng) {
    return p.Topics()[rng() % p.Topics().size()].get();
}

void BM_Insert_FullResort(benchmark::State& state) {
    auto p = MakeProject(static_cast<int>(state.range(0)));
    p->SortBy({TTopicColumn::Title});
    std::vector<TBrindlewovenTopic*> view = p->SortedTopics();
    std::mt19937 rng(7);
    for (auto _ : state) {
        state.PauseTiming();
        TBrindlewovenTopic* topic = RandomTopic(*p, rng);
        view.erase(std::find(view.begin(), view.end(), topic));
        topic->Title = RandomTitle(rng);
        state.ResumeTiming();
        FullResortInsert(view, topic, *p);
    }
}

void BM_Insert_InPlace(benchmark::State& state) {
    auto p = MakeProject(static_cast<int>(state.range(0)));
    p->SortBy({TTopicColumn::Title});
    std::mt19937 rng(7);
    for (auto _ : state) {
        state.PauseTiming();
        TBrindlewovenTopic* topic = RandomTopic(*p, rng);
        topic->Title = RandomTitle(rng);
        state.ResumeTiming();
        p->UpdateSortedView(topic);
    }
}

void BM_Build_FullResort(benchmark::State& state) {
    auto p = MakeProject(static_cast<int>(state.range(0)));
    p->SortBy({TTopicColumn::Title});
    for (auto _ : state) {
        std::vector<TBrindlewovenTopic*> view;
        for (const auto& t : p->Topics())
            FullResortInsert(view, t.get(), *p);
        benchmark::DoNotOptimize(view.data());
    }
}

void BM_Build_InPlace(benchmark::State& state) {
    auto source = MakeProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<TBrindlewovenProject>();
        p->ClearTopics();
        p->SortBy({TTopicColumn::Title});
        std::vector<std::unique_ptr<TBrindlewovenTopic>> copies;
        for (const auto& t : source->Topics())
            copies.push_back(TBrindlewovenTopic::CreateCopy(*t));
        state.ResumeTiming();
        for (auto& copy : copies)
            p->InsertTopic(std::move(copy));
        benchmark::DoNotOptimize(p->SortedTopics().data());
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
}

void BM_RenumberTopicLinks(benchmark::State& state) {
    auto p = MakeProject(static_cast<int>(state.range(0)));
    bool forth = true;
    for (auto _ : state) {
        if (forth)
            p->RenumberTopicLinks(5000, 99999990);
        else
            p->RenumberTopicLinks(99999990, 5000);
        forth = !forth;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_Insert_FullResort)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Insert_InPlace)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Build_FullResort)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Build_InPlace)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenumberTopicLinks)->Arg(10000)->Unit(benchmark::kMillisecond);
