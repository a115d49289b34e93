#pragma once
// The document model: paragraphs of formatted runs. Its plain text holds one
// "\r" per paragraph (every paragraph, the last one too, ends with one), and
// positions are offsets into that text. Hidden text is part of the text.
// Pictures, embedded objects and footnotes are one placeholder character
// each that keeps the original RTF; fields keep their instruction and show
// their result as ordinary text.
//
// Tables are paragraphs too: a paragraph inside a table's cell has a depth
// (1 in a table, 2 in a table nested in a cell, ...); the last paragraph of a
// cell ends the cell ("\cell"), and the last cell of a row carries the row's
// definition. A cell end is one "\r" in the plain text like any paragraph
// end, so positions match a rich-edit document that shows the cells: there
// a table always follows a paragraph of its own container (an empty one
// stands before a table that starts the document or a cell) and a paragraph
// outside the tables ends the document.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "components/rtf/rtfformat.h"
#include "components/rtf/rtftable.h"

namespace rtf {

// The character that stands for an object in the plain text.
inline constexpr char kObjectChar = '\x01';
// The character of a soft line break ("\line").
inline constexpr char kLineBreakChar = '\x0B';
// The character of a paragraph end in the plain text.
inline constexpr char kParagraphChar = '\r';

// A stretch of a paragraph's text in one format. Runs hold no characters
// of their own: they cover the paragraph's text in order, so a document of
// many small runs costs one text buffer per paragraph. Formats are kept once
// per document (RtfDocument::Format) and named here by index.
struct Run {
    std::size_t length = 0;   // characters of the paragraph's text (1 for an object)
    std::uint32_t format = 0; // index into the document's formats
    // For an object run (one kObjectChar): the object's RTF as read, from
    // "{" to "}" ("{\pict...}", "{\object...}", "{\footnote...}").
    std::shared_ptr<const std::string> object;
    // For text that is the result of a field: the field's "{\*\fldinst ...}"
    // group. Consecutive runs holding the same pointer form one field.
    std::shared_ptr<const std::string> field;

    bool IsObject() const { return object != nullptr; }
};

struct Paragraph {
    std::string text;         // Windows-1252; never contains '\r'
    std::vector<Run> runs;    // cover `text`; adjacent runs differ in format, field or object-ness
    std::uint32_t format = 0; // index into the document's paragraph formats
    std::uint32_t markFormat = 0; // the format of the paragraph mark (its "\r")
    std::uint8_t depth = 0;       // table nesting: 0 outside tables
    bool cellEnd = false;         // the mark ends a table cell
    // On the last cell end of a row: the row's definition.
    std::shared_ptr<const RowFormat> row;

    bool RowEnd() const { return row != nullptr; }

    std::size_t Length() const { return text.size(); } // the paragraph mark not counted
    const std::string& Text() const { return text; }   // without the paragraph mark
};

// Calls fn(run, characters) for each run of the paragraph in order.
template <class Fn> void ForEachRun(const Paragraph& paragraph, Fn&& fn) {
    std::string_view text(paragraph.text);
    std::size_t offset = 0;
    for (const Run& run : paragraph.runs) {
        fn(run, text.substr(offset, run.length));
        offset += run.length;
    }
}

// The characters of the paragraph's run `index` (walks the runs before it).
inline std::string_view RunText(const Paragraph& paragraph, std::size_t index) {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index; ++i)
        offset += paragraph.runs[i].length;
    return std::string_view(paragraph.text).substr(offset, paragraph.runs[index].length);
}

// Adds characters (or, with `object`, the one kObjectChar of an object) in
// the format named by `format` to the end of a paragraph being built.
inline void AppendRun(Paragraph& paragraph, std::string_view text, std::uint32_t format,
                      std::shared_ptr<const std::string> object = {},
                      std::shared_ptr<const std::string> field = {}) {
    paragraph.text += text;
    paragraph.runs.push_back(Run{text.size(), format, std::move(object), std::move(field)});
}

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false; // the match must not touch letters or digits on either side
};

class RtfDocument {
public:
    // An empty document: one empty paragraph.
    RtfDocument();

    // Reads RTF. Text that does not start with "{\rtf" (after leading blanks
    // and line breaks) is plain text: one plain paragraph per line (CR LF, LF
    // or CR). Throws ERtfError when the RTF nests deeper than kMaxGroupDepth.
    static RtfDocument Parse(std::string_view text);
    // Plain text, one paragraph per line, all in `format`.
    static RtfDocument FromPlainText(std::string_view text, const CharFormat& format = {});

    // ---- reading
    const std::vector<Paragraph>& Paragraphs() const { return paragraphs_; }
    // The character format a run or paragraph mark names.
    const CharFormat& Format(std::uint32_t index) const { return formats_[index]; }
    const CharFormat& FormatOf(const Run& run) const { return formats_[run.format]; }
    const CharFormat& MarkFormatOf(const Paragraph& p) const { return formats_[p.markFormat]; }
    const ParaFormat& ParaFormatOf(const Paragraph& p) const { return paraFormats_[p.format]; }

    // ---- bulk building (readers of other document forms)
    // Direct access; positions are recomputed afterwards. A document must
    // keep at least one paragraph.
    std::vector<Paragraph>& Paragraphs() {
        Invalidate();
        return paragraphs_;
    }
    // The index that names `format` in this document's runs and paragraphs.
    std::uint32_t InternFormat(const CharFormat& format) { return Intern(format); }
    std::uint32_t InternFormat(const ParaFormat& format) { return Intern(format); }
    std::string Text() const;       // plain text, "\r" after every paragraph
    std::size_t TextLength() const; // == Text().size()
    std::string TextRange(std::size_t pos, std::size_t count) const;
    // The format of the character at `pos` (the paragraph mark's format at a
    // "\r"; the last character's format at or beyond the end).
    CharFormat CharFormatAt(std::size_t pos) const;
    // The format of the paragraph holding `pos`.
    const ParaFormat& ParaFormatAt(std::size_t pos) const;
    // The default font of the document as read ("\deff"), used by writers that
    // need one; "Arial" for plain text.
    const CharFormat& DefaultFormat() const { return defaultFormat_; }
    void SetDefaultFormat(const CharFormat& format) { defaultFormat_ = format; }
    // The raw stylesheet of the RTF read, kept for writers that want it.
    const std::string& Stylesheet() const { return stylesheet_; }

    // ---- lines (a line is a paragraph)
    std::size_t LineCount() const { return paragraphs_.size(); }
    std::size_t LineFromChar(std::size_t pos) const; // last line for pos past the end
    std::size_t LineIndex(std::size_t line) const;   // start position; TextLength() past the end
    std::size_t LineLength(std::size_t line) const;  // without the paragraph mark
    std::string LineText(std::size_t line) const;

    // ---- edits (positions are clamped to the text)
    // Removes `count` characters from `pos`; paragraph marks removed join
    // paragraphs (the first keeps its format). The final mark stays.
    void Erase(std::size_t pos, std::size_t count);
    // Inserts plain text in `format`; CR LF, LF and CR start new paragraphs,
    // which take the format of the paragraph they were split from.
    void InsertText(std::size_t pos, std::string_view text, const CharFormat& format);
    // Inserts plain text in the format of the character before `pos`.
    void InsertText(std::size_t pos, std::string_view text);
    // Inserts RTF (or plain text) as parsed; its paragraphs keep their formats.
    // Its last paragraph joins the text after `pos` unless it was closed by
    // "\par". Throws ERtfError as Parse does.
    void InsertRtf(std::size_t pos, std::string_view rtf);
    // Replaces `count` characters from `pos` by the text (a selection replace).
    void Replace(std::size_t pos, std::size_t count, std::string_view text);
    // Applies the members of `format` named by `mask` (CharMask) to a range.
    void SetCharFormat(std::size_t pos, std::size_t count, const CharFormat& format,
                       std::uint32_t mask = kCharAll);
    // Applies the members named by `mask` (ParaMask) to every paragraph that
    // the range touches (the paragraph at `pos` for an empty range).
    void SetParaFormat(std::size_t pos, std::size_t count, const ParaFormat& format,
                       std::uint32_t mask = kParaAll);
    // First match of `what` in [from, to), or -1. `to` past the end means the end.
    std::ptrdiff_t Find(std::string_view what, std::size_t from, std::size_t to,
                        const FindOptions& options = {}) const;
    void Clear();

    // Merges adjacent runs of equal format (edits call it; cheap).
    void Normalize();
    // Makes the table structure sound: table paragraphs that no row end
    // closes leave the table, a nested row that no outer cell holds moves
    // out, and the empty paragraphs that must stand before a table that
    // starts the document or a cell, and after a table that ends the
    // document, are added. Readers of other document forms call it.
    void NormalizeTables();
    // Whether erasing the mark of this paragraph would break the tables
    // (a cell end, or the end of a paragraph at another depth than the next).
    bool StructuralMark(std::size_t paragraph) const;

    // Structural equality (formats and text, objects and fields by content).
    bool operator==(const RtfDocument& other) const;

private:
    struct Place {
        std::size_t paragraph;
        std::size_t offset; // within the paragraph
    };
    Place Locate(std::size_t pos) const;
    // The paragraph starts from `paragraph` on are out of date (those up to
    // it hold: they depend only on the paragraphs before them). Edits name
    // the first paragraph they change, so appending at the end, as the topic
    // generator does, recomputes only what was appended.
    void Invalidate(std::size_t paragraph = 0) {
        if (paragraph + 1 < startsValid_)
            startsValid_ = paragraph + 1;
    }
    void BuildStarts() const;
    // Erase within marks that may go.
    void EraseJoining(std::size_t pos, std::size_t end);
    // The index of `format` in formats_, added when new.
    std::uint32_t Intern(const CharFormat& format);
    std::uint32_t Intern(const ParaFormat& format);
    // Inserts paragraphs at a position; the last one joins the text after the
    // position unless `lastClosed`. Their formats are this document's.
    void Splice(std::size_t pos, std::vector<Paragraph> insert, bool lastClosed);
    // Re-indexes the formats of paragraphs read into `from` for this document.
    void AdoptFormats(std::vector<Paragraph>& paragraphs, const RtfDocument& from);
    // Splits the run at the place so that a run boundary falls there;
    // returns the index of the run that starts at it.
    std::size_t SplitRunAt(Paragraph& paragraph, std::size_t offset);

    std::vector<Paragraph> paragraphs_;
    mutable std::vector<std::size_t> starts_; // start position of each paragraph
    mutable std::size_t startsValid_ = 0;     // how many of starts_ hold
    // Every character format in use, each once; formats_[0] is CharFormat{}.
    std::vector<CharFormat> formats_;
    std::unordered_map<CharFormat, std::uint32_t, CharFormatHash> formatIndex_;
    // Every paragraph format in use, each once; paraFormats_[0] is ParaFormat{}.
    std::vector<ParaFormat> paraFormats_;
    std::unordered_map<ParaFormat, std::uint32_t, ParaFormatHash> paraFormatIndex_;
    CharFormat defaultFormat_;
    std::string stylesheet_;
    friend class RtfParser;
};

} // namespace rtf
