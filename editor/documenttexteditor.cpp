#include "editor/documenttexteditor.h"

#include <algorithm>
#include <utility>

namespace editor {

namespace {

// The CharMask members in which two formats differ.
std::uint32_t DifferingMembers(const rtf::CharFormat& a, const rtf::CharFormat& b) {
    std::uint32_t differ = 0;
    if (a.face != b.face || a.charset != b.charset || a.pitch != b.pitch || a.family != b.family)
        differ |= rtf::kCharFace;
    if (a.size != b.size)
        differ |= rtf::kCharSize;
    if (a.color != b.color)
        differ |= rtf::kCharColor;
    if (a.background != b.background)
        differ |= rtf::kCharBackground;
    if (a.bold != b.bold)
        differ |= rtf::kCharBold;
    if (a.italic != b.italic)
        differ |= rtf::kCharItalic;
    if (a.underline != b.underline)
        differ |= rtf::kCharUnderline;
    if (a.strike != b.strike)
        differ |= rtf::kCharStrike;
    if (a.hidden != b.hidden)
        differ |= rtf::kCharHidden;
    if (a.script != b.script || a.offset != b.offset)
        differ |= rtf::kCharScript;
    return differ;
}

} // namespace

TSelectionFormat SelectionFormatOf(const rtf::RtfDocument& document, std::size_t start,
                                   std::size_t length) {
    TSelectionFormat result{document.CharFormatAt(start), rtf::kCharAll};
    const std::size_t end = start + length;
    const auto& paragraphs = document.Paragraphs();
    for (std::size_t line = document.LineFromChar(start); line < paragraphs.size(); ++line) {
        std::size_t at = document.LineIndex(line);
        if (at >= end)
            break;
        for (const rtf::Run& run : paragraphs[line].runs) {
            const std::size_t runEnd = at + run.length;
            if (runEnd > start && at < end)
                result.Uniform &= ~DifferingMembers(result.Format, document.FormatOf(run));
            at = runEnd;
        }
    }
    return result;
}

TDocumentTextEditor::TDocumentTextEditor(rtf::RtfDocument document) {
    LoadDocument(document);
}

void TDocumentTextEditor::LoadDocument(const rtf::RtfDocument& document) {
    document_ = document;
    selStart_ = 0;
    selLength_ = 0;
    TakeTypingFormatFromText();
}

std::size_t TDocumentTextEditor::LastCaret() const {
    const std::size_t length = document_.TextLength();
    return length > 0 ? length - 1 : 0;
}

void TDocumentTextEditor::TakeTypingFormatFromText() {
    typingFormat_ = document_.CharFormatAt(selStart_ > 0 ? selStart_ - 1 : 0);
}

std::string TDocumentTextEditor::TextRange(std::size_t pos, std::size_t count) const {
    return document_.TextRange(pos, count);
}

void TDocumentTextEditor::SetSelection(std::size_t start, std::size_t length) {
    const std::size_t last = LastCaret();
    selStart_ = std::min(start, last);
    selLength_ = std::min(length, last - selStart_);
    TakeTypingFormatFromText();
}

void TDocumentTextEditor::ReplaceSelection(std::string_view text) {
    const rtf::CharFormat format = typingFormat_;
    document_.Erase(selStart_, selLength_);
    document_.InsertText(selStart_, text, format);
    // "\r\n" is one paragraph end in the document.
    std::size_t inserted = text.size();
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\r' && text[i + 1] == '\n')
            --inserted;
    selStart_ = std::min(selStart_ + inserted, LastCaret());
    selLength_ = 0;
    typingFormat_ = format;
    modified_ = true;
}

void TDocumentTextEditor::ReplaceRange(std::size_t pos, std::size_t count, std::string_view text) {
    const std::size_t before = document_.TextLength();
    document_.Replace(pos, count, text);
    const std::size_t after = document_.TextLength();
    if (selStart_ >= pos + count)
        selStart_ = selStart_ + after - before;
    else if (selStart_ > pos)
        selStart_ = pos;
    SetSelection(selStart_, selLength_);
    modified_ = true;
}

TSelectionFormat TDocumentTextEditor::SelFormat() const {
    if (selLength_ == 0)
        return {typingFormat_, rtf::kCharAll};
    return SelectionFormatOf(document_, selStart_, selLength_);
}

void TDocumentTextEditor::SetSelFormat(const rtf::CharFormat& format, std::uint32_t mask) {
    rtf::ApplyCharFormat(typingFormat_, format, mask);
    if (selLength_ > 0)
        SetRangeFormat(selStart_, selLength_, format, mask);
}

void TDocumentTextEditor::SetRangeFormat(std::size_t pos, std::size_t count,
                                         const rtf::CharFormat& format, std::uint32_t mask) {
    if (count == 0)
        return;
    document_.SetCharFormat(pos, count, format, mask);
    modified_ = true;
}

rtf::ParaFormat TDocumentTextEditor::SelParaFormat() const {
    return document_.ParaFormatAt(selStart_);
}

void TDocumentTextEditor::SetSelParaFormat(const rtf::ParaFormat& format, std::uint32_t mask) {
    document_.SetParaFormat(selStart_, selLength_, format, mask);
    modified_ = true;
}

} // namespace editor
