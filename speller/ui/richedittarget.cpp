#include "speller/ui/richedittarget.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "components/ui/ansiqt.h"
#include "components/ui/richeredit.h"
#include "components/ui/rtfqtdocument.h"

namespace speller::ui {

using components::ui::FromQString;
using components::ui::PartFromQt;
using components::ui::QtFromPart;
using components::ui::ToQString;

namespace {

// One byte per character of the block, so that columns stay the control's.
std::string BlockText(const QTextBlock& block) {
    const QString text = block.text();
    std::string ansi = FromQString(text);
    if (ansi.size() == static_cast<std::size_t>(text.size()))
        return ansi;
    ansi.clear();
    for (QChar c : text)
        ansi += c.isSurrogate() ? std::string("?") : FromQString(QString(c));
    return ansi;
}

} // namespace

int TRichEditTarget::LineCount() const {
    const QTextDocument& document = *edit_.document();
    // An empty control has no lines to walk.
    if (document.blockCount() == 1 && document.firstBlock().length() <= 1)
        return 0;
    return document.blockCount();
}

std::string TRichEditTarget::Line(int index) const {
    if (index < 0 || index >= LineCount())
        return {};
    return BlockText(edit_.document()->findBlockByNumber(index));
}

int TRichEditTarget::LineStart(int index) const {
    const QTextDocument& document = *edit_.document();
    if (index <= 0)
        return 0;
    if (index >= LineCount())
        return edit_.GetTextLen() + 2;
    const QTextBlock block = document.findBlockByNumber(index);
    return block.position() + block.blockNumber();
}

int TRichEditTarget::LineFromChar(int position) const {
    const QTextDocument& document = *edit_.document();
    return document.findBlock(QtFromPart(document, std::max(0, position))).blockNumber();
}

std::string TRichEditTarget::TextRange(int position, int length) const {
    std::string text;
    if (position < 0 || length <= 0)
        return text;
    int line = LineFromChar(position);
    int column = position - LineStart(line);
    const int count = LineCount();
    while (line < count && static_cast<int>(text.size()) < length) {
        std::string piece = Line(line) + "\r\n";
        if (line == count - 1)
            piece.resize(piece.size() - 2); // no paragraph end after the last one
        if (column < static_cast<int>(piece.size()))
            text += piece.substr(static_cast<std::size_t>(std::max(0, column)));
        column = 0;
        ++line;
    }
    if (static_cast<int>(text.size()) > length)
        text.resize(static_cast<std::size_t>(length));
    return text;
}

int TRichEditTarget::SelStart() const {
    return edit_.GetSelStart();
}

int TRichEditTarget::SelLength() const {
    return edit_.GetSelLength();
}

void TRichEditTarget::Select(int start, int length) {
    edit_.SetSelStart(start);
    edit_.SetSelLength(length);
}

void TRichEditTarget::ReplaceSelection(std::string_view text) {
    QTextCursor cursor = edit_.textCursor();
    if (cursor.hasSelection()) {
        QTextCursor first(edit_.document());
        first.setPosition(cursor.selectionStart() + 1);
        cursor.insertText(ToQString(text), first.charFormat());
    } else {
        cursor.insertText(ToQString(text));
    }
    edit_.setTextCursor(cursor);
}

std::optional<TRect> TRichEditTarget::ControlRect() const {
    if (!edit_.isVisible())
        return std::nullopt;
    const QPoint topLeft = edit_.mapToGlobal(QPoint(0, 0));
    return TRect{topLeft.x(), topLeft.y(), topLeft.x() + edit_.width(),
                 topLeft.y() + edit_.height()};
}

std::optional<TPoint> TRichEditTarget::CharPosition(int position) const {
    if (!edit_.isVisible())
        return std::nullopt;
    QTextCursor cursor(edit_.document());
    cursor.setPosition(QtFromPart(*edit_.document(), position));
    const QRect rect = edit_.cursorRect(cursor);
    const QPoint at = edit_.viewport()->mapToGlobal(rect.topLeft());
    return TPoint{at.x(), at.y()};
}

int TRichEditTarget::LineHeight() const {
    return edit_.fontMetrics().height();
}

int TRichEditTarget::VisibleLineCount() const {
    return std::max(0, edit_.GetVisibleLines());
}

int TRichEditTarget::FirstVisibleLine() const {
    const QTextCursor top = edit_.cursorForPosition(QPoint(0, 0));
    return top.block().blockNumber();
}

void TRichEditTarget::ScrollLines(int lines) {
    const QTextDocument& document = *edit_.document();
    const int target = std::clamp(FirstVisibleLine() + lines, 0, document.blockCount() - 1);
    const QTextBlock block = document.findBlockByNumber(target);
    const QRectF area = document.documentLayout()->blockBoundingRect(block);
    edit_.verticalScrollBar()->setValue(static_cast<int>(area.top()));
}

ITextTarget::TColumnRanges TRichEditTarget::HiddenRanges(int line) const {
    TColumnRanges ranges;
    if (line < 0 || line >= LineCount())
        return ranges;
    const QTextBlock block = edit_.document()->findBlockByNumber(line);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid() || !fragment.charFormat().boolProperty(components::ui::kQtHidden))
            continue;
        const int begin = fragment.position() - block.position();
        const int end = begin + fragment.length();
        if (!ranges.empty() && ranges.back().second == begin)
            ranges.back().second = end;
        else
            ranges.emplace_back(begin, end);
    }
    return ranges;
}

} // namespace speller::ui
