#pragma once
// What a text parser needs from the control whose text it checks: lines,
// character positions, the selection and screen geometry. The rich-edit
// control of the user interface implements it; TMemoTarget keeps the text in
// memory for tests and command-line tools.
//
// Positions are 0-based character indexes into the whole text, in which a
// line break counts as its characters (CR LF in a plain edit control, CR in a
// rich-edit control).
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace speller {

struct TPoint {
    int x = 0;
    int y = 0;
};

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class ITextTarget {
public:
    virtual ~ITextTarget() = default;

    virtual int LineCount() const = 0;
    // The line's text without its line break.
    virtual std::string Line(int index) const = 0;
    // Position of the line's first character (past the end for index == LineCount()).
    virtual int LineStart(int index) const = 0;
    virtual int LineFromChar(int position) const = 0;
    // `length` characters from `position` (fewer at the end of the text).
    virtual std::string TextRange(int position, int length) const = 0;

    virtual int SelStart() const = 0;
    virtual int SelLength() const = 0;
    virtual void Select(int start, int length) = 0;
    virtual void ReplaceSelection(std::string_view text) = 0;

    // Screen geometry; nullopt when the control is not on screen.
    virtual std::optional<TRect> ControlRect() const = 0;
    virtual std::optional<TPoint> CharPosition(int position) const = 0;
    virtual int LineHeight() const = 0;
    // Lines that fit the control's client height.
    virtual int VisibleLineCount() const = 0;
    virtual int FirstVisibleLine() const = 0;
    virtual void ScrollLines(int lines) = 0;

    // Columns [begin, end) of the line (0-based) that hold hidden text, in
    // order. A control without formatting has none.
    using TColumnRanges = std::vector<std::pair<int, int>>;
    virtual TColumnRanges HiddenRanges(int /*line*/) const { return {}; }
};

// A text held in memory with a fixed-pitch layout (CharWidth x LineHeight
// cells from the control's top left), no word wrap.
class TMemoTarget : public ITextTarget {
public:
    explicit TMemoTarget(std::string_view text = {}, std::string lineBreak = "\r\n");

    void SetText(std::string_view text);
    std::string Text() const;
    const std::string& LineBreak() const { return lineBreak_; }

    int LineCount() const override { return static_cast<int>(lines_.size()); }
    std::string Line(int index) const override;
    int LineStart(int index) const override;
    int LineFromChar(int position) const override;
    std::string TextRange(int position, int length) const override;
    int SelStart() const override { return selStart_; }
    int SelLength() const override { return selLength_; }
    void Select(int start, int length) override;
    void ReplaceSelection(std::string_view text) override;
    std::optional<TRect> ControlRect() const override { return controlRect_; }
    std::optional<TPoint> CharPosition(int position) const override;
    int LineHeight() const override { return kLineHeight; }
    int VisibleLineCount() const override { return visibleLines_; }
    int FirstVisibleLine() const override { return firstVisible_; }
    void ScrollLines(int lines) override;

    void SetControlRect(std::optional<TRect> rect) { controlRect_ = rect; }
    void SetVisibleLineCount(int lines) { visibleLines_ = lines; }
    // Marks columns of a line as hidden text (they do not follow later edits).
    void SetHiddenRanges(int line, TColumnRanges ranges) { hidden_[line] = std::move(ranges); }
    TColumnRanges HiddenRanges(int line) const override;

    static constexpr int kCharWidth = 8;
    static constexpr int kLineHeight = 16;

private:
    void Split(std::string_view text);

    std::string lineBreak_;
    std::vector<std::string> lines_;
    std::vector<int> starts_;
    int selStart_ = 0;
    int selLength_ = 0;
    std::optional<TRect> controlRect_ = TRect{100, 100, 740, 580};
    int visibleLines_ = 30;
    int firstVisible_ = 0;
    std::map<int, TColumnRanges> hidden_;
};

} // namespace speller
