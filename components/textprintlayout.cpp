#include "components/textprintlayout.h"

#include <algorithm>
#include <cmath>

namespace components {

namespace {

int RoundHalfEven(double value) {
    double floor = std::floor(value);
    double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        floor += 1.0;
    return static_cast<int>(floor);
}

// Measuring the whole rest of a very long line on every wrapped piece would
// make wrapping quadratic; beyond this many characters the break guess is
// taken from the first ones only.
const std::size_t kMeasuredPrefix = 1024;

bool IsBreak(char c) {
    return c == ' ' || c == '-';
}

// A break at index i: a hyphen stays on the line, a space is dropped.
std::size_t LineLengthAt(const std::string& text, std::size_t i) {
    return text[i] == '-' ? i + 1 : i;
}

// The first break at or after `from`; npos when none. A break at the first
// character would leave an empty line, so index 0 never counts.
std::size_t NextBreak(const std::string& text, std::size_t from) {
    for (std::size_t i = std::max<std::size_t>(from, 1); i < text.size(); ++i)
        if (IsBreak(text[i]))
            return i;
    return std::string::npos;
}

std::size_t PreviousBreak(const std::string& text, std::size_t before) {
    for (std::size_t i = std::min(before, text.size()); i > 1;)
        if (IsBreak(text[--i]))
            return i;
    return std::string::npos;
}

// Where the too-wide `text` breaks: the latest break whose line fits, else
// the first break after the guessed position even though it is too wide
// (npos: the whole text).
std::size_t ChooseBreak(const std::string& text, int width, const TTextWidth& textWidth) {
    std::string_view measured(text.data(), std::min(text.size(), kMeasuredPrefix));
    int measuredWidth = std::max(textWidth(measured), 1);
    std::size_t guess = std::max<std::int64_t>(1, std::int64_t(measured.size()) *
                                                      std::max(width, 0) / measuredWidth);
    auto fits = [&](std::size_t i) {
        return textWidth(std::string_view(text.data(), LineLengthAt(text, i))) <= width;
    };
    std::size_t forward = NextBreak(text, guess - 1);
    while (forward != std::string::npos && fits(forward))
        forward = NextBreak(text, forward + 1);
    std::size_t back = forward == std::string::npos ? text.size() : forward;
    while ((back = PreviousBreak(text, back)) != std::string::npos)
        if (fits(back))
            return back;
    return forward;
}

bool TooWide(const std::string& text, int width, const TTextWidth& textWidth) {
    std::string_view measured(text.data(), std::min(text.size(), kMeasuredPrefix));
    return textWidth(measured) > width ||
           (measured.size() < text.size() && textWidth(text) > width);
}

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

} // namespace

TPageGeometry PageGeometry(const TPrinterPage& page, const TTextPrintOptions& options) {
    TPageGeometry g;
    g.Top = std::max(0, RoundHalfEven(double(page.DpiY) * options.MarginTop) - page.OffsetY);
    g.Left = std::max(0, RoundHalfEven(double(page.DpiX) * options.MarginLeft) - page.OffsetX);
    g.Width = page.PhysicalWidth - g.Left - RoundHalfEven(double(page.DpiX) * options.MarginRight);
    g.BottomMargin = RoundHalfEven(double(page.DpiY) * options.MarginBottom);
    return g;
}

int LineHeight(int fontHeight, int externalLeading, TLineSpacing spacing) {
    int h = fontHeight + externalLeading;
    switch (spacing) {
    case TLineSpacing::SingleAndAHalf:
        return 3 * h / 2;
    case TLineSpacing::DoubleSpace:
        return 2 * h;
    case TLineSpacing::SingleSpace:
        break;
    }
    return h;
}

// A font taller than the page still prints one line per page rather than
// dividing by zero.
int LinesPerPage(const TPrinterPage& page, const TPageGeometry& geometry, int lineHeight) {
    int available = page.PhysicalHeight - geometry.Top - geometry.BottomMargin;
    return std::max(1, available / std::max(lineHeight, 1));
}

int AlignmentAnchor(TTextAlignment alignment, const TPageGeometry& geometry) {
    switch (alignment) {
    case TTextAlignment::Center:
        return geometry.Left + geometry.Width / 2;
    case TTextAlignment::RightJustify:
        return geometry.Left + geometry.Width;
    case TTextAlignment::LeftJustify:
    case TTextAlignment::Full:
        break;
    }
    return geometry.Left;
}

// A tab size of 0 would divide by zero; it counts as 1.
std::string ExpandTabs(std::string_view line, int tabSize) {
    tabSize = std::max(tabSize, 1);
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c != '\t') {
            out += c;
            continue;
        }
        out.append(tabSize - out.size() % tabSize, ' ');
    }
    return out;
}

std::vector<std::string> WrapLine(std::string text, int width, const TTextWidth& textWidth) {
    std::vector<std::string> lines;
    while (TooWide(text, width, textWidth)) {
        std::size_t cut = ChooseBreak(text, width, textWidth);
        if (cut == std::string::npos) {
            lines.push_back(std::move(text));
            return lines;
        }
        lines.push_back(text.substr(0, LineLengthAt(text, cut)));
        bool hyphen = text[cut] == '-';
        text.erase(0, cut + 1);
        if (hyphen && !text.empty() && text.front() == ' ')
            text.erase(0, 1);
        if (text.empty())
            return lines;
    }
    lines.push_back(std::move(text));
    return lines;
}

THeaderText::THeaderText(std::string_view text, const TJobMacroValues& values) {
    pieces_.emplace_back();
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c != '%' || i + 1 >= text.size()) {
            pieces_.back() += c;
            ++i;
            continue;
        }
        char next = UpperAscii(text[i + 1]);
        char third = i + 2 < text.size() ? UpperAscii(text[i + 2]) : '\0';
        std::string& out = pieces_.back();
        std::size_t used = 2;
        switch (next) {
        case '%':
            out += '%';
            break;
        case 'D':
            out += values.Date;
            break;
        case 'T':
            out += values.Time;
            break;
        case 'N':
            out += std::to_string(values.Pages);
            break;
        case 'P':
            pieces_.emplace_back();
            break;
        case 'F':
            used = 3;
            if (third == 'D')
                out += values.FileDate;
            else if (third == 'T')
                out += values.FileTime;
            else if (third == 'N')
                out += values.FileName;
            else
                used = 0;
            break;
        default:
            used = 0;
            break;
        }
        if (used == 0) {
            pieces_.back().append(text.substr(i, 2));
            used = 2;
        }
        i += used;
    }
    if (text.empty())
        pieces_.clear();
}

std::string THeaderText::ForPage(int page) const {
    std::string text;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        if (i > 0)
            text += std::to_string(page);
        text += pieces_[i];
    }
    return text;
}

TPrintJobLayout LayoutPrintJob(const std::vector<std::string>& lines,
                               const TTextPrintOptions& options, const TPrinterPage& page,
                               int fontHeight, int externalLeading, const TTextWidth& textWidth,
                               const std::function<bool()>& aborted) {
    auto stop = [&] { return aborted && aborted(); };
    TPrintJobLayout job;
    job.Geometry = PageGeometry(page, options);
    job.LineHeight = LineHeight(fontHeight, externalLeading, options.LineSpacing);
    int perPage = LinesPerPage(page, job.Geometry, job.LineHeight);

    std::vector<std::string> expanded;
    expanded.reserve(lines.size());
    for (const std::string& line : lines) {
        expanded.push_back(ExpandTabs(line, options.TabSize));
        if (stop()) {
            job.Aborted = true;
            return job;
        }
    }
    if (options.WordWrap) {
        for (std::string& line : expanded) {
            if (stop()) {
                job.Aborted = true;
                return job;
            }
            for (std::string& piece : WrapLine(std::move(line), job.Geometry.Width, textWidth))
                job.Lines.push_back(std::move(piece));
        }
    } else {
        job.Lines = std::move(expanded);
    }

    if (!options.Header.empty())
        perPage -= 2;
    if (!options.Footer.empty())
        perPage -= 2;
    job.BodyLinesPerPage = std::max(perPage, 1);
    int count = static_cast<int>(job.Lines.size());
    job.Pages = count / job.BodyLinesPerPage + (count % job.BodyLinesPerPage ? 1 : 0);
    return job;
}

} // namespace components
