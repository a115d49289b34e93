// Dictionary lookups and suggestions over Debian's american-english word list
// (package wamerican), with a dictionary built from the same list.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/codepage.h"
#include "speller/dictionary.h"
#include "speller/vxspeller.h"
// The test builder writes the dictionary (the program itself only reads them).
#include "tests/speller/dicbuilder_support.cpp"

namespace {

struct Fixture {
    std::vector<std::string> words;
    speller::TDictionary dictionary{"american-english.dic"};
    std::vector<std::pair<std::string, std::string>> misspellings; // (misspelt, intended)

    Fixture() {
        words = speller::testing::ReadWordList("/usr/share/dict/american-english");
        dictionary.LoadFromBytes(speller::testing::BuildDictionary(words));
        std::unordered_set<std::string> known(words.begin(), words.end());
        std::mt19937 random(2026);
        const std::string letters = "abcdefghijklmnopqrstuvwxyz";
        while (misspellings.size() < 2000) {
            const std::string& word = words[random() % words.size()];
            if (word.size() < 3)
                continue;
            std::string bad = word;
            std::size_t pos = random() % bad.size();
            switch (random() % 4) {
            case 0:
                bad.insert(pos, 1, letters[random() % 26]);
                break;
            case 1:
                bad.erase(pos, 1);
                break;
            case 2:
                bad[pos] = letters[random() % 26];
                break;
            default:
                if (pos + 1 < bad.size())
                    std::swap(bad[pos], bad[pos + 1]);
                break;
            }
            if (!known.count(bad))
                misspellings.emplace_back(bad, word);
        }
    }
};

Fixture& Data() {
    static Fixture fixture;
    return fixture;
}

// As the engine accepts a word: as written, or in lower case.
bool Accepts(const speller::TDictionary& dictionary, const std::string& word) {
    if (dictionary.IsWord(word))
        return true;
    std::string lower = platform::AnsiLowerCase(word);
    return lower != word && dictionary.IsWord(lower);
}

void BM_CheckAllWords(benchmark::State& state) {
    Fixture& data = Data();
    std::size_t found = 0;
    for (auto _ : state)
        for (const auto& word : data.words)
            found += Accepts(data.dictionary, word);
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * data.words.size()));
}
BENCHMARK(BM_CheckAllWords)->Unit(benchmark::kMillisecond);

void BM_Suggest2000Misspellings(benchmark::State& state) {
    Fixture& data = Data();
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const auto& [bad, intended] : data.misspellings) {
            auto suggestions = speller::QuickSuggestionsFrom({&data.dictionary}, bad);
            for (const auto& s : suggestions)
                if (s == intended) {
                    ++hits;
                    break;
                }
        }
    }
    state.counters["hit_rate"] = static_cast<double>(hits) / data.misspellings.size();
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * data.misspellings.size()));
}
BENCHMARK(BM_Suggest2000Misspellings)->Unit(benchmark::kMillisecond);

void BM_LoadDictionary(benchmark::State& state) {
    static const std::string bytes = speller::testing::BuildDictionary(Data().words);
    for (auto _ : state) {
        speller::TDictionary dictionary("en.dic");
        dictionary.LoadFromBytes(bytes);
        benchmark::DoNotOptimize(dictionary.Loaded());
    }
}
BENCHMARK(BM_LoadDictionary)->Unit(benchmark::kMillisecond);

} // namespace
