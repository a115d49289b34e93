#include "editor/ui/richedittexteditor.h"

#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "components/ui/richeredit.h"
#include "components/ui/rtfqtdocument.h"
#include "editor/documenttexteditor.h"

namespace editor::ui {

using components::ui::ModelTextToQt;
using components::ui::QtTextToModel;

namespace {

int ToInt(std::size_t value) {
    return static_cast<int>(std::min<std::size_t>(value, INT32_MAX));
}

// Inserts model text at the cursor in `format`; "\r\n" starts a paragraph.
void InsertModelText(QTextCursor& cursor, std::string_view text, const QTextCharFormat& format) {
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", from);
        cursor.insertText(ModelTextToQt(text.substr(from, end - from)), format);
        if (end == std::string_view::npos)
            return;
        cursor.insertBlock();
        from = end + 2;
    }
}

} // namespace

void TRichEditTextEditor::LoadDocument(const rtf::RtfDocument& document) {
    edit_.SetDocument(document);
}

rtf::RtfDocument TRichEditTextEditor::SaveDocument() const {
    return edit_.GetDocument();
}

std::size_t TRichEditTextEditor::TextLength() const {
    return static_cast<std::size_t>(edit_.document()->characterCount());
}

std::string TRichEditTextEditor::TextRange(std::size_t pos, std::size_t count) const {
    // The final paragraph end cannot be selected in a QTextDocument; it is
    // text all the same.
    const int last = LastCaret();
    const int from = std::min(ToInt(pos), last);
    const int end = std::min(ToInt(pos + count), last);
    QTextCursor cursor(edit_.document());
    cursor.setPosition(from);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    std::string text = QtTextToModel(cursor.selectedText());
    if (pos + count > static_cast<std::size_t>(last) && pos <= static_cast<std::size_t>(last))
        text += '\r';
    return text;
}

std::size_t TRichEditTextEditor::SelStart() const {
    return static_cast<std::size_t>(edit_.textCursor().selectionStart());
}

std::size_t TRichEditTextEditor::SelLength() const {
    const QTextCursor cursor = edit_.textCursor();
    return static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart());
}

int TRichEditTextEditor::LastCaret() const {
    return edit_.document()->characterCount() - 1;
}

void TRichEditTextEditor::SetSelection(std::size_t start, std::size_t length) {
    QTextCursor cursor(edit_.document());
    const int from = std::min(ToInt(start), LastCaret());
    cursor.setPosition(from);
    cursor.setPosition(std::min(ToInt(start + length), LastCaret()), QTextCursor::KeepAnchor);
    edit_.setTextCursor(cursor);
}

void TRichEditTextEditor::ReplaceSelection(std::string_view text) {
    QTextCursor cursor = edit_.textCursor();
    const QTextCharFormat typing = edit_.currentCharFormat();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    InsertModelText(cursor, text, typing);
    cursor.endEditBlock();
    edit_.setTextCursor(cursor);
}

void TRichEditTextEditor::ReplaceRange(std::size_t pos, std::size_t count, std::string_view text) {
    QTextCursor cursor(edit_.document());
    // A cursor's format is that of the character before it: the range's first.
    cursor.setPosition(std::min(ToInt(pos) + 1, LastCaret()));
    const QTextCharFormat format = cursor.charFormat();
    cursor.setPosition(ToInt(pos));
    cursor.setPosition(std::min(ToInt(pos + count), LastCaret()), QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    InsertModelText(cursor, text, format);
    cursor.endEditBlock();
}

TSelectionFormat TRichEditTextEditor::SelFormat() const {
    const std::size_t length = SelLength();
    if (length == 0)
        return {edit_.GetSelAttributes(), rtf::kCharAll};
    const int start = ToInt(SelStart());
    const rtf::RtfDocument range =
        components::ui::QTextRangeToModel(*edit_.document(), start, start + ToInt(length));
    return SelectionFormatOf(range, 0, length);
}

void TRichEditTextEditor::SetSelFormat(const rtf::CharFormat& format, std::uint32_t mask) {
    edit_.SetSelAttributes(format, mask);
}

void TRichEditTextEditor::SetRangeFormat(std::size_t pos, std::size_t count,
                                         const rtf::CharFormat& format, std::uint32_t mask) {
    if (count == 0)
        return;
    // Through the widget's own formatting, on a selection borrowed quietly.
    const QTextCursor selection = edit_.textCursor();
    const QTextCharFormat typing = edit_.currentCharFormat();
    {
        const QSignalBlocker block(&edit_);
        QTextCursor range(edit_.document());
        range.setPosition(ToInt(pos));
        range.setPosition(std::min(ToInt(pos + count), LastCaret() + 1), QTextCursor::KeepAnchor);
        edit_.setTextCursor(range);
        edit_.SetSelAttributes(format, mask);
        edit_.setTextCursor(selection);
        if (!selection.hasSelection())
            edit_.setCurrentCharFormat(typing);
    }
}

rtf::ParaFormat TRichEditTextEditor::SelParaFormat() const {
    return edit_.GetParagraph();
}

void TRichEditTextEditor::SetSelParaFormat(const rtf::ParaFormat& format, std::uint32_t mask) {
    edit_.SetParagraph(format, mask);
}

bool TRichEditTextEditor::Modified() const {
    return edit_.GetModified();
}

void TRichEditTextEditor::SetModified(bool modified) {
    edit_.SetModified(modified);
}

void TRichEditTextEditor::SetReadOnly(bool readOnly) {
    edit_.setReadOnly(readOnly);
}

bool TRichEditTextEditor::ReadOnly() const {
    return edit_.isReadOnly();
}

} // namespace editor::ui
