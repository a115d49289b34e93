#pragma once
// The string lists of the spell checker: learned words, always-ignore words,
// suggestions. A sorted list keeps its words in the order users read them
// (accented letters beside their base letter) and finds them without regard
// to case; an unsorted list keeps insertion order.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace speller {

class TWordList {
public:
    // `sorted`: kept in order and searched by halving; duplicates (ignoring
    // case) are never added. Unsorted lists search linearly, also ignoring case.
    explicit TWordList(bool sorted = true) : sorted_(sorted) {}

    // Adds the word unless an equal one (ignoring case) is present; true when added.
    bool Add(std::string_view word);
    // Index of the word (ignoring case), or -1.
    int IndexOf(std::string_view word) const;
    bool Contains(std::string_view word) const;
    // Removes the word when present; true when it was.
    bool Remove(std::string_view word);
    void Delete(std::size_t index);
    void Clear() {
        words_.clear();
        folded_.clear();
    }

    std::size_t Count() const { return words_.size(); }
    bool Empty() const { return words_.empty(); }
    const std::string& operator[](std::size_t index) const { return words_[index]; }
    const std::vector<std::string>& Words() const { return words_; }
    bool Sorted() const { return sorted_; }

private:
    // Sorted: the insertion point and whether the word is there.
    std::pair<std::size_t, bool> Locate(std::string_view word) const;

    bool sorted_;
    std::vector<std::string> words_;
    // The lower-case form of every word: most words looked up are in no
    // list, and a hash says so without comparing.
    std::unordered_multiset<std::string> folded_;
};

} // namespace speller
