#include "editor/ui/richedittexteditor.h"

#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "components/ui/richeredit.h"
#include "components/ui/rtfqtdocument.h"
#include "editor/documenttexteditor.h"
#include "editor/markupcommands.h"

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

// The text of a paragraph with one byte per position: the braces and
// keywords of codes as they are, anything outside ASCII as "?".
std::string PositionText(const QString& text) {
    std::string out(static_cast<std::size_t>(text.size()), '?');
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].unicode() < 0x80)
            out[static_cast<std::size_t>(i)] = static_cast<char>(text[i].unicode());
    return out;
}

} // namespace

TRichEditTextEditor::TRichEditTextEditor(components::ui::TRicherEdit& edit) : edit_(edit) {
    caretMoved_ = QObject::connect(&edit_, &QTextEdit::cursorPositionChanged, &edit_,
                                   [this] { CaretMoved(); });
}

TRichEditTextEditor::~TRichEditTextEditor() {
    QObject::disconnect(caretMoved_);
}

void TRichEditTextEditor::CaretMoved() {
    const QTextCursor caret = edit_.textCursor();
    // Only a caret right behind a closing brace can be behind a code.
    if (caret.hasSelection() || caret.positionInBlock() == 0 ||
        edit_.document()->characterAt(caret.position() - 1) != QLatin1Char('}'))
        return;
    const QTextBlock block = caret.block();
    const rtf::CharFormat fallback = components::ui::DocumentDefaultFormat(*edit_.document());
    const auto formatAt = [&](std::size_t offset) {
        QTextCursor at(block);
        at.setPosition(block.position() + static_cast<int>(offset) + 1);
        return components::ui::FromQtCharFormat(at.charFormat(), fallback); // the one before
    };
    const auto sameLook = [&formatAt](std::size_t a, std::size_t b) {
        const rtf::CharFormat x = formatAt(a);
        const rtf::CharFormat y = formatAt(b);
        return x.color == y.color && x.underline == y.underline && x.strike == y.strike;
    };
    const auto look = TextLookBehindCode(
        PositionText(block.text()), static_cast<std::size_t>(caret.positionInBlock()), sameLook);
    if (!look)
        return;
    // Without a character to follow: automatic colour, no lines.
    const rtf::CharFormat text = look->From ? formatAt(*look->From) : rtf::CharFormat();
    edit_.SetSelAttributes(text, rtf::kCharColor | rtf::kCharUnderline | rtf::kCharStrike);
}

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
