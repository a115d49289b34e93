#pragma once
// The bridge between the RTF engine's document model and Qt's QTextDocument.
//
// Whatever Qt can show is carried in Qt's own format properties (font face,
// size, bold, italic, single and dotted underline, strike-out, colours,
// super/subscript, alignment, margins, tab stops, bullets as lists), so that
// the widget looks right; whatever Qt cannot express, or can only express
// approximately (hidden text, double underline, the exact twips of indents
// and tabs, font character set, pitch and family, "\up"/"\dn" offsets,
// "\keepn", field instructions, pictures and other objects), rides along as
// user properties of the same formats. Reading back takes the user property
// where there is one and Qt's own property otherwise (text pasted from
// elsewhere has only Qt's). So RTF -> model -> QTextDocument -> model -> RTF
// keeps every attribute the writers read.
//
// Text: the model's Windows-1252 bytes become UTF-16, the soft line break
// 0x0B becomes U+2028 and an object's placeholder 0x01 becomes U+FFFC.
// Positions of the model and of the QTextDocument are the same numbers: both
// count a paragraph end as one character.
//
// Tables: the model's tables become QTextTables, one per run of rows at one
// depth (nested ones inside their cells). Columns are the cell edges of all
// the rows; a cell spans the columns between its edges. Each cell's end is
// the Qt cell boundary (U+FDD0 or, for the last, U+FDD1), which counts one
// character as the model's cell end does, so positions still agree. The
// row's definition rides on the format of its last cell (kQtRowFormat);
// borders, shading, gap, widths and alignment are shown with Qt's own
// table and cell properties.
#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFormat>
#include <string>
#include <string_view>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtfformat.h"

namespace components::ui {

// User properties of the formats (QTextFormat::UserProperty and up).
enum RtfQtProperty : int {
    // character formats
    kQtCharset = QTextFormat::UserProperty + 1, // int, the font's character set
    kQtPitch,                                   // int, the font's pitch
    kQtFontFamily,                              // int, rtf::FontFamily
    kQtDoubleUnderline,                         // bool, shown as a single underline plus one
    kQtHidden,                                  // bool, "\v" (shown, marked)
    kQtOffset,                                  // int, "\up"/"\dn" in half-points
    kQtFieldId,                                 // int, runs of one field share it
    kQtFieldInstruction,                        // QByteArray, "{\*\fldinst ...}"
    kQtObjectRtf,                               // QByteArray, the object's RTF
    // block formats (exact values; Qt's margins are pixels)
    kQtFirstIndent, // int twips
    kQtLeftIndent,
    kQtRightIndent,
    kQtSpaceBefore,
    kQtSpaceAfter,
    kQtLineSpacing,
    kQtLineSpacingMultiple, // bool
    kQtTabs,                // QVariantList of (position, kind, leader) triples
    kQtKeepNext,            // bool
    kQtCellMarkFormat,      // QTextCharFormat of the paragraph mark of a cell's first block
    // the root frame
    kQtDefaultFormat, // QTextCharFormat of the document's default font
    kQtStylesheet,    // QByteArray, the raw stylesheet read
    // table cells
    kQtRowFormat, // QByteArray, rtf::EncodeRow of the row, on its last cell
};

// The object type of a picture, embedded object or footnote kept as RTF.
inline constexpr int kRtfObjectType = QTextFormat::UserObject + 1;

// The character standing for an object in the QTextDocument.
inline constexpr char16_t kQtObjectChar = u'\uFFFC';
inline constexpr char16_t kQtLineBreakChar = u'\u2028';

// Twips on the screen: the widget lays text out at 96 pixels per inch.
inline constexpr double kTwipsPerPixel = 15.0;

// ---- whole documents

// Replaces the content of `document` by the model, as one edit (no undo
// step is recorded when the document's undo is off).
void ModelToQTextDocument(const rtf::RtfDocument& model, QTextDocument& document);
// The model of the whole document.
rtf::RtfDocument QTextDocumentToModel(const QTextDocument& document);

// ---- ranges (positions of the QTextDocument)

// The model of [from, to). Its last paragraph is the open tail of the range:
// the paragraph in which `to` lies, cut there (empty when `to` starts a
// paragraph).
rtf::RtfDocument QTextRangeToModel(const QTextDocument& document, int from, int to);
// Inserts a model at the cursor (replacing its selection): every paragraph
// but the last ends with a paragraph break that carries its format; the last
// one's runs join the text after the cursor, which keeps its own paragraph
// format. The cursor ends after the inserted text.
void InsertModel(QTextCursor& cursor, const rtf::RtfDocument& model);

// ---- formats

QTextCharFormat ToQtCharFormat(const rtf::CharFormat& format);
// Members that the Qt format does not hold come from `fallback`.
rtf::CharFormat FromQtCharFormat(const QTextCharFormat& format, const rtf::CharFormat& fallback);
QTextBlockFormat ToQtBlockFormat(const rtf::ParaFormat& format);
// The paragraph format of a block; `bullet` from its list membership.
rtf::ParaFormat FromQtBlock(const QTextBlock& block);
// Sets a block's paragraph format, joining or leaving a bullet list.
void SetBlockParaFormat(const QTextBlock& block, const rtf::ParaFormat& format);
// The document's default character format (the model's "\deff" font).
rtf::CharFormat DocumentDefaultFormat(const QTextDocument& document);

// ---- text

// Model text (Windows-1252, 0x0B line breaks) as Qt text.
QString ModelTextToQt(std::string_view text);
// Qt text as model text: U+2028 becomes 0x0B, U+FFFC 0x01, a paragraph
// separator or a table cell boundary `paragraphBreak`, and characters
// Windows-1252 lacks "?".
std::string QtTextToModel(QStringView text, std::string_view paragraphBreak = "\r");

} // namespace components::ui
