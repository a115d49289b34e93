#pragma once
// The page layout of the plain-text printer: page geometry from the
// printer's measurements, tab expansion, word wrap, pagination and the
// header and footer macros. Everything here is pure, measured through a
// text-width function, so that it is tested without a printer; the windowed
// TTextPrinter (components/ui/textprinter.h) only measures and draws.
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace components {

// The printer is missing ("No printer found").
class EPrinter : public std::runtime_error {
public:
    explicit EPrinter(const std::string& message) : std::runtime_error(message) {}
};

enum class TTextAlignment { LeftJustify, Center, RightJustify, Full }; // Full prints as left
enum class TLineSpacing { SingleSpace, SingleAndAHalf, DoubleSpace };

// The settings of a print job, in the printer's own units: inches for the
// margins, characters for the tab size.
struct TTextPrintOptions {
    TTextAlignment Alignment = TTextAlignment::LeftJustify;
    std::string Header; // with macros; empty = no header
    std::string Footer;
    TTextAlignment HeaderAlign = TTextAlignment::Center;
    TTextAlignment FooterAlign = TTextAlignment::Center;
    TLineSpacing LineSpacing = TLineSpacing::SingleSpace;
    float MarginLeft = 1.0f;
    float MarginTop = 1.0f;
    float MarginRight = 1.0f;
    float MarginBottom = 1.0f;
    unsigned char TabSize = 8;
    bool WordWrap = true;
};

// What the printer says about its page, in device pixels.
struct TPrinterPage {
    int DpiX = 0;
    int DpiY = 0;
    int PhysicalWidth = 0;
    int PhysicalHeight = 0;
    int OffsetX = 0; // of the printable area from the paper's edge
    int OffsetY = 0;
};

// The printable box in device pixels, relative to the printable area's origin.
struct TPageGeometry {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int BottomMargin = 0; // round(dpiY * MarginBottom)
};

TPageGeometry PageGeometry(const TPrinterPage& page, const TTextPrintOptions& options);
// The font's height plus its external leading, stretched by the spacing.
int LineHeight(int fontHeight, int externalLeading, TLineSpacing spacing);
// Body lines that fit between the top and bottom margins (at least 1).
int LinesPerPage(const TPrinterPage& page, const TPageGeometry& geometry, int lineHeight);
// The x at which text of that alignment is anchored: left edge, centre or
// right edge of the printable box.
int AlignmentAnchor(TTextAlignment alignment, const TPageGeometry& geometry);

// Each tab becomes the spaces up to the next stop (every `tabSize` characters).
std::string ExpandTabs(std::string_view line, int tabSize);

using TTextWidth = std::function<int(std::string_view)>;

// Breaks one line into lines no wider than `width` at spaces (not printed)
// and hyphens (kept at the end of the line). A word that fits nowhere is
// printed whole on its own line.
std::vector<std::string> WrapLine(std::string text, int width, const TTextWidth& textWidth);

// The values of the job macros, formatted by the caller (the short date and
// time formats belong to the person's locale).
struct TJobMacroValues {
    std::string Date;     // %D
    std::string Time;     // %T
    int Pages = 0;        // %N
    std::string FileDate; // %FD
    std::string FileTime; // %FT
    std::string FileName; // %FN
};

// A header or footer read once per job: the job macros are filled in, the
// page-number macro %P stays a placeholder. One pass reads the text, so a
// doubled percent sign followed by P prints "%P" and never a page number.
class THeaderText {
public:
    THeaderText() = default;
    THeaderText(std::string_view text, const TJobMacroValues& values);
    std::string ForPage(int page) const;
    bool Empty() const { return pieces_.empty(); }

private:
    // Literal text, each followed (but the last) by the page number.
    std::vector<std::string> pieces_;
};

// The whole job laid out: the lines to print and how many fit a page.
struct TPrintJobLayout {
    TPageGeometry Geometry;
    int LineHeight = 0;
    int BodyLinesPerPage = 0; // after the header's and footer's two lines each
    int Pages = 0;
    std::vector<std::string> Lines;
    bool Aborted = false;
};

TPrintJobLayout LayoutPrintJob(const std::vector<std::string>& lines,
                               const TTextPrintOptions& options, const TPrinterPage& page,
                               int fontHeight, int externalLeading, const TTextWidth& textWidth,
                               const std::function<bool()>& aborted = {});

} // namespace components
