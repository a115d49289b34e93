#pragma once
// The topic text of a TRicherEdit as the editor's commands see it
// (ITextEditor): positions are those of the widget's QTextDocument, which
// counts a paragraph end and an object as one character each, as
// rtf::RtfDocument does. Formats and paragraphs go through the widget, so a
// format set with nothing selected only changes what typing takes and does
// not mark the text modified. Wherever the caret comes to rest directly
// behind a markup code, typing takes the text's look, not the code's.
#include <QMetaObject>

#include "editor/texteditor.h"

namespace components::ui {
class TRicherEdit;
}

namespace editor::ui {

class TRichEditTextEditor : public ITextEditor {
public:
    explicit TRichEditTextEditor(components::ui::TRicherEdit& edit);
    ~TRichEditTextEditor() override;
    TRichEditTextEditor(const TRichEditTextEditor&) = delete;
    TRichEditTextEditor& operator=(const TRichEditTextEditor&) = delete;

    components::ui::TRicherEdit& Edit() const { return edit_; }

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
    void SetReadOnly(bool readOnly) override;
    bool ReadOnly() const override;

private:
    // The last position a caret may take: before the final paragraph end.
    int LastCaret() const;
    void CaretMoved();

    components::ui::TRicherEdit& edit_;
    QMetaObject::Connection caretMoved_;
};

} // namespace editor::ui
