#pragma once
// A parser walks the text of one control for the spelling engine: it hands
// out the next word, knows where it stands (to select, replace and place the
// dialog beside it), steps over what is not prose (HTML tags, quoted lines,
// Internet addresses) and keeps a bounded list of undo records of the
// engine's actions.
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "speller/texttarget.h"

namespace speller {

inline constexpr std::string_view kDefaultWordChars =
    "abcdefghijklmnopqrstuvwxyz'ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890&";

// The end of a range that runs to the end of the text, however edits change
// the text's length; a parser with no range set checks up to it.
inline constexpr int kTextEnd = std::numeric_limits<int>::max();

// Kinds of undo records the engine sets.
enum TUndoKind : int {
    ukNone = -1,
    ukAlwaysReplace = 4,
    ukRepeatDeleted = 5,      // repeated word deleted, one blank removed
    ukRepeatDeletedTwo = 105, // repeated word deleted, two blanks removed
    ukAlwaysIgnore = 6,
    ukRepeatIgnored = 7,
    ukLearned = 8,
    ukLearnedReplace = 9,
};

// One step the engine can take back: where the parser stood at a problem
// word and what replaced it there.
class TUndo {
public:
    int kind = ukNone;
    int displayCode = 0;
    int line = 0;
    int column = 1;
    int start = 1;
    int wordLength = 0;
    int leading = 0;
    int trailing = 0;
    std::string word;         // the word at that moment
    std::string replacement;  // the text that replaced it
    bool replaced = false;    // a replacement was made (it may be empty)
    std::string previousWord; // the engine's previous accepted word, for repeated words
};

class TParser {
public:
    using UndoNotify = std::function<void(const TUndo&)>;

    virtual ~TParser() = default;

    void SetSkipHTML(bool on) { skipHTML_ = on; }
    void SetSkipInternet(bool on) { skipInternet_ = on; }
    void SetSkipQuoted(bool on) { skipQuoted_ = on; }
    void SetQuoteChars(std::string chars) { quoteChars_ = std::move(chars); }
    virtual void SetWordChars(std::string_view chars);
    const std::string& WordChars() const { return wordChars_; }
    bool IsWordChar(unsigned char c) const { return wordCharTable_[c]; }

    // Positions: `start` and `end` are 1-based character positions; words
    // that start after `end` are outside the range. An `end` of kTextEnd
    // runs to the end of the text.
    virtual void SetRange(int start, int end);
    // SetRange with data for parsers of other kinds of controls (a control
    // may need more than two positions to place a range); the memo and
    // rich-edit parsers ignore it and place the range as SetRange does.
    virtual void SetRangeEx(int start, int end, std::intptr_t data = 0);
    // From the text cursor up to the stored end.
    virtual void CheckFromCursor() {}
    // From the stored start (where the parser stands) up to the end of the
    // selection.
    virtual void CheckSelection() {}
    // The next word, or nullopt at the end of the text.
    virtual std::optional<std::string> GetNextWord() { return std::nullopt; }
    virtual void SelectWord(int start, int length);
    virtual void ReplaceWord(std::string_view text);
    virtual std::optional<TRect> GetControlRect() const { return std::nullopt; }
    virtual std::optional<TRect> GetWordRect() const { return std::nullopt; }
    virtual int GetAvoidDistance() const { return 2; }
    virtual void ScrollToWord() {}
    virtual void BackToWordStart() {}
    virtual void Start() {}
    // The text at the parser's position: the current word here, the whole
    // current line for a parser over a text control.
    virtual std::string GetWord() const { return word_; }
    // Removes the character at the word's start when it is a blank.
    virtual bool DeleteBlank();
    // Inserts `text` right after the selected word (used when undoing a deletion).
    virtual void InsertAfterWord(std::string_view text);
    // Replaces the selected word without recording it for undo (automatic
    // corrections, and the engine's own steps of a deletion).
    void ReplaceWithoutUndo(std::string_view text) {
        undoing_ = true;
        ReplaceWord(text);
        undoing_ = false;
    }
    // The next GetNextWord starts again at the current word (to check a
    // replacement again).
    void RewindToWord() { wordLength_ = 0; }
    // True when the current word still stands at its position (the user may
    // have edited the text while the check waited).
    virtual bool WordStillThere(std::string_view /*word*/) const { return true; }
    // The user may have changed the text: forget any cached line.
    virtual void TextMayHaveChanged() {}

    void SetUndoKind(int kind);
    void RecordReplacement(std::string_view text);
    void PushUndo();
    // Takes back the newest step before the current word, or nullptr.
    std::unique_ptr<TUndo> PopUndo();
    bool CanUndo() const { return undo_.size() > 1; }
    std::size_t UndoCount() const { return undo_.size(); }
    TUndo* NewestUndo() const { return undo_.empty() ? nullptr : undo_.back().get(); }
    void SetMaxUndo(int depth);
    int MaxUndo() const { return maxUndo_; }
    void SetUndoNotify(UndoNotify notify) { undoNotify_ = std::move(notify); }

    // Position and state.
    int Line() const { return line_; }
    int Column() const { return column_; }
    int WordStart() const { return start_; }
    int WordLength() const { return wordLength_; }
    int SelectedLength() const { return selLength_; }
    int RangeStart() const { return rangeStart_; }
    int RangeEnd() const { return rangeEnd_; }
    int Leading() const { return leading_; }
    int Trailing() const { return trailing_; }
    void SetLeadingTrailing(int leading, int trailing) {
        leading_ = leading;
        trailing_ = trailing;
    }
    const std::string& CurrentWord() const { return word_; }
    void SetCurrentWord(std::string word) { word_ = std::move(word); }
    bool EndOfText() const { return endOfText_; }
    bool InsideSkippedText() const { return insideSkipped_; }
    bool NoRepeatCandidate() const { return noRepeat_; }
    bool Undoing() const { return undoing_; }

protected:
    void UndoChanged(TUndo& record);
    // Moves a set range end with an edit of `delta` characters before it; an
    // end at kTextEnd stays there.
    void MoveRangeEnd(int delta);
    // Applies the text change of an undo record (the parser's position is
    // already back at the record).
    virtual void ApplyUndoText(const TUndo& /*record*/) {}

    int line_ = 0;
    int column_ = 1;
    int start_ = 1;
    int wordLength_ = 0; // the whole word as found, leading and trailing characters included
    int selLength_ = 0;  // the selected (core) word
    int leading_ = 0;
    int trailing_ = 0;
    int rangeStart_ = 1;
    int rangeEnd_ = kTextEnd;
    std::string word_;
    std::string wordChars_;
    bool wordCharTable_[256] = {};
    bool endOfText_ = false;
    bool insideSkipped_ = false;
    bool noRepeat_ = false;
    bool skipHTML_ = false;
    bool skipInternet_ = true;
    bool skipQuoted_ = false;
    std::string quoteChars_ = ">";
    std::vector<std::unique_ptr<TUndo>> undo_;
    int maxUndo_ = 20;
    bool undoing_ = false;
    UndoNotify undoNotify_;

    TParser() { SetWordChars(kDefaultWordChars); }
};

// The parser over a multi-line text control (plain or rich text).
class TCustomMemoParser : public TParser {
public:
    explicit TCustomMemoParser(ITextTarget& target) : target_(target) {}

    ITextTarget& Target() const { return target_; }

    void SetRange(int start, int end) override;
    void CheckFromCursor() override;
    void CheckSelection() override;
    std::optional<std::string> GetNextWord() override;
    void SelectWord(int start, int length) override;
    void ReplaceWord(std::string_view text) override;
    std::optional<TRect> GetControlRect() const override { return target_.ControlRect(); }
    std::optional<TRect> GetWordRect() const override;
    int GetAvoidDistance() const override { return 3 * target_.LineHeight(); }
    void ScrollToWord() override;
    void BackToWordStart() override;
    std::string GetWord() const override;
    bool DeleteBlank() override;
    void InsertAfterWord(std::string_view text) override;
    bool WordStillThere(std::string_view word) const override;
    void TextMayHaveChanged() override { cachedLine_ = -1; }

protected:
    const std::string& CurrentLine();
    void ApplyUndoText(const TUndo& record) override;

    ITextTarget& target_;
    int cachedLine_ = -1;
    std::string lineText_;
};

// The parser over a rich-edit control: the same walk; the control's target
// answers positions and rectangles the rich-edit way.
class TCustomRichEditParser : public TCustomMemoParser {
public:
    using TCustomMemoParser::TCustomMemoParser;
};

} // namespace speller
