#pragma once
// The topic editor's text interface over the rich-edit control. The control
// counts a paragraph end as two positions in its own interface; the editor's
// commands count it once, as its QTextDocument does, so this adapter works on
// document positions and converts only where it calls the control.
#include "editor/texteditor.h"

namespace components::ui {
class TRicherEdit;
}

namespace editor {

class TRichTextEditor : public ITextEditor {
public:
    explicit TRichTextEditor(components::ui::TRicherEdit& edit) : edit_(edit) {}

    void LoadDocument(const rtf::RtfDocument& document) override;
    rtf::RtfDocument SaveDocument() const override;
    std::size_t TextLength() const override;
    std::string TextRange(std::size_t pos, std::size_t count) const override;
    std::size_t SelStart() const override;
    std::size_t SelLength() const override;
    void SetSelection(std::size_t start, std::size_t length) override;
    void ReplaceSelection(std::string_view text) override;
    void ReplaceRange(std::size_t pos, std::size_t count, std::string_view text) override;
    TSelectionFormat SelFormat() const override;
    void SetSelFormat(const rtf::CharFormat& format, std::uint32_t mask) override;
    void SetRangeFormat(std::size_t pos, std::size_t count, const rtf::CharFormat& format,
                        std::uint32_t mask) override;
    rtf::ParaFormat SelParaFormat() const override;
    void SetSelParaFormat(const rtf::ParaFormat& format, std::uint32_t mask) override;
    bool Modified() const override;
    void SetModified(bool modified) override;

private:
    // Before the final paragraph end, which a caret never passes.
    std::size_t LastCaret() const;

    components::ui::TRicherEdit& edit_;
};

} // namespace editor
