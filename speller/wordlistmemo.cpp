#include "speller/wordlistmemo.h"

#include <vector>

#include "components/rtf/stringlisttransfer.h"

namespace speller {

TWordListMemo WordListMemoOf(const TUserDictionary& list) {
    TWordListMemo memo;
    for (const std::string& word : list.Words().Words())
        memo.Learned += (memo.Learned.empty() ? "" : "\r\n") + word;
    const auto& words = list.AutoCorrectWords();
    const auto& replacements = list.AutoCorrectReplacements();
    for (std::size_t i = 0; i < words.size(); ++i)
        memo.Replacements +=
            (memo.Replacements.empty() ? "" : "\r\n") + words[i] + "=" + replacements[i];
    return memo;
}

void ApplyWordListMemo(TUserDictionary& list, const TWordListMemo& memo) {
    list.ClearWords();
    for (const std::string& line : rtf::SplitLines(memo.Learned))
        if (line.size() > 1)
            list.AddWord(line);
    list.ClearAutoCorrect();
    for (const std::string& line : rtf::SplitLines(memo.Replacements)) {
        std::size_t equals = line.find('=');
        if (equals != std::string::npos && equals >= 1 && equals + 1 < line.size())
            list.AddAutoCorrect(line.substr(0, equals), line.substr(equals + 1));
    }
}

} // namespace speller
