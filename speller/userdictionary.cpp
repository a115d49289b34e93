#include "speller/userdictionary.h"

#include <system_error>

#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/fileio.h"
#include "speller/enhancedini.h"

namespace speller {

namespace {
constexpr std::string_view kSeparator = "@@@";
}

TUserDictionary::TUserDictionary(std::filesystem::path fileName) : fileName_(std::move(fileName)) {
    plainList_ = platform::AnsiLowerCase(fileName_.extension().string()) == ".dic";
    Load();
}

TUserDictionary::~TUserDictionary() {
    try {
        if (loaded_ && !plainList_ && modified_)
            Save();
    } catch (const std::exception& e) {
        platform::Warn(e.what());
    }
}

void TUserDictionary::Load() {
    std::error_code ec;
    loadError_.clear();
    if (loaded_ || !std::filesystem::exists(fileName_, ec)) {
        loaded_ = true;
        modified_ = false;
        return;
    }
    try {
        if (plainList_) {
            std::string text = platform::ReadFileBytes(fileName_);
            std::size_t pos = 0;
            while (pos < text.size()) {
                std::size_t end = text.find_first_of("\r\n", pos);
                if (end == std::string::npos)
                    end = text.size();
                if (end > pos)
                    words_.Add(std::string_view(text).substr(pos, end - pos));
                pos = end + 1;
            }
        } else {
            TEnhancedINI ini(fileName_);
            std::vector<std::string> learned, autoCorrect;
            ini.ReadList("Added", "IGN", learned);
            ini.ReadList("Auto Correct", "AC", autoCorrect);
            for (const auto& word : learned)
                words_.Add(word);
            for (const auto& entry : autoCorrect) {
                std::size_t sep = entry.find(kSeparator);
                // An entry without a separator has no replacement to offer.
                if (sep == std::string::npos || sep == 0)
                    continue;
                acWords_.push_back(entry.substr(0, sep));
                acReplacements_.push_back(entry.substr(sep + kSeparator.size()));
            }
        }
    } catch (const std::exception& e) {
        words_.Clear();
        acWords_.clear();
        acReplacements_.clear();
        loadError_ = e.what();
    }
    loaded_ = true;
    modified_ = false;
}

void TUserDictionary::Release() {
    if (loaded_ && modified_ && !plainList_)
        Save();
    words_.Clear();
    acWords_.clear();
    acReplacements_.clear();
    loaded_ = false;
    modified_ = false;
}

void TUserDictionary::Save() {
    if (plainList_)
        return;
    std::vector<std::string> joined;
    joined.reserve(acWords_.size());
    for (std::size_t i = 0; i < acWords_.size(); ++i)
        joined.push_back(acWords_[i] + std::string(kSeparator) + acReplacements_[i]);
    TEnhancedINI ini(fileName_);
    ini.WriteLists("Added", "IGN", words_.Words(), "Auto Correct", "AC", joined);
    modified_ = false;
}

void TUserDictionary::AddWord(std::string_view word) {
    if (plainList_)
        return;
    modified_ = true;
    words_.Add(word);
}

int TUserDictionary::FindAutoCorrectIndex(std::string_view word) const {
    for (std::size_t i = 0; i < acWords_.size(); ++i)
        if (platform::AnsiSameText(acWords_[i], word))
            return static_cast<int>(i);
    return -1;
}

void TUserDictionary::AddAutoCorrect(std::string_view word, std::string_view replacement) {
    if (plainList_)
        return;
    modified_ = true;
    int index = FindAutoCorrectIndex(word);
    if (index < 0) {
        acWords_.emplace_back(word);
        acReplacements_.emplace_back(replacement);
    } else {
        acReplacements_[static_cast<std::size_t>(index)] = std::string(replacement);
    }
}

void TUserDictionary::RemoveWord(std::string_view word) {
    if (plainList_)
        return;
    // A removal must reach the file even when nothing else changes afterwards.
    if (words_.Remove(word))
        modified_ = true;
}

void TUserDictionary::RemoveAutoCorrect(std::string_view word) {
    if (plainList_)
        return;
    int index = FindAutoCorrectIndex(word);
    if (index < 0)
        return;
    acWords_.erase(acWords_.begin() + index);
    acReplacements_.erase(acReplacements_.begin() + index);
    modified_ = true;
}

std::string TUserDictionary::FindAutoCorrect(std::string_view word) const {
    int index = FindAutoCorrectIndex(word);
    return index < 0 ? std::string() : acReplacements_[static_cast<std::size_t>(index)];
}

void TUserDictionary::ClearWords() {
    if (plainList_ || words_.Empty())
        return;
    words_.Clear();
    modified_ = true;
}

void TUserDictionary::ClearAutoCorrect() {
    if (plainList_ || acWords_.empty())
        return;
    acWords_.clear();
    acReplacements_.clear();
    modified_ = true;
}

} // namespace speller
