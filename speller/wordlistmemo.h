#pragma once
// The user word list as the word-list editor shows it: the learned words
// one per line, the automatic corrections one per line as "word=replacement".
#include <string>

#include "speller/userdictionary.h"

namespace speller {

struct TWordListMemo {
    std::string Learned;      // lines joined by CR LF
    std::string Replacements; // "word=replacement" lines joined by CR LF
};

TWordListMemo WordListMemoOf(const TUserDictionary& list);
// OK of the editor: the lists are emptied and refilled from the memos; a
// learned line needs more than one character, a replacement line an "="
// after its first character and text after it.
void ApplyWordListMemo(TUserDictionary& list, const TWordListMemo& memo);

} // namespace speller
