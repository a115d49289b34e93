#pragma once
// The one-step edits that suggestions are made of. `offer(candidate, test)`
// is called for every candidate in the order users see them first (case,
// transpose, deletion, insertion, replacement, distant transpose, double
// deletion, split) and returns true to stop; `test` is false only for a
// split, whose two halves `isWord` accepted already.
#include <cstdint>
#include <string>
#include <string_view>

#include "speller/dictionary.h"

namespace speller {

template <class Offer, class IsWord>
bool ForEachOneStepEdit(std::string_view word, std::string_view alphabet, uint8_t methods,
                        Offer&& offer, IsWord&& isWord) {
    const std::size_t len = word.size();
    std::string candidate;
    auto fresh = [&] { candidate.assign(word); };

    if (methods & smCaseChange) {
        for (std::size_t i = 0; i < len; ++i) {
            char c = word[i];
            char changed;
            if (c >= 'a' && c <= 'z')
                changed = static_cast<char>(c - 'a' + 'A');
            else if (c >= 'A' && c <= 'Z')
                changed = static_cast<char>(c - 'A' + 'a');
            else
                continue;
            fresh();
            candidate[i] = changed;
            if (offer(candidate, true))
                return true;
        }
    }
    if (methods & smTranspose) {
        for (std::size_t i = 0; i + 1 < len; ++i) {
            fresh();
            std::swap(candidate[i], candidate[i + 1]);
            if (offer(candidate, true))
                return true;
        }
    }
    if (methods & smDeletion) {
        for (std::size_t i = 0; i < len; ++i) {
            fresh();
            candidate.erase(i, 1);
            if (offer(candidate, true))
                return true;
        }
    }
    if (methods & smInsertion) {
        // Never in front of the first letter: a misspelt start is rare and
        // costly to search.
        for (std::size_t i = 1; i <= len; ++i)
            for (char letter : alphabet) {
                fresh();
                candidate.insert(i, 1, letter);
                if (offer(candidate, true))
                    return true;
            }
    }
    if (methods & smReplacement) {
        for (std::size_t i = 0; i < len; ++i)
            for (char letter : alphabet) {
                fresh();
                candidate[i] = letter;
                if (offer(candidate, true))
                    return true;
            }
    }
    if ((methods & smDistantTranspose) && len >= 3) {
        for (std::size_t i = 0; i + 2 < len; ++i) {
            fresh();
            std::swap(candidate[i], candidate[i + 2]);
            if (offer(candidate, true))
                return true;
        }
    }
    if ((methods & smDoubleDeletion) && len >= 5) {
        for (std::size_t i = 0; i < len; ++i)
            for (std::size_t j = 0; j + 1 < len; ++j) {
                fresh();
                candidate.erase(i, 1);
                candidate.erase(j, 1);
                if (offer(candidate, true))
                    return true;
            }
    }
    if ((methods & smSplit) && len >= 4) {
        for (std::size_t k = 2; k + 2 <= len; ++k) {
            std::string_view first = word.substr(0, k);
            std::string_view second = word.substr(k);
            if (isWord(first) && isWord(second)) {
                candidate.assign(first);
                candidate += ' ';
                candidate += second;
                if (offer(candidate, false))
                    return true;
            }
        }
    }
    return false;
}

} // namespace speller
