#include "speller/brindlewovenparser.h"

namespace speller {

const std::vector<std::string>& TopicCodeKeywords() {
    static const std::vector<std::string> keywords = {
        "bmc",    "bmct", "bml",  "bmlt",       "bmr",      "bmrt",
        "button", "html", "link", "linkDelphi", "linkID",   "linkTarget",
        "keepn",  "mci",  "rtf",  "target",     "linkFile", "flash"};
    return keywords;
}

TBrindlewovenRichEditParser::TBrindlewovenRichEditParser(ITextTarget& target)
    : TCustomRichEditParser(target) {
    for (const std::string& keyword : TopicCodeKeywords())
        keywords_.Add(keyword);
}

const ITextTarget::TColumnRanges& TBrindlewovenRichEditParser::HiddenOfLine() {
    if (hiddenLine_ != line_) {
        hidden_ = target_.HiddenRanges(line_);
        hiddenLine_ = line_;
    }
    return hidden_;
}

std::optional<std::string> TBrindlewovenRichEditParser::GetNextWord() {
    for (;;) {
        std::optional<std::string> word = TCustomRichEditParser::GetNextWord();
        if (!word)
            return word;
        const int begin = column_ - 1; // 0-based column of the word
        const int end = begin + wordLength_;
        bool skipped = false;
        for (const auto& [hiddenBegin, hiddenEnd] : HiddenOfLine()) {
            if (hiddenEnd <= begin)
                continue;
            if (hiddenBegin <= begin) {
                // Hidden from its first letter: go on after the hidden run.
                column_ = hiddenEnd + 1;
                wordLength_ = 0;
                word_.clear();
                skipped = true;
            } else if (hiddenBegin < end) {
                // Only the visible part is the word.
                wordLength_ = hiddenBegin - begin;
                selLength_ = wordLength_;
                word_.resize(static_cast<std::size_t>(wordLength_));
                word = word_;
            }
            break;
        }
        if (skipped)
            continue;
        if (column_ > 1 && keywords_.Contains(*word)) {
            const std::string& text = CurrentLine();
            if (text[static_cast<std::size_t>(column_ - 2)] == '{') {
                std::size_t close = text.find('}', static_cast<std::size_t>(column_ - 1) +
                                                       static_cast<std::size_t>(wordLength_));
                column_ = close == std::string::npos ? static_cast<int>(text.size()) + 1
                                                     : static_cast<int>(close) + 2;
                wordLength_ = 0;
                word_.clear();
                continue;
            }
        }
        return word;
    }
}

void TBrindlewovenRichEditParser::ReplaceWord(std::string_view text) {
    TCustomRichEditParser::ReplaceWord(text);
    hiddenLine_ = -1;
}

bool TBrindlewovenRichEditParser::DeleteBlank() {
    hiddenLine_ = -1;
    return TCustomRichEditParser::DeleteBlank();
}

void TBrindlewovenRichEditParser::InsertAfterWord(std::string_view text) {
    TCustomRichEditParser::InsertAfterWord(text);
    hiddenLine_ = -1;
}

void TBrindlewovenRichEditParser::TextMayHaveChanged() {
    TCustomRichEditParser::TextMayHaveChanged();
    hiddenLine_ = -1;
}

void TBrindlewovenRichEditParser::ApplyUndoText(const TUndo& record) {
    TCustomRichEditParser::ApplyUndoText(record);
    hiddenLine_ = -1;
}

} // namespace speller
