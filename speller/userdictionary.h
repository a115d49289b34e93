#pragma once
// The user's own word list for one language: words taught with Learn and
// automatic corrections taught with Learn Replace. Kept in a ".udt" INI file:
//   [Added]        IGN_ListCount, IGN_0 ... (learned words, sorted)
//   [Auto Correct] AC_ListCount, AC_0 ...   ("word@@@replacement")
// A list whose file name ends in ".dic" is a plain text file of one word per
// line, used read-only: nothing can be learned into it.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "speller/wordlist.h"

namespace speller {

class TUserDictionary {
public:
    // Creates the lists and loads the file (a missing file is an empty list).
    explicit TUserDictionary(std::filesystem::path fileName);
    // Saves when modified (see Save for errors, which are not thrown here).
    ~TUserDictionary();
    TUserDictionary(const TUserDictionary&) = delete;
    TUserDictionary& operator=(const TUserDictionary&) = delete;

    // Reads the file unless loaded already. A file that cannot be read or
    // parsed leaves the lists empty (throws nothing).
    void Load();
    // Saves when modified, then empties the lists and clears the flags.
    void Release();
    // Writes both lists in one atomic save; errors propagate.
    void Save();

    bool Contains(std::string_view word) const { return words_.Contains(word); }
    void AddWord(std::string_view word);
    void AddAutoCorrect(std::string_view word, std::string_view replacement);
    void RemoveWord(std::string_view word);
    void RemoveAutoCorrect(std::string_view word);
    // The replacement of `word` (compared ignoring case), or "".
    std::string FindAutoCorrect(std::string_view word) const;
    // Empty both lists (the word-list editor refills them through the add operations).
    void ClearWords();
    void ClearAutoCorrect();

    const TWordList& Words() const { return words_; }
    const std::vector<std::string>& AutoCorrectWords() const { return acWords_; }
    const std::vector<std::string>& AutoCorrectReplacements() const { return acReplacements_; }
    const std::filesystem::path& FileName() const { return fileName_; }
    bool Modified() const { return modified_; }
    bool Loaded() const { return loaded_; }
    // A plain ".dic" word list: read-only, so Learn and Learn Replace must be disabled.
    bool PlainList() const { return plainList_; }
    bool CanLearn() const { return !plainList_; }
    // Why the last Load found nothing (empty when it read the file or none existed).
    const std::string& LoadError() const { return loadError_; }

private:
    int FindAutoCorrectIndex(std::string_view word) const;

    TWordList words_{true};
    std::vector<std::string> acWords_;
    std::vector<std::string> acReplacements_;
    std::filesystem::path fileName_;
    bool modified_ = false;
    bool loaded_ = false;
    bool plainList_ = false;
    std::string loadError_;
};

} // namespace speller
