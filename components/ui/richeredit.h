#pragma once
// TRicherEdit: the rich-text edit control of the topic editor and of every
// dialog that shows topic text. A QTextEdit whose content is the RTF
// engine's document model (see rtfqtdocument.h for the conversion), with
// the control's own position model, selection by 32-bit positions, line
// scrolling, scroll events, a redraw lock and transfer of RTF lines.
//
// Positions: every position this class takes or returns counts characters
// as the control's window text does, where a paragraph end is the two
// characters CR LF. So position 5 in "abc\r\ndef" is the "e". A position
// that falls between the CR and the LF means the start of the next
// paragraph. QTextDocument positions count a paragraph end once; PartFromQt
// and QtFromPart convert.
//
// Text crosses this interface as Windows-1252 bytes in std::string; typed or
// pasted characters that Windows-1252 cannot hold are refused or become "?".
//
// Hidden text ("\v") is shown, with a dotted grey line under it, so that the
// markup codes a topic keeps as hidden text can be seen and edited; a double
// underline is drawn as two lines.
//
// Tables show as tables (see rtfqtdocument.h); Tab and Shift+Tab move
// between their cells, Ctrl+Tab still leaves the control.
#include <QTextEdit>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtfformat.h"

class QMimeData;
class QTextDocument;

namespace components::ui {

// The scroll codes of the control's scroll events.
enum class TScrollCode : int {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll,
};

// Conversions between the control's positions and a QTextDocument's; both
// clamp to the text. O(log n) and O(log^2 n) in the number of paragraphs.
int PartFromQt(const QTextDocument& document, int qtPosition);
int QtFromPart(const QTextDocument& document, int partPosition);

// The first visible line that SetFirstVisibleLine aims at: `line` clamped to
// 0 .. lineCount - visibleLines + 1 (the upper bound first, so a short text
// gives 0).
int ClampFirstVisibleLine(int line, int lineCount, int visibleLines);

class TRicherEdit : public QTextEdit {
    Q_OBJECT
    Q_PROPERTY(bool WordWrap READ GetWordWrap WRITE SetWordWrap)

public:
    explicit TRicherEdit(QWidget* parent = nullptr);
    ~TRicherEdit() override;

    // ---- selection, in the control's positions
    int GetSelStart() const;
    void SetSelStart(int position); // an empty selection there
    int GetSelLength() const;
    void SetSelLength(int length); // keeps the start, end = start + length
    // The selected text, paragraph ends as CR LF. Costs O(selection).
    std::string GetSelText() const;
    // Copies at most size - 1 characters of the selected text and a
    // terminating zero; returns the number copied.
    int GetSelTextBuf(char* buffer, int size) const;
    // Replaces the selection; CR LF, CR and LF start paragraphs. It cannot
    // be undone: the undo history is emptied.
    void SetSelText(std::string_view text);
    // Length of the text in the control's positions, and the text itself
    // (paragraph ends CR LF, none after the last paragraph).
    int GetTextLen() const;
    std::string GetText() const;
    // The first position >= start where `what` occurs and ends before
    // start + length, or -1. A match does not span paragraphs.
    int FindText(std::string_view what, int start, int length,
                 const rtf::FindOptions& options = {}) const;

    // ---- formats of the selection
    // The format of the first selected character, or the format typing
    // would use when nothing is selected.
    rtf::CharFormat GetSelAttributes() const;
    // Sets the members named by `mask` (rtf::CharMask) on the selection
    // (paragraph ends included), or on what will be typed next.
    void SetSelAttributes(const rtf::CharFormat& format, std::uint32_t mask = rtf::kCharAll);
    // The format of the paragraph at the selection start.
    rtf::ParaFormat GetParagraph() const;
    // Sets the members named by `mask` (rtf::ParaMask) on every paragraph
    // the selection touches.
    void SetParagraph(const rtf::ParaFormat& format, std::uint32_t mask = rtf::kParaAll);

    // ---- lines and scrolling (lines as laid out, wrapped lines count)
    void ScrollCaret();
    int GetLineCount() const;
    int GetFirstVisibleLine() const;
    // Client height div the height of the control's font; -1 while hidden.
    int GetVisibleLines() const;
    void SetFirstVisibleLine(int line);

    // ---- redraw lock: false stops painting until true is set again
    void SetRedraw(bool redraw);
    bool GetRedraw() const { return redraw_; }

    bool GetWordWrap() const;
    // Keeps the selection and the modified flag.
    void SetWordWrap(bool wordWrap);

    bool GetModified() const;
    void SetModified(bool modified);

    // ---- content
    // RTF lines (or plain text lines) in; throws rtf::ERtfError on RTF the
    // engine refuses. Clears the undo history and the modified flag.
    void LoadFromStrings(const std::vector<std::string>& lines);
    // The content as RTF lines in the program's layout.
    void SaveToStrings(std::vector<std::string>& lines) const;
    // A file: RTF, or plain text in Windows-1252 or UTF-16 with a byte-order
    // mark. Throws platform::PlatformError when it cannot be read.
    void LoadFromFile(const std::filesystem::path& path);
    // Writes RTF, replacing the file only when the whole text is written.
    void SaveToFile(const std::filesystem::path& path) const;
    // The document model of the content, and the content from a model.
    // Setting content gives the editor a new QTextDocument (so connect to the
    // editor's signals, not to a document's).
    rtf::RtfDocument GetDocument() const;
    void SetDocument(const rtf::RtfDocument& document);

signals:
    // The scroll bars were used (after they moved). The position is a copy.
    void OnVScroll(components::ui::TRicherEdit* sender, components::ui::TScrollCode scrollCode,
                   int scrollPos);
    void OnHScroll(components::ui::TRicherEdit* sender, components::ui::TScrollCode scrollCode,
                   int scrollPos);

protected:
    virtual void DoVScroll(TScrollCode scrollCode, int scrollPos);
    virtual void DoHScroll(TScrollCode scrollCode, int scrollPos);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void WatchScrollBars();
    // Tab and Shift+Tab in a table cell: to the start of the next or
    // previous cell; past the last or first cell, out of the table.
    // False outside tables.
    bool MoveToNeighbourCell(bool backwards);
    void PaintMarks(QPainter& painter, const QRect& area);
    int LineTop(int line) const; // in document coordinates
    void LayoutAll() const;

    bool redraw_ = true;
};

} // namespace components::ui
