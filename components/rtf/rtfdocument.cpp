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

bool CanMerge(const Run& a, const Run& b) {
    return !a.IsObject() && !b.IsObject() && a.field == b.field && a.format == b.format;
}

void NormalizeRuns(std::vector<Run>& runs) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (runs[i].text.empty() && !runs[i].IsObject())
            continue;
        if (out > 0 && CanMerge(runs[out - 1], runs[i])) {
            runs[out - 1].text += runs[i].text;
            continue;
        }
        if (out != i)
            runs[out] = std::move(runs[i]);
        ++out;
    }
    runs.resize(out);
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

std::size_t Paragraph::Length() const {
    std::size_t n = 0;
    for (const Run& run : runs)
        n += run.text.size();
    return n;
}

std::string Paragraph::Text() const {
    std::string text;
    text.reserve(Length());
    for (const Run& run : runs)
        text += run.text;
    return text;
}

RtfDocument::RtfDocument() : paragraphs_(1) {}

RtfDocument RtfDocument::FromPlainText(std::string_view text, const CharFormat& format) {
    RtfDocument doc;
    doc.paragraphs_.clear();
    doc.defaultFormat_ = format;
    bool closed = false;
    std::vector<std::string_view> lines = SplitParagraphs(text, closed);
    doc.paragraphs_.reserve(lines.size());
    for (std::string_view line : lines) {
        Paragraph& p = doc.paragraphs_.emplace_back();
        p.markFormat = format;
        if (!line.empty())
            p.runs.push_back(Run{std::string(line), format, {}, {}});
    }
    return doc;
}

void RtfDocument::BuildStarts() const {
    if (startsValid_)
        return;
    starts_.resize(paragraphs_.size());
    std::size_t pos = 0;
    for (std::size_t i = 0; i < paragraphs_.size(); ++i) {
        starts_[i] = pos;
        pos += paragraphs_[i].Length() + 1;
    }
    startsValid_ = true;
}

std::string RtfDocument::Text() const {
    std::string text;
    text.reserve(TextLength());
    for (const Paragraph& p : paragraphs_) {
        for (const Run& run : p.runs)
            text += run.text;
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
    std::string text = Text();
    if (pos >= text.size())
        return {};
    return text.substr(pos, count);
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
        if (offset < run.text.size())
            return run.format;
        offset -= run.text.size();
    }
    return p.markFormat;
}

const ParaFormat& RtfDocument::ParaFormatAt(std::size_t pos) const {
    return paragraphs_[Locate(pos).paragraph].format;
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
    return line < paragraphs_.size() ? paragraphs_[line].Text() : std::string();
}

std::size_t RtfDocument::SplitRunAt(Paragraph& paragraph, std::size_t offset) {
    std::size_t i = 0;
    for (; i < paragraph.runs.size(); ++i) {
        Run& run = paragraph.runs[i];
        if (offset == 0)
            return i;
        if (offset < run.text.size()) {
            Run tail = run;
            tail.text = run.text.substr(offset);
            run.text.resize(offset);
            paragraph.runs.insert(paragraph.runs.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                  std::move(tail));
            return i + 1;
        }
        offset -= run.text.size();
    }
    return i;
}

void RtfDocument::Erase(std::size_t pos, std::size_t count) {
    const std::size_t length = TextLength();
    if (length == 0 || pos >= length - 1 || count == 0)
        return;
    const std::size_t end = std::min(pos + count, length - 1); // the final mark stays
    Place a = Locate(pos);
    Place b = Locate(end);
    Paragraph& first = paragraphs_[a.paragraph];
    if (a.paragraph == b.paragraph) {
        std::size_t i = SplitRunAt(first, a.offset);
        std::size_t j = SplitRunAt(first, b.offset);
        first.runs.erase(first.runs.begin() + static_cast<std::ptrdiff_t>(i),
                         first.runs.begin() + static_cast<std::ptrdiff_t>(j));
    } else {
        Paragraph& last = paragraphs_[b.paragraph];
        std::size_t i = SplitRunAt(first, a.offset);
        first.runs.resize(i);
        std::size_t j = SplitRunAt(last, b.offset);
        for (std::size_t k = j; k < last.runs.size(); ++k)
            first.runs.push_back(std::move(last.runs[k]));
        first.markFormat = last.markFormat;
        paragraphs_.erase(paragraphs_.begin() + static_cast<std::ptrdiff_t>(a.paragraph) + 1,
                          paragraphs_.begin() + static_cast<std::ptrdiff_t>(b.paragraph) + 1);
    }
    NormalizeRuns(paragraphs_[a.paragraph].runs);
    Invalidate();
}

void RtfDocument::Splice(std::size_t pos, std::vector<Paragraph> insert, bool lastClosed) {
    if (insert.empty())
        return;
    if (paragraphs_.empty())
        paragraphs_.emplace_back();
    Place place = Locate(pos);
    Paragraph& target = paragraphs_[place.paragraph];
    std::size_t idx = SplitRunAt(target, place.offset);
    std::vector<Run> tail(
        std::make_move_iterator(target.runs.begin() + static_cast<std::ptrdiff_t>(idx)),
        std::make_move_iterator(target.runs.end()));
    target.runs.resize(idx);
    const ParaFormat origFormat = target.format;
    const CharFormat origMark = target.markFormat;

    const std::size_t k = insert.size() - 1;
    // The first inserted paragraph joins the text before the position.
    std::vector<Paragraph> result;
    result.reserve(insert.size() + 1);
    {
        Paragraph first;
        first.runs = std::move(target.runs);
        for (Run& run : insert[0].runs)
            first.runs.push_back(std::move(run));
        if (k == 0 && !lastClosed) {
            for (Run& run : tail)
                first.runs.push_back(std::move(run));
            first.format = origFormat;
            first.markFormat = origMark;
        } else {
            first.format = insert[0].format;
            first.markFormat = insert[0].markFormat;
        }
        result.push_back(std::move(first));
    }
    for (std::size_t i = 1; i <= k; ++i) {
        if (i == k && !lastClosed) {
            Paragraph last = std::move(insert[i]);
            for (Run& run : tail)
                last.runs.push_back(std::move(run));
            last.format = origFormat;
            last.markFormat = origMark;
            result.push_back(std::move(last));
        } else {
            result.push_back(std::move(insert[i]));
        }
    }
    if (lastClosed) {
        Paragraph rest;
        rest.runs = std::move(tail);
        rest.format = origFormat;
        rest.markFormat = origMark;
        result.push_back(std::move(rest));
    }
    for (Paragraph& p : result)
        NormalizeRuns(p.runs);
    auto at = paragraphs_.begin() + static_cast<std::ptrdiff_t>(place.paragraph);
    at = paragraphs_.erase(at);
    paragraphs_.insert(at, std::make_move_iterator(result.begin()),
                       std::make_move_iterator(result.end()));
    Invalidate();
}

void RtfDocument::InsertText(std::size_t pos, std::string_view text, const CharFormat& format) {
    if (text.empty())
        return;
    bool closed = false;
    std::vector<std::string_view> lines = SplitParagraphs(text, closed);
    const ParaFormat paraFormat = ParaFormatAt(pos);
    std::vector<Paragraph> insert;
    insert.reserve(lines.size());
    for (std::string_view line : lines) {
        Paragraph& p = insert.emplace_back();
        p.format = paraFormat;
        p.markFormat = format;
        if (!line.empty())
            p.runs.push_back(Run{std::string(line), format, {}, {}});
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
        for (std::size_t r = i; r < j; ++r)
            ApplyCharFormat(p.runs[r].format, format, mask);
        if (to > len)
            ApplyCharFormat(p.markFormat, format, mask);
        NormalizeRuns(p.runs);
    }
    Invalidate();
}

void RtfDocument::SetParaFormat(std::size_t pos, std::size_t count, const ParaFormat& format,
                                std::uint32_t mask) {
    std::size_t first = Locate(pos).paragraph;
    std::size_t last = count == 0 ? first : Locate(pos + count - 1).paragraph;
    for (std::size_t i = first; i <= last && i < paragraphs_.size(); ++i)
        ApplyParaFormat(paragraphs_[i].format, format, mask);
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
    paragraphs_[0].markFormat = defaultFormat_;
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
        if (!(a.format == b.format) || !(a.markFormat == b.markFormat) ||
            a.runs.size() != b.runs.size())
            return false;
        for (std::size_t r = 0; r < a.runs.size(); ++r) {
            const Run& x = a.runs[r];
            const Run& y = b.runs[r];
            if (x.text != y.text || !(x.format == y.format) || x.object != y.object ||
                !SameField(x, y))
                return false;
        }
    }
    return true;
}

} // namespace rtf
