#pragma once
// The editor's text over the RTF engine's document model: what the rich-edit
// widget does on screen, done on a document in memory. Used by tests and by
// commands that edit a topic without a window.
#include "components/rtf/rtfdocument.h"
#include "editor/texteditor.h"

namespace editor {

// The format of `length` characters from `start` (at least one) and which
// of its members are the same over all of them: the selection format of a
// rich edit that holds this document.
TSelectionFormat SelectionFormatOf(const rtf::RtfDocument& document, std::size_t start,
                                   std::size_t length);

class TDocumentTextEditor : public ITextEditor {
public:
    TDocumentTextEditor() = default;
    explicit TDocumentTextEditor(rtf::RtfDocument document);

    const rtf::RtfDocument& Document() const { return document_; }

    void LoadDocument(const rtf::RtfDocument& document) override;
    rtf::RtfDocument SaveDocument() const override { return document_; }
    std::size_t TextLength() const override { return document_.TextLength(); }
    std::string TextRange(std::size_t pos, std::size_t count) const override;
    std::size_t SelStart() const override { return selStart_; }
    std::size_t SelLength() const override { return selLength_; }
    void SetSelection(std::size_t start, std::size_t length) override;
    void ReplaceSelection(std::string_view text) override;
    void ReplaceRange(std::size_t pos, std::size_t count, std::string_view text) override;
    TSelectionFormat SelFormat() const override;
    void SetSelFormat(const rtf::CharFormat& format, std::uint32_t mask) override;
    void SetRangeFormat(std::size_t pos, std::size_t count, const rtf::CharFormat& format,
                        std::uint32_t mask) override;
    rtf::ParaFormat SelParaFormat() const override;
    void SetSelParaFormat(const rtf::ParaFormat& format, std::uint32_t mask) override;
    bool Modified() const override { return modified_; }
    void SetModified(bool modified) override { modified_ = modified; }
    void SetReadOnly(bool readOnly) override { readOnly_ = readOnly; }
    bool ReadOnly() const override { return readOnly_; }

private:
    // The last position a caret may take: before the final paragraph end.
    std::size_t LastCaret() const;
    // Typing takes the format of the character before the caret (of the
    // first character at the start), as in a rich-edit control.
    void TakeTypingFormatFromText();

    rtf::RtfDocument document_;
    std::size_t selStart_ = 0;
    std::size_t selLength_ = 0;
    rtf::CharFormat typingFormat_;
    bool modified_ = false;
    bool readOnly_ = false;
};

} // namespace editor
