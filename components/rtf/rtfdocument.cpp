#include "components/rtf/rtfdocument.h"

#include <algorithm>

#include "components/rtf/rtferror.h"
#include "platform/codepage.h"

namespace rtf {

namespace {

bool SameField(const Run& a, const Run& b) {
    if (a.field == b.field)
        return true;
    return a.field && b.field && *a.field == *b.field;
}

bool SameObject(const Run& a, const Run& b) {
    if (a.object == b.object)
        return true;
    return a.object && b.object && *a.object == *b.object;
}

bool CanMerge(const Run& a, const Run& b) {
    return !a.IsObject() && !b.IsObject() && a.field == b.field && a.format == b.format;
}

// Formats are interned, so equal indices are equal formats.
void NormalizeRuns(std::vector<Run>& runs) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (runs[i].length == 0 && !runs[i].IsObject())
            continue;
        if (out > 0 && CanMerge(runs[out - 1], runs[i])) {
            runs[out - 1].length += runs[i].length;
            continue;
        }
        if (out != i)
            runs[out] = std::move(runs[i]);
        ++out;
    }
    runs.resize(out);
}

// Moves the runs and characters of `from` to the end of `to`.
void AppendParagraph(Paragraph& to, Paragraph& from) {
    to.text += from.text;
    for (Run& run : from.runs)
        to.runs.push_back(std::move(run));
}

// Splits `text` into lines at CR LF, LF and CR. `closed` tells whether the
// text ended with a line end.
std::vector<std::string_view> SplitParagraphs(std::string_view text, bool& closed) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    closed = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size() || lines.empty()) {
        lines.push_back(text.substr(start));
    } else {
        closed = true;
    }
    return lines;
}

bool IsWordChar(unsigned char c) {
    return platform::AnsiIsLetter(c) || platform::AnsiIsDigit(c) || c == '_';
}

} // namespace

RtfDocument::RtfDocument() : paragraphs_(1) {
    Intern(CharFormat{});
    Intern(ParaFormat{});
}

namespace {

// The index of `format` in a table of formats kept once each.
template <class Format, class Hash>
std::uint32_t InternIn(std::vector<Format>& table,
                       std::unordered_map<Format, std::uint32_t, Hash>& index,
                       const Format& format) {
    auto [it, added] = index.try_emplace(format, static_cast<std::uint32_t>(table.size()));
    if (added)
        table.push_back(format);
    return it->second;
}

} // namespace

std::uint32_t RtfDocument::Intern(const CharFormat& format) {
    return InternIn(formats_, formatIndex_, format);
}

std::uint32_t RtfDocument::Intern(const ParaFormat& format) {
    return InternIn(paraFormats_, paraFormatIndex_, format);
}

void RtfDocument::AdoptFormats(std::vector<Paragraph>& paragraphs, const RtfDocument& from) {
    std::vector<std::uint32_t> mapped(from.formats_.size(), 0);
    std::vector<bool> done(from.formats_.size(), false);
    auto map = [&](std::uint32_t& index) {
        if (!done[index]) {
            mapped[index] = Intern(from.formats_[index]);
            done[index] = true;
        }
        index = mapped[index];
    };
    for (Paragraph& p : paragraphs) {
        p.format = Intern(from.paraFormats_[p.format]);
        map(p.markFormat);
        for (Run& run : p.runs)
            map(run.format);
    }
}

RtfDocument RtfDocument::FromPlainText(std::string_view text, const CharFormat& format) {
    RtfDocument doc;
    doc.paragraphs_.clear();
    doc.defaultFormat_ = format;
    const std::uint32_t index = doc.Intern(format);
    bool closed = false;
    std::vector<std::string_view> lines = SplitParagraphs(text, closed);
    doc.paragraphs_.reserve(lines.size());
    for (std::string_view line : lines) {
        Paragraph& p = doc.paragraphs_.emplace_back();
        p.markFormat = index;
        p.text = line;
        if (!line.empty())
            p.runs.push_back(Run{line.size(), index, {}, {}});
    }
    return doc;
}

void RtfDocument::BuildStarts() const {
    const std::size_t count = paragraphs_.size();
    if (startsValid_ >= count && starts_.size() == count)
        return;
    starts_.resize(count);
    std::size_t i = std::min(startsValid_, count);
    if (i == 0 && count > 0) {
        starts_[0] = 0;
        i = 1;
    }
    for (; i < count; ++i)
        starts_[i] = starts_[i - 1] + paragraphs_[i - 1].Length() + 1;
    startsValid_ = count;
}

std::string RtfDocument::Text() const {
    std::string text;
    text.reserve(TextLength());
    for (const Paragraph& p : paragraphs_) {
        text += p.text;
        text += kParagraphChar;
    }
    return text;
}

std::size_t RtfDocument::TextLength() const {
    BuildStarts();
    if (paragraphs_.empty())
        return 0;
    return starts_.back() + paragraphs_.back().Length() + 1;
}

RtfDocument::Place RtfDocument::Locate(std::size_t pos) const {
    BuildStarts();
    if (paragraphs_.empty())
        return {0, 0};
    auto it = std::upper_bound(starts_.begin(), starts_.end(), pos);
    std::size_t index = static_cast<std::size_t>(it - starts_.begin()) - 1;
    std::size_t offset = pos - starts_[index];
    std::size_t length = paragraphs_[index].Length();
    if (offset > length)
        offset = length; // past the end: at the final mark
    return {index, offset};
}

std::string RtfDocument::TextRange(std::size_t pos, std::size_t count) const {
    const std::size_t length = TextLength();
    if (pos >= length)
        return {};
    count = std::min(count, length - pos);
    std::string text;
    text.reserve(count);
    Place place = Locate(pos);
    for (std::size_t i = place.paragraph; i < paragraphs_.size() && text.size() < count; ++i) {
        const std::string& t = paragraphs_[i].text;
        const std::size_t from = i == place.paragraph ? place.offset : 0;
        text.append(t, from, std::min(t.size() - from, count - text.size()));
        if (text.size() < count)
            text += kParagraphChar;
    }
    return text;
}

CharFormat RtfDocument::CharFormatAt(std::size_t pos) const {
    const std::size_t length = TextLength();
    if (length == 0)
        return defaultFormat_;
    if (pos >= length)
        pos = length - 1;
    Place place = Locate(pos);
    const Paragraph& p = paragraphs_[place.paragraph];
    std::size_t offset = place.offset;
    for (const Run& run : p.runs) {
        if (offset < run.length)
            return formats_[run.format];
        offset -= run.length;
    }
    return formats_[p.markFormat];
}

const ParaFormat& RtfDocument::ParaFormatAt(std::size_t pos) const {
    return paraFormats_[paragraphs_[Locate(pos).paragraph].format];
}

std::size_t RtfDocument::LineFromChar(std::size_t pos) const {
    return Locate(pos).paragraph;
}

std::size_t RtfDocument::LineIndex(std::size_t line) const {
    BuildStarts();
    if (line >= paragraphs_.size())
        return TextLength();
    return starts_[line];
}

std::size_t RtfDocument::LineLength(std::size_t line) const {
    return line < paragraphs_.size() ? paragraphs_[line].Length() : 0;
}

std::string RtfDocument::LineText(std::size_t line) const {
    return line < paragraphs_.size() ? paragraphs_[line].text : std::string();
}

std::size_t RtfDocument::SplitRunAt(Paragraph& paragraph, std::size_t offset) {
    std::size_t i = 0;
    for (; i < paragraph.runs.size(); ++i) {
        Run& run = paragraph.runs[i];
        if (offset == 0)
            return i;
        if (offset < run.length) {
            Run tail = run;
            tail.length = run.length - offset;
            run.length = offset;
            paragraph.runs.insert(paragraph.runs.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                  std::move(tail));
            return i + 1;
        }
        offset -= run.length;
    }
    return i;
}

bool RtfDocument::StructuralMark(std::size_t paragraph) const {
    if (paragraph + 1 >= paragraphs_.size())
        return true;
    const Paragraph& p = paragraphs_[paragraph];
    return p.cellEnd || p.depth != paragraphs_[paragraph + 1].depth;
}

void RtfDocument::Erase(std::size_t pos, std::size_t count) {
    const std::size_t length = TextLength();
    if (length == 0 || pos >= length - 1 || count == 0)
        return;
    const std::size_t end = std::min(pos + count, length - 1); // the final mark stays
    // Cell ends and the marks between depths stay: the text around them
    // goes piece by piece, the last piece first so that positions hold.
    BuildStarts();
    const std::size_t first = Locate(pos).paragraph;
    const std::size_t last = Locate(end).paragraph;
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
    std::size_t from = pos;
    for (std::size_t pi = first; pi < last; ++pi) {
        if (!StructuralMark(pi))
            continue;
        const std::size_t mark = starts_[pi] + paragraphs_[pi].Length();
        if (mark >= from && mark < end) {
            if (mark > from)
                pieces.emplace_back(from, mark);
            from = mark + 1;
        }
    }
    if (end > from)
        pieces.emplace_back(from, end);
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
        EraseJoining(it->first, it->second);
}

void RtfDocument::EraseJoining(std::size_t pos, std::size_t end) {
    Place a = Locate(pos);
    Place b = Locate(end);
    Paragraph& first = paragraphs_[a.paragraph];
    if (a.paragraph == b.paragraph) {
        std::size_t i = SplitRunAt(first, a.offset);
        std::size_t j = SplitRunAt(first, b.offset);
        first.runs.erase(first.runs.begin() + static_cast<std::ptrdiff_t>(i),
                         first.runs.begin() + static_cast<std::ptrdiff_t>(j));
        first.text.erase(a.offset, b.offset - a.offset);
    } else {
        Paragraph& last = paragraphs_[b.paragraph];
        std::size_t i = SplitRunAt(first, a.offset);
        first.runs.resize(i);
        first.text.resize(a.offset);
        std::size_t j = SplitRunAt(last, b.offset);
        for (std::size_t k = j; k < last.runs.size(); ++k)
            first.runs.push_back(std::move(last.runs[k]));
        first.text.append(last.text, b.offset);
        first.markFormat = last.markFormat;
        first.cellEnd = last.cellEnd;
        first.row = std::move(last.row);
        paragraphs_.erase(paragraphs_.begin() + static_cast<std::ptrdiff_t>(a.paragraph) + 1,
                          paragraphs_.begin() + static_cast<std::ptrdiff_t>(b.paragraph) + 1);
    }
    NormalizeRuns(paragraphs_[a.paragraph].runs);
    Invalidate(a.paragraph);
}

void RtfDocument::Splice(std::size_t pos, std::vector<Paragraph> insert, bool lastClosed) {
    if (insert.empty())
        return;
    if (paragraphs_.empty())
        paragraphs_.emplace_back();
    Place place = Locate(pos);
    Paragraph& target = paragraphs_[place.paragraph];
    std::size_t idx = SplitRunAt(target, place.offset);
    Paragraph tail;
    tail.runs.assign(
        std::make_move_iterator(target.runs.begin() + static_cast<std::ptrdiff_t>(idx)),
        std::make_move_iterator(target.runs.end()));
    tail.text = target.text.substr(place.offset);
    target.runs.resize(idx);
    target.text.resize(place.offset);
    const std::uint32_t origFormat = target.format;
    const std::uint32_t origMark = target.markFormat;
    // The paragraph split keeps its place in the tables: its tail keeps the
    // cell end and the row. Paragraphs inserted into a cell join the cell.
    const std::uint8_t origDepth = target.depth;
    const bool origCellEnd = target.cellEnd;
    std::shared_ptr<const RowFormat> origRow = std::move(target.row);
    target.cellEnd = false;
    bool insertsTable = false;
    for (const Paragraph& p : insert)
        insertsTable = insertsTable || p.depth > 0 || p.cellEnd;
    insertsTable = insertsTable && origDepth == 0;
    if (origDepth > 0) {
        for (Paragraph& p : insert) {
            p.depth = origDepth;
            p.cellEnd = false;
            p.row.reset();
        }
    }
    auto keepPlace = [&](Paragraph& p) {
        p.depth = origDepth;
        p.cellEnd = origCellEnd;
        p.row = origRow;
    };

    const std::size_t k = insert.size() - 1;
    // The first inserted paragraph joins the text before the position.
    std::vector<Paragraph> result;
    result.reserve(insert.size() + 1);
    {
        Paragraph first;
        first.runs = std::move(target.runs);
        first.text = std::move(target.text);
        const bool headEmpty = first.text.empty();
        AppendParagraph(first, insert[0]);
        if (k == 0 && !lastClosed) {
            AppendParagraph(first, tail);
            first.format = origFormat;
            first.markFormat = origMark;
            keepPlace(first);
        } else {
            first.format = insert[0].format;
            first.markFormat = insert[0].markFormat;
            first.depth = origDepth > 0 || !headEmpty ? origDepth : insert[0].depth;
            first.cellEnd = origDepth > 0 ? false : insert[0].cellEnd;
            first.row = origDepth > 0 ? nullptr : insert[0].row;
        }
        result.push_back(std::move(first));
    }
    for (std::size_t i = 1; i <= k; ++i) {
        if (i == k && !lastClosed) {
            Paragraph last = std::move(insert[i]);
            AppendParagraph(last, tail);
            last.format = origFormat;
            last.markFormat = origMark;
            keepPlace(last);
            result.push_back(std::move(last));
        } else {
            result.push_back(std::move(insert[i]));
        }
    }
    if (lastClosed) {
        tail.format = origFormat;
        tail.markFormat = origMark;
        keepPlace(tail);
        result.push_back(std::move(tail));
    }
    for (Paragraph& p : result)
        NormalizeRuns(p.runs);
    auto at = paragraphs_.begin() + static_cast<std::ptrdiff_t>(place.paragraph);
    *at = std::move(result.front());
    paragraphs_.insert(at + 1, std::make_move_iterator(result.begin() + 1),
                       std::make_move_iterator(result.end()));
    Invalidate(place.paragraph);
    if (insertsTable)
        NormalizeTables();
}

void RtfDocument::InsertText(std::size_t pos, std::string_view text, const CharFormat& format) {
    if (text.empty())
        return;
    bool closed = false;
    std::vector<std::string_view> lines = SplitParagraphs(text, closed);
    const std::uint32_t paraFormat = paragraphs_[Locate(pos).paragraph].format;
    const std::uint32_t index = Intern(format);
    std::vector<Paragraph> insert;
    insert.reserve(lines.size());
    for (std::string_view line : lines) {
        Paragraph& p = insert.emplace_back();
        p.format = paraFormat;
        p.markFormat = index;
        p.text = line;
        if (!line.empty())
            p.runs.push_back(Run{line.size(), index, {}, {}});
    }
    Splice(pos, std::move(insert), closed);
}

void RtfDocument::InsertText(std::size_t pos, std::string_view text) {
    Place place = Locate(pos);
    std::size_t at = place.offset > 0 ? LineIndex(place.paragraph) + place.offset - 1
                                      : LineIndex(place.paragraph);
    InsertText(pos, text, CharFormatAt(at));
}

void RtfDocument::Replace(std::size_t pos, std::size_t count, std::string_view text) {
    const CharFormat format = CharFormatAt(pos);
    Erase(pos, count);
    InsertText(pos, text, format);
}

void RtfDocument::SetCharFormat(std::size_t pos, std::size_t count, const CharFormat& format,
                                std::uint32_t mask) {
    const std::size_t length = TextLength();
    if (count == 0 || pos >= length)
        return;
    const std::size_t end = std::min(pos + count, length);
    Place a = Locate(pos);
    Place b = Locate(end - 1);
    for (std::size_t pi = a.paragraph; pi <= b.paragraph; ++pi) {
        Paragraph& p = paragraphs_[pi];
        const std::size_t len = p.Length();
        std::size_t from = pi == a.paragraph ? a.offset : 0;
        std::size_t to = pi == b.paragraph ? b.offset + 1 : len + 1; // +1: the mark
        std::size_t i = SplitRunAt(p, from);
        std::size_t j = SplitRunAt(p, std::min(to, len));
        auto apply = [&](std::uint32_t& index) {
            CharFormat changed = formats_[index];
            ApplyCharFormat(changed, format, mask);
            index = Intern(changed);
        };
        for (std::size_t r = i; r < j; ++r)
            apply(p.runs[r].format);
        if (to > len)
            apply(p.markFormat);
        NormalizeRuns(p.runs);
    }
}

void RtfDocument::SetParaFormat(std::size_t pos, std::size_t count, const ParaFormat& format,
                                std::uint32_t mask) {
    std::size_t first = Locate(pos).paragraph;
    std::size_t last = count == 0 ? first : Locate(pos + count - 1).paragraph;
    for (std::size_t i = first; i <= last && i < paragraphs_.size(); ++i) {
        ParaFormat changed = paraFormats_[paragraphs_[i].format];
        ApplyParaFormat(changed, format, mask);
        paragraphs_[i].format = Intern(changed);
    }
}

std::ptrdiff_t RtfDocument::Find(std::string_view what, std::size_t from, std::size_t to,
                                 const FindOptions& options) const {
    if (what.empty())
        return -1;
    std::string text = Text();
    to = std::min(to, text.size());
    if (from >= to || to - from < what.size())
        return -1;
    std::string needle(what);
    if (!options.matchCase) {
        needle = platform::AnsiLowerCase(needle);
        for (std::size_t i = from; i < to; ++i)
            text[i] = static_cast<char>(platform::AnsiLower(static_cast<unsigned char>(text[i])));
    }
    std::string_view hay(text);
    std::size_t at = from;
    while (true) {
        std::size_t found = hay.find(needle, at);
        if (found == std::string::npos || found + needle.size() > to)
            return -1;
        if (!options.wholeWord ||
            ((found == 0 || !IsWordChar(static_cast<unsigned char>(hay[found - 1]))) &&
             (found + needle.size() >= hay.size() ||
              !IsWordChar(static_cast<unsigned char>(hay[found + needle.size()])))))
            return static_cast<std::ptrdiff_t>(found);
        at = found + 1;
    }
}

void RtfDocument::Clear() {
    paragraphs_.assign(1, Paragraph{});
    paragraphs_[0].markFormat = Intern(defaultFormat_);
    Invalidate();
}

void RtfDocument::NormalizeTables() {
    // From the end: `level` is how many tables the text after the paragraph
    // is inside. A row end may open one more; other table paragraphs must
    // lie in what is open.
    bool any = false;
    int level = 0;
    for (std::size_t i = paragraphs_.size(); i-- > 0;) {
        Paragraph& p = paragraphs_[i];
        if (p.row)
            p.cellEnd = true;
        int d = p.depth;
        if (d == 0 && !p.cellEnd) {
            level = 0;
            continue;
        }
        any = true;
        if (p.row) {
            d = std::clamp(d, 1, level + 1);
        } else if (d > level) {
            d = level;
        }
        if (d == 0) {
            p.cellEnd = false;
            p.row.reset();
        }
        p.depth = static_cast<std::uint8_t>(d);
        level = d;
    }
    if (!any)
        return;
    // Qt-like layouts need a paragraph of the container before a table and
    // after the last one. Counted first, then inserted in place from the
    // end: a second list of every paragraph would double the document.
    auto addedBefore = [this](std::size_t i) {
        const int prevDepth = i == 0 ? -1 : paragraphs_[i - 1].depth;
        const bool prevCellEnd = i > 0 && paragraphs_[i - 1].cellEnd;
        int count = 0;
        for (int level0 = std::max(prevDepth, 0) + 1; level0 <= paragraphs_[i].depth; ++level0)
            if (!(level0 == prevDepth + 1 && !prevCellEnd)) // else the one before stands there
                ++count;
        return count;
    };
    std::size_t added = paragraphs_.back().depth > 0 ? 1 : 0;
    for (std::size_t i = 0; i < paragraphs_.size(); ++i)
        added += static_cast<std::size_t>(addedBefore(i));
    if (added == 0)
        return;
    const std::size_t old = paragraphs_.size();
    const std::uint32_t lastMark = paragraphs_.back().markFormat;
    const bool trailing = paragraphs_.back().depth > 0;
    paragraphs_.resize(old + added);
    std::size_t to = paragraphs_.size();
    if (trailing) {
        Paragraph& empty = paragraphs_[--to];
        empty = Paragraph();
        empty.markFormat = lastMark;
    }
    for (std::size_t i = old; i-- > 0;) {
        // The paragraph before still stands at its old place.
        const int count = addedBefore(i);
        const std::uint32_t format = paragraphs_[i].format;
        const std::uint32_t markFormat = paragraphs_[i].markFormat;
        const int depth = paragraphs_[i].depth;
        if (--to != i)
            paragraphs_[to] = std::move(paragraphs_[i]);
        // The empty container paragraphs, the deepest nearest to it.
        for (int k = 0, level0 = depth; k < count; --level0) {
            const int prevDepth = i == 0 ? -1 : paragraphs_[i - 1].depth;
            const bool prevCellEnd = i > 0 && paragraphs_[i - 1].cellEnd;
            if (level0 == prevDepth + 1 && !prevCellEnd)
                continue;
            Paragraph& empty = paragraphs_[--to];
            empty = Paragraph();
            empty.format = format;
            empty.markFormat = markFormat;
            empty.depth = static_cast<std::uint8_t>(level0 - 1);
            ++k;
        }
    }
    Invalidate();
}

void RtfDocument::Normalize() {
    for (Paragraph& p : paragraphs_)
        NormalizeRuns(p.runs);
    if (paragraphs_.empty())
        paragraphs_.emplace_back();
    Invalidate();
}

bool RtfDocument::operator==(const RtfDocument& other) const {
    if (paragraphs_.size() != other.paragraphs_.size())
        return false;
    for (std::size_t i = 0; i < paragraphs_.size(); ++i) {
        const Paragraph& a = paragraphs_[i];
        const Paragraph& b = other.paragraphs_[i];
        if (a.text != b.text || !(ParaFormatOf(a) == other.ParaFormatOf(b)) ||
            !(MarkFormatOf(a) == other.MarkFormatOf(b)) || a.runs.size() != b.runs.size() ||
            a.depth != b.depth || a.cellEnd != b.cellEnd || a.RowEnd() != b.RowEnd() ||
            (a.row && !(*a.row == *b.row)))
            return false;
        for (std::size_t r = 0; r < a.runs.size(); ++r) {
            const Run& x = a.runs[r];
            const Run& y = b.runs[r];
            if (x.length != y.length || !(FormatOf(x) == other.FormatOf(y)) || !SameObject(x, y) ||
                !SameField(x, y))
                return false;
        }
    }
    return true;
}

} // namespace rtf
