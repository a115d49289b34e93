#include "components/ui/richeredit.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QByteArray>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPen>
#include <QScrollBar>
#include <QSizeF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "components/rtf/rtferror.h"
#include "components/rtf/rtfwriter.h"
#include "components/rtf/stringlisttransfer.h"
#include "components/rtf/unicodeconversion.h"
#include "components/ui/ansiqt.h"
#include "components/ui/rtfobjectrenderer.h"
#include "components/ui/rtfqtdocument.h"
#include "platform/fileio.h"

namespace components::ui {

namespace {

const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlias = QStringLiteral("application/rtf");

// Where tabs stop in a paragraph without tab stops of its own: every half
// inch, as RTF readers assume without "\\deftab".
constexpr int kDefaultTabTwips = 720;

// The colour of the dotted line under hidden text.
const QColor kHiddenMark(128, 128, 128);

// The control position where a paragraph starts: every earlier paragraph
// end counts twice.
int PartStartOfBlock(const QTextBlock& block) {
    return block.position() + block.blockNumber();
}

int QtTextEnd(const QTextDocument& document) {
    return document.characterCount() - 1;
}

TScrollCode ScrollCodeOf(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        return TScrollCode::scLineDown;
    case QAbstractSlider::SliderSingleStepSub:
        return TScrollCode::scLineUp;
    case QAbstractSlider::SliderPageStepAdd:
        return TScrollCode::scPageDown;
    case QAbstractSlider::SliderPageStepSub:
        return TScrollCode::scPageUp;
    case QAbstractSlider::SliderToMinimum:
        return TScrollCode::scTop;
    case QAbstractSlider::SliderToMaximum:
        return TScrollCode::scBottom;
    default:
        return TScrollCode::scTrack;
    }
}

// The clipboard's RTF of a range: its last paragraph is the open tail of the
// selection, so it must not end with a paragraph break of its own.
// Whether a block holds a run of characters without a blank between them so
// long that breaking it at the page's edge would cost more than laying out
// a page of text (no prose, address or path comes near it).
bool HasUnbrokenRun(const QTextDocument& document) {
    constexpr int kLongestRun = 2000;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.length() <= kLongestRun)
            continue;
        int run = 0;
        for (const QChar c : block.text()) {
            run = c.isSpace() ? 0 : run + 1;
            if (run > kLongestRun)
                return true;
        }
    }
    return false;
}

std::string ClipboardRtf(const rtf::RtfDocument& model) {
    std::string text = rtf::WriteRtf(model);
    const std::string closing = "\\par }";
    const std::size_t at = text.rfind(closing);
    if (at != std::string::npos)
        text.erase(at, closing.size() - 1);
    return text;
}

// The visible line number of a document y, walking the laid-out blocks.
struct LineWalker {
    const QTextDocument& document;

    template <typename Visit> void Each(Visit visit) const {
        int line = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            const int count = layout ? std::max(layout->lineCount(), 1) : 1;
            for (int i = 0; i < count; ++i, ++line) {
                if (!visit(line, layout, i))
                    return;
            }
        }
    }
};

qreal LineTopIn(const QTextLayout* layout, int index) {
    if (!layout || index >= layout->lineCount())
        return layout ? layout->position().y() : 0;
    return layout->position().y() + layout->lineAt(index).y();
}

} // namespace

int PartFromQt(const QTextDocument& document, int qtPosition) {
    qtPosition = std::clamp(qtPosition, 0, QtTextEnd(document));
    return qtPosition + document.findBlock(qtPosition).blockNumber();
}

int QtFromPart(const QTextDocument& document, int partPosition) {
    if (partPosition <= 0)
        return 0;
    int low = 0;
    int high = document.blockCount() - 1;
    while (low < high) { // the last block starting at or before the position
        const int middle = (low + high + 1) / 2;
        if (PartStartOfBlock(document.findBlockByNumber(middle)) <= partPosition)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = document.findBlockByNumber(low);
    const int offset = partPosition - PartStartOfBlock(block);
    const int textLength = block.length() - 1;
    if (offset <= textLength)
        return block.position() + offset;
    // Between CR and LF, or past the end: the next paragraph's start.
    return std::min(block.position() + block.length(), QtTextEnd(document));
}

int ClampFirstVisibleLine(int line, int lineCount, int visibleLines) {
    const int last = lineCount - visibleLines + 1;
    if (line > last)
        line = last;
    return std::max(line, 0);
}

TRicherEdit::TRicherEdit(QWidget* parent) : QTextEdit(parent) {
    setTabStopDistance(kDefaultTabTwips / kTwipsPerPixel);
    SetDocument(rtf::RtfDocument());
    WatchScrollBars();
}

TRicherEdit::~TRicherEdit() = default;

// ---- selection

int TRicherEdit::GetSelStart() const {
    return PartFromQt(*document(), textCursor().selectionStart());
}

void TRicherEdit::SetSelStart(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(QtFromPart(*document(), position));
    setTextCursor(cursor);
}

int TRicherEdit::GetSelLength() const {
    const QTextCursor cursor = textCursor();
    return PartFromQt(*document(), cursor.selectionEnd()) -
           PartFromQt(*document(), cursor.selectionStart());
}

void TRicherEdit::SetSelLength(int length) {
    const int start = GetSelStart();
    const int end = std::clamp(start + length, 0, GetTextLen());
    QTextCursor cursor = textCursor();
    cursor.setPosition(QtFromPart(*document(), start));
    cursor.setPosition(QtFromPart(*document(), end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

std::string TRicherEdit::GetSelText() const {
    // selectedText() reads the selection's fragments only.
    return QtTextToModel(textCursor().selectedText(), "\r\n");
}

int TRicherEdit::GetSelTextBuf(char* buffer, int size) const {
    if (!buffer || size <= 0)
        return 0;
    const std::string text = GetSelText();
    const int count = static_cast<int>(std::min<std::size_t>(text.size(), size - 1));
    std::memcpy(buffer, text.data(), static_cast<std::size_t>(count));
    buffer[count] = '\0';
    return count;
}

void TRicherEdit::SetSelText(std::string_view text) {
    QTextCursor cursor = textCursor();
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    cursor.insertText(ModelTextToQt(text));
    doc->setUndoRedoEnabled(true);
    setTextCursor(cursor);
}

int TRicherEdit::GetTextLen() const {
    return QtTextEnd(*document()) + document()->blockCount() - 1;
}

std::string TRicherEdit::GetText() const {
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    return QtTextToModel(cursor.selectedText(), "\r\n");
}

int TRicherEdit::FindText(std::string_view what, int start, int length,
                          const rtf::FindOptions& options) const {
    if (what.empty())
        return -1;
    const QTextDocument& doc = *document();
    const int end = length < 0 ? GetTextLen() : start + length;
    QTextDocument::FindFlags flags;
    if (options.matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (options.wholeWord)
        flags |= QTextDocument::FindWholeWords;
    const QTextCursor found = doc.find(ModelTextToQt(what), QtFromPart(doc, start), flags);
    if (found.isNull() || PartFromQt(doc, found.selectionEnd()) > end)
        return -1;
    return PartFromQt(doc, found.selectionStart());
}

// ---- formats

rtf::CharFormat TRicherEdit::GetSelAttributes() const {
    const QTextDocument& doc = *document();
    const rtf::CharFormat fallback = DocumentDefaultFormat(doc);
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return FromQtCharFormat(cursor.charFormat(), fallback);
    const int start = cursor.selectionStart();
    const QTextBlock block = doc.findBlock(start);
    if (start == block.position() + block.length() - 1) // a paragraph end
        return FromQtCharFormat(block.charFormat(), fallback);
    QTextCursor first(const_cast<QTextDocument*>(&doc));
    first.setPosition(start + 1); // the format of the character before it
    return FromQtCharFormat(first.charFormat(), fallback);
}

void TRicherEdit::SetSelAttributes(const rtf::CharFormat& format, std::uint32_t mask) {
    QTextDocument& doc = *document();
    const rtf::CharFormat fallback = DocumentDefaultFormat(doc);
    auto changed = [&](const QTextCharFormat& qt) {
        rtf::CharFormat model = FromQtCharFormat(qt, fallback);
        rtf::ApplyCharFormat(model, format, mask);
        return ToQtCharFormat(model);
    };
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        const QTextCharFormat typing = changed(cursor.charFormat());
        if (cursor.block().length() == 1) // an empty paragraph: its mark too
            cursor.setBlockCharFormat(typing);
        setCurrentCharFormat(typing);
        return;
    }
    // Collect first: changing formats re-cuts the fragments being walked.
    struct Change {
        int from, to;
        QTextCharFormat format;
    };
    std::vector<Change> changes;
    std::vector<std::pair<QTextBlock, QTextCharFormat>> marks;
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    for (QTextBlock block = doc.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int end = std::min(fragment.position() + fragment.length(), to);
            if (start >= end)
                continue;
            const QTextCharFormat old = fragment.charFormat();
            QTextCharFormat updated = changed(old);
            for (int property : {int(kQtFieldId), int(kQtFieldInstruction), int(kQtObjectRtf)})
                if (old.hasProperty(property))
                    updated.setProperty(property, old.property(property));
            updated.setObjectType(old.objectType());
            changes.push_back({start, end, updated});
        }
        const int paragraphEnd = block.position() + block.length() - 1;
        if (paragraphEnd >= from && paragraphEnd < to)
            marks.emplace_back(block, changed(block.charFormat()));
    }
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    for (const Change& change : changes) {
        edit.setPosition(change.from);
        edit.setPosition(change.to, QTextCursor::KeepAnchor);
        edit.setCharFormat(change.format);
    }
    for (const auto& [block, mark] : marks) {
        QTextCursor markCursor(block);
        markCursor.setBlockCharFormat(mark);
    }
    edit.endEditBlock();
}

rtf::ParaFormat TRicherEdit::GetParagraph() const {
    return FromQtBlock(document()->findBlock(textCursor().selectionStart()));
}

void TRicherEdit::SetParagraph(const rtf::ParaFormat& format, std::uint32_t mask) {
    QTextDocument& doc = *document();
    const QTextCursor cursor = textCursor();
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    QTextBlock last = doc.findBlock(to);
    if (to > from && to == last.position() && last.previous().isValid())
        last = last.previous(); // a selection ending at a paragraph start leaves it alone
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    for (QTextBlock block = doc.findBlock(from); block.isValid(); block = block.next()) {
        rtf::ParaFormat model = FromQtBlock(block);
        rtf::ApplyParaFormat(model, format, mask);
        SetBlockParaFormat(block, model);
        if (block == last)
            break;
    }
    edit.endEditBlock();
}

// ---- lines and scrolling

void TRicherEdit::ScrollCaret() {
    ensureCursorVisible();
}

void TRicherEdit::LayoutAll() const {
    // Lays out what the background layout has not reached yet.
    const QTextDocument& doc = *document();
    doc.documentLayout()->blockBoundingRect(doc.lastBlock());
}

int TRicherEdit::GetLineCount() const {
    LayoutAll();
    int count = 0;
    LineWalker{*document()}.Each([&](int, const QTextLayout*, int) {
        ++count;
        return true;
    });
    return count;
}

int TRicherEdit::GetFirstVisibleLine() const {
    const qreal top = verticalScrollBar()->value();
    // Lays out as far as the top of the view: the lines above it are counted.
    document()->documentLayout()->hitTest(QPointF(0, top + viewport()->height()), Qt::FuzzyHit);
    int first = 0;
    LineWalker{*document()}.Each([&](int line, const QTextLayout* layout, int index) {
        first = line;
        if (!layout || index >= layout->lineCount())
            return true;
        const QTextLine textLine = layout->lineAt(index);
        const qreal bottom = layout->position().y() + textLine.y() + textLine.height();
        return !(bottom > top + 0.5);
    });
    return first;
}

int TRicherEdit::GetVisibleLines() const {
    if (!isVisible())
        return -1;
    const int height = QFontMetrics(font()).height();
    return height > 0 ? viewport()->height() / height : -1;
}

int TRicherEdit::LineTop(int line) const {
    qreal top = 0;
    LineWalker{*document()}.Each([&](int current, const QTextLayout* layout, int index) {
        if (current < line)
            return true;
        top = LineTopIn(layout, index);
        return false;
    });
    return qRound(top);
}

void TRicherEdit::SetFirstVisibleLine(int line) {
    const int target = ClampFirstVisibleLine(line, GetLineCount(), GetVisibleLines());
    verticalScrollBar()->setValue(target == 0 ? 0 : LineTop(target));
}

// ---- redraw lock, word wrap, modified flag

void TRicherEdit::SetRedraw(bool redraw) {
    if (redraw == redraw_)
        return;
    setUpdatesEnabled(redraw);
    if (redraw)
        viewport()->update();
    redraw_ = redraw;
}

bool TRicherEdit::GetWordWrap() const {
    return lineWrapMode() != QTextEdit::NoWrap;
}

void TRicherEdit::SetWordWrap(bool wordWrap) {
    if (wordWrap == GetWordWrap())
        return;
    const bool modified = GetModified();
    const int start = GetSelStart();
    const int length = GetSelLength();
    setLineWrapMode(wordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    SetSelStart(start);
    SetSelLength(length);
    SetModified(modified);
}

bool TRicherEdit::GetModified() const {
    return document()->isModified();
}

void TRicherEdit::SetModified(bool modified) {
    document()->setModified(modified);
}

// ---- content

void TRicherEdit::LoadFromStrings(const std::vector<std::string>& lines) {
    SetDocument(rtf::LoadFromStrings(lines));
}

void TRicherEdit::SaveToStrings(std::vector<std::string>& lines) const {
    lines = rtf::SaveToStrings(GetDocument());
}

void TRicherEdit::LoadFromFile(const std::filesystem::path& path) {
    SetDocument(rtf::RtfDocument::Parse(rtf::ConvertReadBytes(platform::ReadFileBytes(path))));
}

void TRicherEdit::SaveToFile(const std::filesystem::path& path) const {
    platform::WriteFileAtomic(path, rtf::WriteRtf(GetDocument()));
}

rtf::RtfDocument TRicherEdit::GetDocument() const {
    return QTextDocumentToModel(*document());
}

void TRicherEdit::SetDocument(const rtf::RtfDocument& model) {
    // The content goes into a new document that has no layout yet: given to
    // the editor, it is laid out as far as the screen shows at once and the
    // rest in the background, while filling the shown document would lay
    // out the whole text before anything is painted.
    QTextDocument* old = document();
    auto* fresh = new QTextDocument(this);
    fresh->setUndoRedoEnabled(false);
    fresh->setDefaultFont(old->defaultFont());
    fresh->setDefaultTextOption(old->defaultTextOption());
    fresh->setDocumentMargin(old->documentMargin());
    ModelToQTextDocument(model, *fresh);
    // Breaking a word that is wider than the page at the page's edge
    // measures the rest of the word again for every line, which grows with
    // the square of its length: a text with a run of more than 2,000
    // characters without a blank is broken anywhere instead.
    const QTextOption::WrapMode wrap = HasUnbrokenRun(*fresh)
                                           ? QTextOption::WrapAnywhere
                                           : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wrap != wordWrapMode()) {
        // The old text goes; it is not laid out again in the new mode.
        old->setPageSize(QSizeF(0, 0));
        setWordWrapMode(wrap);
        fresh->setDefaultTextOption(old->defaultTextOption());
    }
    fresh->setUndoRedoEnabled(true);
    fresh->setModified(false);
    // Without a page size the layout made for the object renderer lays
    // nothing out: the editor gives the page its width and lays the text
    // out once. (A table is laid out whole, so a layout at a width of no
    // use would cost as much as the real one.)
    fresh->setPageSize(QSizeF(0, 0));
    TRtfObjectRenderer::Install(*fresh);
    // The editor frees its first document itself; the later ones are ours.
    const bool ownsOld = old->parent() == this;
    setDocument(fresh);
    if (ownsOld)
        delete old;
    setTextCursor(QTextCursor(fresh));
}

// ---- scroll events

void TRicherEdit::WatchScrollBars() {
    auto watch = [this](QScrollBar* bar, bool vertical) {
        bar->installEventFilter(this);
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar, vertical](int action) {
            if (action == QAbstractSlider::SliderNoAction)
                return;
            // The event follows the scroll, as the window's message did.
            bar->setValue(bar->sliderPosition());
            const TScrollCode code = ScrollCodeOf(action);
            vertical ? DoVScroll(code, bar->value()) : DoHScroll(code, bar->value());
        });
        connect(bar, &QAbstractSlider::sliderReleased, this, [this, bar, vertical] {
            vertical ? DoVScroll(TScrollCode::scPosition, bar->value())
                     : DoHScroll(TScrollCode::scPosition, bar->value());
        });
    };
    watch(verticalScrollBar(), true);
    watch(horizontalScrollBar(), false);
}

bool TRicherEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == verticalScrollBar())
            DoVScroll(TScrollCode::scEndScroll, verticalScrollBar()->value());
        else if (watched == horizontalScrollBar())
            DoHScroll(TScrollCode::scEndScroll, horizontalScrollBar()->value());
    }
    return QTextEdit::eventFilter(watched, event);
}

void TRicherEdit::DoVScroll(TScrollCode scrollCode, int scrollPos) {
    emit OnVScroll(this, scrollCode, scrollPos);
}

void TRicherEdit::DoHScroll(TScrollCode scrollCode, int scrollPos) {
    emit OnHScroll(this, scrollCode, scrollPos);
}

// ---- painting: hidden text and double underlines

void TRicherEdit::paintEvent(QPaintEvent* event) {
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    PaintMarks(painter, event->rect());
}

void TRicherEdit::PaintMarks(QPainter& painter, const QRect& area) {
    const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    // From the top: a hit test (and a text cursor placed by one) on a text
    // not laid out to its end can land far below the view and lay out the
    // stretch there. The blocks above the view cost a look-up each.
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        // A block without lines is not laid out yet, so it lies below what
        // was painted; asking for its rectangle would lay out the next stretch
        // of the text first (a fresh topic is laid out on the screen's demand
        // and in the background).
        const QTextLayout* textLayout = block.layout();
        if (!textLayout || textLayout->lineCount() == 0)
            break;
        const QRectF bounds = layout->blockBoundingRect(block).translated(-scroll);
        if (bounds.top() > area.bottom())
            break;
        if (bounds.bottom() < area.top())
            continue;
        // The layout's origin in the document: a block in a table cell has
        // its layout placed relative to the cell, its bounding rectangle not.
        const QPointF origin = bounds.topLeft();
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const bool hidden = format.boolProperty(kQtHidden);
            const bool doubled = format.boolProperty(kQtDoubleUnderline) &&
                                 format.underlineStyle() == QTextCharFormat::SingleUnderline;
            if (!hidden && !doubled)
                continue;
            const QFontMetricsF metrics(format.font());
            const QColor ink = format.hasProperty(QTextFormat::ForegroundBrush)
                                   ? format.foreground().color()
                                   : palette().color(QPalette::Text);
            const int start = fragment.position() - block.position();
            const int end = start + fragment.length();
            for (int i = 0; i < textLayout->lineCount(); ++i) {
                const QTextLine line = textLayout->lineAt(i);
                const int from = std::max(start, line.textStart());
                const int to = std::min(end, line.textStart() + line.textLength());
                if (from >= to)
                    continue;
                const qreal x1 = origin.x() + line.cursorToX(from);
                const qreal x2 = origin.x() + line.cursorToX(to);
                const qreal baseline = origin.y() + line.y() + line.ascent();
                if (doubled) {
                    const qreal width = std::max<qreal>(metrics.lineWidth(), 1);
                    // Two line widths below Qt's own line: a clear gap.
                    const qreal y = std::floor(baseline + metrics.underlinePos()) + 3 * width + 0.5;
                    painter.setPen(QPen(ink, width));
                    painter.drawLine(QPointF(x1, y), QPointF(x2, y));
                }
                if (hidden) {
                    const qreal y = origin.y() + line.y() + line.height() - 0.5;
                    painter.setPen(QPen(kHiddenMark, 1, Qt::DotLine));
                    painter.drawLine(QPointF(x1, y), QPointF(x2, y));
                }
            }
        }
    }
}

// ---- keys and the clipboard

void TRicherEdit::keyPressEvent(QKeyEvent* event) {
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier)) {
        const bool backwards =
            event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        // QTextEdit's own override refuses to leave an editable text.
        QWidget::focusNextPrevChild(!backwards);
        return;
    }
    if (tab && MoveToNeighbourCell(event->key() == Qt::Key_Backtab ||
                                   (event->modifiers() & Qt::ShiftModifier)))
        return;
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::NoModifier && !isReadOnly()) {
        // Always a tab character, also at the start of a bullet paragraph.
        insertPlainText(QStringLiteral("\t"));
        return;
    }
    const QString text = event->text();
    if (!isReadOnly() && !text.isEmpty() && text.at(0).isPrint() && !FitsAnsi(text)) {
        // The topic text cannot hold it: say so at the caret.
        QApplication::beep();
        QToolTip::showText(viewport()->mapToGlobal(cursorRect().bottomLeft()),
                           RefusedCharacterMessage(), this);
        return;
    }
    QTextEdit::keyPressEvent(event);
}

bool TRicherEdit::MoveToNeighbourCell(bool backwards) {
    QTextCursor cursor = textCursor();
    QTextTable* table = cursor.currentTable();
    if (!table)
        return false;
    const QTextTableCell cell = table->cellAt(cursor);
    int row = cell.row();
    int column = backwards ? cell.column() - 1 : cell.column() + cell.columnSpan();
    if (column >= table->columns()) {
        ++row;
        column = 0;
    } else if (column < 0) {
        --row;
        column = table->columns() - 1;
    }
    if (row >= table->rows()) {
        // Past the last cell: on to the text after the table.
        cursor = table->lastCursorPosition();
        cursor.movePosition(QTextCursor::NextCharacter);
    } else if (row < 0) {
        cursor = table->firstCursorPosition();
        cursor.movePosition(QTextCursor::PreviousCharacter);
    } else {
        cursor = table->cellAt(row, column).firstCursorPosition();
    }
    setTextCursor(cursor);
    return true;
}

QMimeData* TRicherEdit::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* mime = new QMimeData;
    const std::string rtfText = ClipboardRtf(
        QTextRangeToModel(*document(), cursor.selectionStart(), cursor.selectionEnd()));
    const QByteArray bytes(rtfText.data(), static_cast<qsizetype>(rtfText.size()));
    mime->setData(kRtfMime, bytes);
    mime->setData(kRtfMimeAlias, bytes);
    QString plain = cursor.selectedText();
    plain.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    plain.replace(QChar(kQtLineBreakChar), QLatin1Char('\n'));
    plain.remove(QChar(kQtObjectChar));
    mime->setText(plain);
    return mime;
}

bool TRicherEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasFormat(kRtfMime) || source->hasFormat(kRtfMimeAlias) || source->hasText();
}

void TRicherEdit::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly())
        return;
    const QString rtfFormat = source->hasFormat(kRtfMime) ? kRtfMime : kRtfMimeAlias;
    if (source->hasFormat(rtfFormat)) {
        const QByteArray bytes = source->data(rtfFormat);
        try {
            rtf::RtfDocument pasted;
            pasted.InsertRtf(
                0, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
            QTextCursor cursor = textCursor();
            InsertModel(cursor, pasted);
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        } catch (const rtf::ERtfError&) {
            // refused RTF: take the plain text, if any
        }
    }
    if (source->hasText())
        insertPlainText(ModelTextToQt(QtTextToModel(source->text())));
}

} // namespace components::ui
