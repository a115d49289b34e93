#include "speller/parser.h"

#include <algorithm>

#include "platform/codepage.h"

namespace speller {

void TParser::SetWordChars(std::string_view chars) {
    wordChars_.assign(chars);
    std::fill(std::begin(wordCharTable_), std::end(wordCharTable_), false);
    for (char c : wordChars_)
        wordCharTable_[static_cast<unsigned char>(c)] = true;
}

void TParser::SetRange(int start, int end) {
    rangeStart_ = start;
    rangeEnd_ = end;
    start_ = start;
    wordLength_ = 0;
    selLength_ = 0;
    endOfText_ = false;
    BackToWordStart();
}

void TParser::SetRangeEx(int start, int end, std::intptr_t /*data*/) {
    // Through the virtual SetRange, so that a parser over a control also
    // finds the line and column of the start.
    SetRange(start, end);
}

void TParser::SelectWord(int start, int length) {
    start_ = start;
    selLength_ = length;
}

void TParser::MoveRangeEnd(int delta) {
    if (rangeEnd_ == kTextEnd)
        return;
    // A set end stays a set end: it never reaches kTextEnd nor wraps.
    const long long moved = static_cast<long long>(rangeEnd_) + delta;
    rangeEnd_ = static_cast<int>(
        std::clamp<long long>(moved, std::numeric_limits<int>::min(), kTextEnd - 1));
}

void TParser::ReplaceWord(std::string_view text) {
    MoveRangeEnd(static_cast<int>(text.size()) - selLength_);
    RecordReplacement(text);
}

bool TParser::DeleteBlank() {
    MoveRangeEnd(-1);
    return true;
}

void TParser::InsertAfterWord(std::string_view text) {
    MoveRangeEnd(static_cast<int>(text.size()));
}

void TParser::UndoChanged(TUndo& record) {
    if (!undoNotify_ || undo_.empty())
        return;
    switch (record.kind) {
    case ukAlwaysReplace:
        record.displayCode = 0;
        break;
    case ukRepeatDeleted:
    case ukRepeatDeletedTwo:
        record.displayCode = 2;
        break;
    case ukAlwaysIgnore:
        record.displayCode = 3;
        break;
    case ukRepeatIgnored:
        record.displayCode = 4;
        break;
    case ukLearned:
        record.displayCode = 5;
        break;
    case ukLearnedReplace:
        record.displayCode = 6;
        break;
    default:
        record.displayCode = 1; // a plain replacement
        break;
    }
    undoNotify_(record);
}

void TParser::SetUndoKind(int kind) {
    if (undo_.empty())
        return;
    undo_.back()->kind = kind;
    UndoChanged(*undo_.back());
}

void TParser::RecordReplacement(std::string_view text) {
    if (undoing_ || undo_.empty())
        return;
    undo_.back()->word = word_;
    undo_.back()->replacement.assign(text);
    undo_.back()->replaced = true;
}

void TParser::PushUndo() {
    auto record = std::make_unique<TUndo>();
    record->line = line_;
    record->column = column_;
    record->start = start_;
    record->wordLength = selLength_;
    record->leading = leading_;
    record->trailing = trailing_;
    record->word = word_;
    undo_.push_back(std::move(record));
    while (static_cast<int>(undo_.size()) > std::max(1, maxUndo_))
        undo_.erase(undo_.begin());
}

void TParser::SetMaxUndo(int depth) {
    maxUndo_ = std::max(1, depth);
    while (static_cast<int>(undo_.size()) > maxUndo_)
        undo_.erase(undo_.begin());
}

std::unique_ptr<TUndo> TParser::PopUndo() {
    if (undo_.size() < 2)
        return nullptr;
    undo_.pop_back();
    std::unique_ptr<TUndo> record = std::move(undo_.back());
    undo_.pop_back();
    line_ = record->line;
    column_ = record->column;
    start_ = record->start;
    selLength_ = record->wordLength;
    leading_ = record->leading;
    trailing_ = record->trailing;
    word_ = record->word;
    // The check resumes at the restored word, so it is found again.
    wordLength_ = 0;
    endOfText_ = false;
    if (record->replaced) {
        undoing_ = true;
        ApplyUndoText(*record);
        undoing_ = false;
    }
    if (undoNotify_)
        undoNotify_(*record);
    return record;
}

// --- TCustomMemoParser ------------------------------------------------------

const std::string& TCustomMemoParser::CurrentLine() {
    if (cachedLine_ != line_) {
        lineText_ = target_.Line(line_);
        cachedLine_ = line_;
    }
    return lineText_;
}

void TCustomMemoParser::SetRange(int start, int end) {
    start = std::max(1, start);
    line_ = target_.LineFromChar(start - 1);
    column_ = start - target_.LineStart(line_);
    TParser::SetRange(start, end);
}

void TCustomMemoParser::CheckFromCursor() {
    SetRange(target_.SelStart() + 1, rangeEnd_);
}

void TCustomMemoParser::CheckSelection() {
    SetRange(start_, target_.SelStart() + target_.SelLength());
}

void TCustomMemoParser::BackToWordStart() {
    const std::string& text = CurrentLine();
    column_ = std::clamp(column_, 1, static_cast<int>(text.size()) + 1);
    while (column_ > 1 && IsWordChar(static_cast<unsigned char>(text[column_ - 2]))) {
        --column_;
        --start_;
    }
    wordLength_ = 0;
}

std::string TCustomMemoParser::GetWord() const {
    // Read from the control rather than the cache: the user may have edited
    // the line while the check waited.
    if (line_ < 0 || line_ >= target_.LineCount())
        return {};
    return target_.Line(line_);
}

std::optional<std::string> TCustomMemoParser::GetNextWord() {
    insideSkipped_ = false;
    noRepeat_ = false;
    if (endOfText_)
        return std::nullopt;
    auto finish = [this]() -> std::optional<std::string> {
        endOfText_ = true;
        return std::nullopt;
    };
    if (target_.LineCount() == 0 || line_ >= target_.LineCount() || line_ < 0)
        return finish();
    column_ = std::max(1, column_ + wordLength_);
    wordLength_ = 0;

    for (;;) {
        const std::string* text = &CurrentLine();
        bool quoted =
            skipQuoted_ && !text->empty() && quoteChars_.find((*text)[0]) != std::string::npos;
        bool found = false;
        while (!quoted && column_ <= static_cast<int>(text->size())) {
            unsigned char c = static_cast<unsigned char>((*text)[column_ - 1]);
            if (skipHTML_ && c == '<') {
                noRepeat_ = true;
                // The tag may go on over several lines.
                for (;;) {
                    std::size_t close = text->find('>', static_cast<std::size_t>(column_));
                    if (close != std::string::npos) {
                        column_ = static_cast<int>(close) + 2;
                        break;
                    }
                    ++line_;
                    column_ = 0;
                    if (line_ >= target_.LineCount())
                        return finish();
                    text = &CurrentLine();
                }
                continue;
            }
            if (IsWordChar(c)) {
                found = true;
                break;
            }
            ++column_;
        }
        if (found)
            break;
        ++line_;
        column_ = 1;
        if (line_ >= target_.LineCount())
            return finish();
    }

    const std::string& text = CurrentLine();
    start_ = target_.LineStart(line_) + column_;
    if (start_ > rangeEnd_)
        return finish();
    std::size_t begin = static_cast<std::size_t>(column_ - 1);
    std::size_t end = begin;
    while (end < text.size() && IsWordChar(static_cast<unsigned char>(text[end])))
        ++end;
    if (skipInternet_ && end < text.size()) {
        std::string_view word(text.data() + begin, end - begin);
        bool address = text[end] == '@';
        if (!address && text[end] == ':')
            address = platform::AnsiSameText(word, "http") || platform::AnsiSameText(word, "ftp") ||
                      platform::AnsiSameText(word, "news");
        if (address) {
            static constexpr std::string_view kDelimiters = "\r\n\t \"()[]{},<>'";
            while (end < text.size() && kDelimiters.find(text[end]) == std::string_view::npos)
                ++end;
            insideSkipped_ = true;
            noRepeat_ = true;
        }
    }
    word_ = text.substr(begin, end - begin);
    wordLength_ = static_cast<int>(end - begin);
    selLength_ = wordLength_;
    return word_;
}

void TCustomMemoParser::SelectWord(int start, int length) {
    TParser::SelectWord(start, length);
    target_.Select(start - 1, length);
}

void TCustomMemoParser::ReplaceWord(std::string_view text) {
    target_.Select(start_ - 1, selLength_);
    target_.ReplaceSelection(text);
    TParser::ReplaceWord(text);
    selLength_ = static_cast<int>(text.size());
    wordLength_ = selLength_ + leading_ + trailing_;
    cachedLine_ = -1;
}

bool TCustomMemoParser::DeleteBlank() {
    if (target_.TextRange(start_ - 1, 1) != " ")
        return false;
    target_.Select(start_ - 1, 1);
    target_.ReplaceSelection("");
    TParser::DeleteBlank();
    wordLength_ = 0;
    cachedLine_ = -1;
    return true;
}

void TCustomMemoParser::InsertAfterWord(std::string_view text) {
    target_.Select(start_ - 1 + selLength_, 0);
    target_.ReplaceSelection(text);
    target_.Select(start_ - 1, selLength_);
    TParser::InsertAfterWord(text);
    cachedLine_ = -1;
}

bool TCustomMemoParser::WordStillThere(std::string_view word) const {
    return target_.TextRange(start_ - 1, static_cast<int>(word.size())) == word;
}

void TCustomMemoParser::ApplyUndoText(const TUndo& record) {
    int length = static_cast<int>(record.replacement.size());
    // Text the user changed since is left alone rather than overwritten.
    if (target_.TextRange(record.start - 1, length) != record.replacement)
        return;
    target_.Select(record.start - 1, length);
    target_.ReplaceSelection(record.word);
    MoveRangeEnd(static_cast<int>(record.word.size()) - length);
    selLength_ = static_cast<int>(record.word.size());
    target_.Select(record.start - 1, selLength_);
    cachedLine_ = -1;
}

std::optional<TRect> TCustomMemoParser::GetWordRect() const {
    auto first = target_.CharPosition(start_ - 1);
    if (!first)
        return std::nullopt;
    auto after = target_.CharPosition(start_ - 1 + selLength_);
    int right = after && after->y == first->y ? after->x : first->x;
    return TRect{first->x, first->y, right, first->y + target_.LineHeight()};
}

void TCustomMemoParser::ScrollToWord() {
    int half = target_.VisibleLineCount() / 2;
    target_.ScrollLines((line_ - half) - target_.FirstVisibleLine());
}

} // namespace speller
