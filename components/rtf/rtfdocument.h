#pragma once
// The document model: paragraphs of formatted runs. Its plain text holds one
// "\r" per paragraph (every paragraph, the last one too, ends with one), and
// positions are offsets into that text. Hidden text is part of the text.
// Pictures, embedded objects and footnotes are one placeholder character
// each that keeps the original RTF; fields keep their instruction and show
// their result as ordinary text.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/rtf/rtfformat.h"

namespace rtf {

// The character that stands for an object in the plain text.
inline constexpr char kObjectChar = '\x01';
// The character of a soft line break ("\line").
inline constexpr char kLineBreakChar = '\x0B';
// The character of a paragraph end in the plain text.
inline constexpr char kParagraphChar = '\r';

struct Run {
    std::string text; // Windows-1252; never contains '\r'
    CharFormat format;
    // For an object run (text == kObjectChar): the object's RTF as read,
    // from "{" to "}" ("{\pict...}", "{\object...}", "{\footnote...}").
    std::string object;
    // For text that is the result of a field: the field's "{\*\fldinst ...}"
    // group. Consecutive runs holding the same pointer form one field.
    std::shared_ptr<const std::string> field;

    bool IsObject() const { return !object.empty(); }
};

struct Paragraph {
    ParaFormat format;
    std::vector<Run> runs; // adjacent runs differ in format, field or object-ness
    CharFormat markFormat; // the format of the paragraph mark (its "\r")

    std::size_t Length() const; // characters, the paragraph mark not counted
    std::string Text() const;   // without the paragraph mark
};

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
    // Direct access for bulk builders; positions are recomputed afterwards.
    // A document must keep at least one paragraph.
    std::vector<Paragraph>& Paragraphs() {
        Invalidate();
        return paragraphs_;
    }
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

    // Structural equality (formats and text, objects and fields by content).
    bool operator==(const RtfDocument& other) const;

private:
    struct Place {
        std::size_t paragraph;
        std::size_t offset; // within the paragraph
    };
    Place Locate(std::size_t pos) const;
    void Invalidate() { startsValid_ = false; }
    void BuildStarts() const;
    // Inserts paragraphs at a position; the last one joins the text after the
    // position unless `lastClosed`.
    void Splice(std::size_t pos, std::vector<Paragraph> insert, bool lastClosed);
    // Splits the run at the place so that a run boundary falls there;
    // returns the index of the run that starts at it.
    std::size_t SplitRunAt(Paragraph& paragraph, std::size_t offset);

    std::vector<Paragraph> paragraphs_;
    mutable std::vector<std::size_t> starts_; // start position of each paragraph
    mutable bool startsValid_ = false;
    CharFormat defaultFormat_;
    std::string stylesheet_;
    friend class RtfParser;
};

} // namespace rtf
