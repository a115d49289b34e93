#pragma once
// A language dictionary: a read-only binary file holding a word list as
// letter tries, one or more blocks of them. Lookups compare bytes exactly, so
// case matters; callers fold case themselves.
//
// File layout (little-endian):
//   0     278  header, never read
//   278   1    S, number of blocks
//   279   1    A, alphabet length
//   280   A    alphabet (letters tried by insertion and replacement)
//   then S blocks: N (u32 node count), L (u32 child-list bytes), N node words,
//   L bytes of child lists, R (u8 root letters), R letters, R root node words.
// Node word: bits 24-31 character, 23 end of word, 20-22 child code k,
// 0-19 reference (k=1: node index; k=2..6: list offset of k u16 indices;
// k=7: list offset of a count byte followed by that many u16 indices).
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "speller/wordlist.h"

namespace speller {

// A dictionary file that cannot be used; the message names the file.
class EDictionaryError : public std::runtime_error {
public:
    explicit EDictionaryError(const std::string& message) : std::runtime_error(message) {}
};

// Suggestion methods, as bits of TDictionary::SuggestMethods.
enum TSuggestMethod : uint8_t {
    smCaseChange = 1,
    smTranspose = 2,
    smDeletion = 4,
    smInsertion = 8,
    smReplacement = 16,
    smDistantTranspose = 32,
    smDoubleDeletion = 64,
    smSplit = 128,
    smAll = 255,
};

constexpr std::size_t kDictionaryHeaderSize = 278;
// The walk keeps the remaining-letter count in a byte; longer words are never found.
constexpr std::size_t kMaxDictionaryWordLength = 255;

// One block of a dictionary: a trie whose list entries are 16-bit node indices.
class TSubDictionary {
public:
    // Reads one block from `data` at `pos`, advancing `pos`. Every count,
    // reference and list entry is checked against the block; a damaged block
    // throws std::runtime_error with a short description.
    void Read(std::string_view data, std::size_t& pos);
    bool Lookup(std::string_view word) const;

    std::size_t NodeCount() const { return nodes_.size(); }
    const std::string& RootLetters() const { return rootLetters_; }

private:
    // The child of `node` whose character is `c`, or 0 with `found` false.
    bool Child(uint32_t node, unsigned char c, uint32_t& child) const;
    void CheckNode(uint32_t node, const char* where) const;

    std::vector<uint32_t> nodes_;
    std::vector<uint8_t> lists_;
    std::string rootLetters_;
    std::vector<uint32_t> rootNodes_;
    // Index into rootNodes_ + 1 of the first root letter equal to each byte; 0: none.
    std::array<uint16_t, 256> rootIndex_{};
};

class TDictionary {
public:
    explicit TDictionary(std::filesystem::path fileName);
    ~TDictionary();
    TDictionary(const TDictionary&) = delete;
    TDictionary& operator=(const TDictionary&) = delete;

    // False when the file does not exist (the dictionary stays unloaded).
    // A file that is damaged or cannot be read throws EDictionaryError naming
    // it; the dictionary then stays unloaded.
    bool Load();
    // Reads a dictionary from bytes already in memory (tests, fuzzing).
    void LoadFromBytes(std::string_view bytes);
    void Unload();

    bool IsWord(std::string_view word) const;
    // Appends to `list` every distinct word one edit away from `word` (see
    // the methods above), stopping as soon as the list holds more than
    // SuggestLimit() entries.
    void Suggest(std::string_view word, TWordList& list) const;

    bool Loaded() const { return loaded_; }
    const std::filesystem::path& FileName() const { return fileName_; }
    const std::string& Alphabet() const { return alphabet_; }
    uint8_t SuggestMethods() const { return suggestMethods_; }
    void SetSuggestMethods(uint8_t methods) { suggestMethods_ = methods; }
    int SuggestLimit() const { return suggestLimit_; }
    void SetSuggestLimit(int limit) { suggestLimit_ = limit; }
    std::size_t SubDictionaryCount() const { return subs_.size(); }
    // No block has a first letter: no word can be found (a file of zeros
    // reads so).
    bool HoldsNoWords() const;

private:
    bool loaded_ = false;
    uint8_t suggestMethods_ = smAll;
    int suggestLimit_ = 30;
    std::string alphabet_;
    std::filesystem::path fileName_;
    std::vector<std::unique_ptr<TSubDictionary>> subs_;
};

} // namespace speller
