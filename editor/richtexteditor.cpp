#include "editor/richtexteditor.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>

#include "components/ui/richeredit.h"
#include "components/ui/rtfqtdocument.h"
#include "editor/documenttexteditor.h"

namespace editor {

namespace {

int ToInt(std::size_t position) {
    return static_cast<int>(std::min<std::size_t>(position, 0x7FFFFFFF));
}

} // namespace

void TRichTextEditor::LoadDocument(const rtf::RtfDocument& document) {
    edit_.SetDocument(document);
    edit_.SetModified(false);
}

rtf::RtfDocument TRichTextEditor::SaveDocument() const {
    return edit_.GetDocument();
}

std::size_t TRichTextEditor::TextLength() const {
    return static_cast<std::size_t>(edit_.document()->characterCount());
}

std::size_t TRichTextEditor::LastCaret() const {
    return TextLength() - 1;
}

std::string TRichTextEditor::TextRange(std::size_t pos, std::size_t count) const {
    const std::size_t length = TextLength();
    pos = std::min(pos, length);
    count = std::min(count, length - pos);
    const std::size_t end = pos + count;
    const std::size_t selectable = std::min(end, LastCaret());
    std::string text;
    if (selectable > pos) {
        QTextCursor cursor(edit_.document());
        cursor.setPosition(ToInt(pos));
        cursor.setPosition(ToInt(selectable), QTextCursor::KeepAnchor);
        text = components::ui::QtTextToModel(cursor.selectedText(), "\r");
    }
    if (end > LastCaret())
        text += '\r'; // the final paragraph end
    return text;
}

std::size_t TRichTextEditor::SelStart() const {
    return static_cast<std::size_t>(edit_.textCursor().selectionStart());
}

std::size_t TRichTextEditor::SelLength() const {
    const QTextCursor cursor = edit_.textCursor();
    return static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart());
}

void TRichTextEditor::SetSelection(std::size_t start, std::size_t length) {
    const std::size_t last = LastCaret();
    start = std::min(start, last);
    const std::size_t end = std::min(start + length, last);
    QTextCursor cursor = edit_.textCursor();
    cursor.setPosition(ToInt(start));
    cursor.setPosition(ToInt(end), QTextCursor::KeepAnchor);
    edit_.setTextCursor(cursor);
}

void TRichTextEditor::ReplaceSelection(std::string_view text) {
    edit_.SetSelText(text);
}

void TRichTextEditor::ReplaceRange(std::size_t pos, std::size_t count, std::string_view text) {
    const std::size_t last = LastCaret();
    pos = std::min(pos, last);
    count = std::min(count, last - pos);
    QTextCursor cursor(edit_.document());
    cursor.setPosition(ToInt(pos + (count > 0 ? 1 : 0)));
    const QTextCharFormat format = cursor.charFormat(); // of the range's first character
    cursor.setPosition(ToInt(pos));
    cursor.setPosition(ToInt(pos + count), QTextCursor::KeepAnchor);
    // The editor's own cursor moves with the change, as a selection should.
    cursor.insertText(components::ui::ModelTextToQt(text), format);
}

TSelectionFormat TRichTextEditor::SelFormat() const {
    TSelectionFormat result{edit_.GetSelAttributes(), rtf::kCharAll};
    const QTextCursor selection = edit_.textCursor();
    if (!selection.hasSelection())
        return result;
    const QTextDocument& document = *edit_.document();
    const rtf::CharFormat fallback = components::ui::DocumentDefaultFormat(document);
    const int from = selection.selectionStart();
    const int to = selection.selectionEnd();
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= from || fragment.position() >= to)
                continue;
            const rtf::CharFormat format =
                components::ui::FromQtCharFormat(fragment.charFormat(), fallback);
            result.Uniform &= ~DifferingMembers(result.Format, format);
        }
    }
    return result;
}

void TRichTextEditor::SetSelFormat(const rtf::CharFormat& format, std::uint32_t mask) {
    edit_.SetSelAttributes(format, mask);
}

void TRichTextEditor::SetRangeFormat(std::size_t pos, std::size_t count,
                                     const rtf::CharFormat& format, std::uint32_t mask) {
    if (count == 0)
        return;
    const std::size_t start = SelStart();
    const std::size_t length = SelLength();
    const QTextCursor kept = edit_.textCursor();
    SetSelection(pos, count);
    edit_.SetSelAttributes(format, mask);
    if (length == 0) {
        edit_.setTextCursor(kept); // keeps the typing format too
    } else {
        SetSelection(start, length);
    }
}

rtf::ParaFormat TRichTextEditor::SelParaFormat() const {
    return edit_.GetParagraph();
}

void TRichTextEditor::SetSelParaFormat(const rtf::ParaFormat& format, std::uint32_t mask) {
    edit_.SetParagraph(format, mask);
}

bool TRichTextEditor::Modified() const {
    return edit_.GetModified();
}

void TRichTextEditor::SetModified(bool modified) {
    edit_.SetModified(modified);
}

} // namespace editor
