#pragma once
// The text of a rich-edit control as the speller's parsers walk it: each
// paragraph is a line, positions are the control's own (a paragraph end
// counts as CR LF), the selection is the control's, and hidden text is
// reported so that the topic parser steps over it.
#include "speller/texttarget.h"

namespace components::ui {
class TRicherEdit;
}

namespace speller::ui {

class TRichEditTarget : public ITextTarget {
public:
    explicit TRichEditTarget(components::ui::TRicherEdit& edit) : edit_(edit) {}

    components::ui::TRicherEdit& Edit() const { return edit_; }

    int LineCount() const override;
    std::string Line(int index) const override;
    int LineStart(int index) const override;
    int LineFromChar(int position) const override;
    std::string TextRange(int position, int length) const override;
    int SelStart() const override;
    int SelLength() const override;
    void Select(int start, int length) override;
    // Keeps the format of the first selected character.
    void ReplaceSelection(std::string_view text) override;
    std::optional<TRect> ControlRect() const override;
    std::optional<TPoint> CharPosition(int position) const override;
    int LineHeight() const override;
    int VisibleLineCount() const override;
    // Lines here are paragraphs: the paragraph at the top of the view, and
    // scrolling by paragraphs.
    int FirstVisibleLine() const override;
    void ScrollLines(int lines) override;
    TColumnRanges HiddenRanges(int line) const override;

private:
    components::ui::TRicherEdit& edit_;
};

} // namespace speller::ui
