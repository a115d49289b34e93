#include "speller/dictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unordered_set>

#include "tests/speller/dicbuilder_support.h"
#include "tests/speller/speller_support.h"

namespace speller {
namespace {

using testing::BuildDictionary;
using testing::ReadBytes;

const std::string kHandDic = BW_TEST_DATA "/speller/hand.dic";
const std::string kHandHex = BW_TEST_DATA "/speller/hand.hex";

TEST(HandDictionary, FileIsItsHexSource) {
    std::string bytes = ReadBytes(kHandDic);
    EXPECT_EQ(bytes.size(), 421u);
    EXPECT_EQ(bytes, testing::HexSourceBytes(ReadBytes(kHandHex)));
}

TEST(HandDictionary, FindsExactlyItsWords) {
    TDictionary dictionary(kHandDic);
    ASSERT_TRUE(dictionary.Load());
    EXPECT_EQ(dictionary.SubDictionaryCount(), 2u);
    EXPECT_EQ(dictionary.Alphabet(), "etaoinhdbcuxyz");
    for (const char* word : {"a", "an", "and", "ant", "at", "be", "bed", "ca", "ce", "ci", "co",
                             "cu", "cy", "ch", "ax", "axe", "zo"})
        EXPECT_TRUE(dictionary.IsWord(word)) << word;
    // Not words: prefixes without the end flag, extensions past a leaf, an
    // empty count-7 list ("cox"), other case, letters no block starts with.
    for (const char* word : {"", "b", "c", "z", "ann", "ante", "bd", "cox", "cat", "bedd", "axes",
                             "zoo", "A", "An", "BED", "x", "ab", "nd"})
        EXPECT_FALSE(dictionary.IsWord(word)) << word;
}

TEST(HandDictionary, LoadUnloadAndMissingFile) {
    TDictionary missing("/nonexistent/folder/none.dic");
    EXPECT_FALSE(missing.Load());
    EXPECT_FALSE(missing.Loaded());
    EXPECT_FALSE(missing.IsWord("a"));

    TDictionary dictionary(kHandDic);
    EXPECT_FALSE(dictionary.IsWord("and")); // nothing read yet
    ASSERT_TRUE(dictionary.Load());
    EXPECT_TRUE(dictionary.Load()); // already loaded
    dictionary.Unload();
    EXPECT_FALSE(dictionary.Loaded());
    EXPECT_FALSE(dictionary.IsWord("and"));
    ASSERT_TRUE(dictionary.Load());
    EXPECT_TRUE(dictionary.IsWord("and"));
}

// A single node 'a' (end) whose only child is itself: every run of a's is a
// word, up to the longest word the walk accepts.
TEST(DictionaryLookup, WordsBeyond255LettersAreNotFound) {
    std::string bytes(278, '\0');
    bytes += std::string("\x01\x01"
                         "a",
                         3);
    bytes += std::string("\x01\0\0\0"
                         "\0\0\0\0",
                         8);                     // N=1, L=0
    bytes += std::string("\x00\x00\x90\x61", 4); // 'a' end, k=1 -> node 0
    bytes += std::string("\x01"
                         "a"
                         "\x00\x00\x90\x61",
                         6);
    TDictionary dictionary("loop.dic");
    dictionary.LoadFromBytes(bytes);
    EXPECT_TRUE(dictionary.IsWord(std::string(1, 'a')));
    EXPECT_TRUE(dictionary.IsWord(std::string(255, 'a')));
    EXPECT_FALSE(dictionary.IsWord(std::string(256, 'a')));
    EXPECT_FALSE(dictionary.IsWord(std::string(257, 'a')));
    EXPECT_FALSE(dictionary.IsWord(std::string(511, 'a')));
}

struct SuggestCase {
    uint8_t methods;
    const char* word;
    std::vector<std::string> expected;
};

class HandSuggest : public ::testing::TestWithParam<SuggestCase> {};

TEST_P(HandSuggest, OneMethod) {
    TDictionary dictionary(kHandDic);
    ASSERT_TRUE(dictionary.Load());
    dictionary.SetSuggestMethods(GetParam().methods);
    TWordList list;
    dictionary.Suggest(GetParam().word, list);
    EXPECT_EQ(list.Words(), GetParam().expected) << GetParam().word;
}

INSTANTIATE_TEST_SUITE_P(
    Methods, HandSuggest,
    ::testing::Values(
        SuggestCase{smCaseChange, "Bed", {"bed"}}, SuggestCase{smCaseChange, "b3d", {}},
        SuggestCase{smTranspose, "nad", {"and"}}, SuggestCase{smDeletion, "bedx", {"bed"}},
        SuggestCase{smInsertion, "ad", {"and"}},
        // never in front of the first letter
        SuggestCase{smInsertion, "nd", {}}, SuggestCase{smReplacement, "bad", {"bed"}},
        // the unchanged word is a candidate too
        SuggestCase{smReplacement, "bed", {"bed"}}, SuggestCase{smDistantTranspose, "tna", {"ant"}},
        SuggestCase{smDistantTranspose, "ta", {}}, SuggestCase{smDoubleDeletion, "bxedx", {"bed"}},
        // four letters: double deletion does not run ("be" would come of it)
        SuggestCase{smDoubleDeletion, "abed", {}}, SuggestCase{smSplit, "anbe", {"an be"}},
        SuggestCase{smSplit, "abe", {}},
        SuggestCase{255, "an", {"a", "an", "and", "ant", "at", "ax"}}));

TEST(DictionarySuggest, NoDuplicatesAcrossDictionariesAndCase) {
    TDictionary first(kHandDic), second(kHandDic);
    ASSERT_TRUE(first.Load());
    ASSERT_TRUE(second.Load());
    TWordList list;
    list.Add("AND"); // already there in another case
    first.Suggest("an", list);
    second.Suggest("an", list);
    EXPECT_EQ(list.Words(), (std::vector<std::string>{"a", "an", "AND", "ant", "at", "ax"}));
}

class WamericanDictionary : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        words_ = new std::vector<std::string>(testing::ReadWordList(testing::kWordListPath));
        bytes_ = new std::string(BuildDictionary(*words_));
    }
    static void TearDownTestSuite() {
        delete words_;
        delete bytes_;
    }
    static std::vector<std::string>* words_;
    static std::string* bytes_;
};
std::vector<std::string>* WamericanDictionary::words_ = nullptr;
std::string* WamericanDictionary::bytes_ = nullptr;

TEST_F(WamericanDictionary, EveryWordFoundNoMisspellingFound) {
    ASSERT_GT(words_->size(), 90000u);
    TDictionary dictionary("en.dic");
    dictionary.LoadFromBytes(*bytes_);
    for (const auto& word : *words_)
        ASSERT_TRUE(dictionary.IsWord(word)) << word;

    std::unordered_set<std::string> known(words_->begin(), words_->end());
    std::mt19937 random(11);
    int tested = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string word = (*words_)[random() % words_->size()];
        std::size_t pos = random() % word.size();
        switch (random() % 3) {
        case 0:
            word.insert(pos, 1, static_cast<char>('a' + random() % 26));
            break;
        case 1:
            word.erase(pos, 1);
            break;
        default:
            word[pos] = static_cast<char>('a' + random() % 26);
            break;
        }
        if (known.count(word))
            continue;
        ++tested;
        ASSERT_FALSE(dictionary.IsWord(word)) << word;
    }
    EXPECT_GT(tested, 15000);
}

TEST_F(WamericanDictionary, LimitStopsAfterOneMore) {
    TDictionary dictionary("en.dic");
    dictionary.LoadFromBytes(*bytes_);
    TWordList list;
    dictionary.Suggest("cat", list);
    EXPECT_EQ(list.Count(), 31u);
    dictionary.SetSuggestLimit(3);
    TWordList small;
    dictionary.Suggest("cat", small);
    EXPECT_EQ(small.Count(), 4u);
}

// Small blocks: many blocks, first letters repeated across blocks, every
// node with children in a counted list.
TEST_F(WamericanDictionary, ManyBlocksAndCountedLists) {
    std::vector<std::string> some;
    for (std::size_t i = 0; i < words_->size(); i += 7)
        some.push_back((*words_)[i]);
    testing::DicBuildOptions options;
    options.maxNodes = 1500;
    options.forceK7 = true;
    std::string bytes = BuildDictionary(some, options);
    TDictionary dictionary("small.dic");
    dictionary.LoadFromBytes(bytes);
    EXPECT_GT(dictionary.SubDictionaryCount(), 20u);
    for (const auto& word : some)
        ASSERT_TRUE(dictionary.IsWord(word)) << word;
    EXPECT_FALSE(dictionary.IsWord("zzzzq"));
}

// --- damaged files ----------------------------------------------------------

void ExpectDamaged(const std::string& bytes, const char* what) {
    TDictionary dictionary("/dicts/broken.dic");
    try {
        dictionary.LoadFromBytes(bytes);
        ADD_FAILURE() << "accepted: " << what;
    } catch (const EDictionaryError& e) {
        EXPECT_NE(std::string(e.what()).find("broken.dic"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(dictionary.Loaded()) << what;
    EXPECT_FALSE(dictionary.IsWord("and")) << what;
}

void PutU32(std::string& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

TEST(DamagedDictionary, EveryTruncationRefused) {
    std::string bytes = ReadBytes(kHandDic);
    for (std::size_t size = 0; size < bytes.size(); ++size)
        ExpectDamaged(bytes.substr(0, size), "truncated");
}

TEST(DamagedDictionary, CountsAndReferencesChecked) {
    const std::string good = ReadBytes(kHandDic);
    const std::size_t block1 = 278 + 2 + 14; // N of block 1
    const std::size_t nodes1 = block1 + 8;
    const std::size_t lists1 = nodes1 + 12 * 4;
    const std::size_t roots1 = lists1 + 24 + 1 + 3;
    struct Corruption {
        const char* what;
        std::size_t at;
        uint32_t value;
        bool byte;
    };
    const Corruption corruptions[] = {
        {"huge node count", block1, 0xFFFFFFFFu, false},
        {"node count past the file", block1, 1000, false},
        {"huge list length", block1 + 4, 0xFFFFFFF0u, false},
        {"k=1 reference past the nodes", nodes1 + 4 * 4, 0x6590000Cu, false},
        {"k=2 list past the lists", nodes1, 0x6EA00016u, false},
        {"k=7 list start past the lists", nodes1 + 8 * 4, 0x6FF00018u, false},
        {"k=7 count past the lists", lists1 + 23, 5, true},
        {"list entry past the nodes", lists1, 0x00000C00u, false},
        {"root reference past the nodes", roots1 + 4, 0x62100040u, false},
        {"root list past the lists", roots1 + 8, 0x63700020u, false},
        {"more blocks than the file holds", 278, 3, true},
        {"alphabet past the file", 279, 255, true},
    };
    for (const auto& c : corruptions) {
        std::string bytes = good;
        if (c.byte)
            bytes[c.at] = static_cast<char>(c.value);
        else
            PutU32(bytes, c.at, c.value);
        ExpectDamaged(bytes, c.what);
    }
}

TEST(DamagedDictionary, LoadReportsTheFileByName) {
    testing::TempDir dir;
    std::string bytes = ReadBytes(kHandDic);
    testing::WriteBytes(dir / "cut.dic", bytes.substr(0, 300));
    TDictionary dictionary(dir / "cut.dic");
    try {
        dictionary.Load();
        ADD_FAILURE() << "accepted";
    } catch (const EDictionaryError& e) {
        EXPECT_NE(std::string(e.what()).find("cut.dic"), std::string::npos);
    }
    EXPECT_FALSE(dictionary.Loaded());
}

} // namespace
} // namespace speller
