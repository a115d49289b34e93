#include "speller/wordlist.h"

#include <algorithm>

#include "platform/codepage.h"

namespace speller {

std::pair<std::size_t, bool> TWordList::Locate(std::string_view word) const {
    auto it = std::lower_bound(words_.begin(), words_.end(), word,
                               [](const std::string& a, std::string_view b) {
                                   return platform::AnsiCompareTextLinguistic(a, b) < 0;
                               });
    bool found = it != words_.end() && platform::AnsiCompareTextLinguistic(*it, word) == 0;
    return {static_cast<std::size_t>(it - words_.begin()), found};
}

bool TWordList::Add(std::string_view word) {
    if (sorted_) {
        auto [pos, found] = Locate(word);
        if (found)
            return false;
        words_.insert(words_.begin() + static_cast<std::ptrdiff_t>(pos), std::string(word));
    } else {
        if (IndexOf(word) >= 0)
            return false;
        words_.emplace_back(word);
    }
    folded_.insert(platform::AnsiLowerCase(word));
    return true;
}

bool TWordList::Contains(std::string_view word) const {
    // Words equal without regard to case have equal lower-case forms.
    if (!folded_.count(platform::AnsiLowerCase(word)))
        return false;
    return IndexOf(word) >= 0;
}

int TWordList::IndexOf(std::string_view word) const {
    if (sorted_) {
        auto [pos, found] = Locate(word);
        return found ? static_cast<int>(pos) : -1;
    }
    for (std::size_t i = 0; i < words_.size(); ++i)
        if (platform::AnsiSameText(words_[i], word))
            return static_cast<int>(i);
    return -1;
}

bool TWordList::Remove(std::string_view word) {
    int index = IndexOf(word);
    if (index < 0)
        return false;
    Delete(static_cast<std::size_t>(index));
    return true;
}

void TWordList::Delete(std::size_t index) {
    if (index >= words_.size())
        return;
    auto folded = folded_.find(platform::AnsiLowerCase(words_[index]));
    if (folded != folded_.end())
        folded_.erase(folded);
    words_.erase(words_.begin() + static_cast<std::ptrdiff_t>(index));
}

} // namespace speller
