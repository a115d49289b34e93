#include "components/ui/textprinter.h"

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <optional>
#include <stdexcept>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "platform/fileio.h"

namespace components::ui {

namespace {

// Draws one line with its top at `top`, placed against the anchor as the
// alignment says: starting at it, centred on it, or ending at it.
void DrawAnchored(QPainter& painter, components::TTextAlignment alignment, int anchor, int top,
                  const std::string& line) {
    QString text = ToQString(line);
    int width = painter.fontMetrics().horizontalAdvance(text);
    int x = anchor;
    if (alignment == components::TTextAlignment::Center)
        x -= width / 2;
    else if (alignment == components::TTextAlignment::RightJustify)
        x -= width;
    painter.drawText(x, top + painter.fontMetrics().ascent(), text);
}

std::string ShortDate(const QDate& date) {
    return FromQString(QLocale().toString(date, QLocale::ShortFormat));
}

std::string ShortTime(const QTime& time) {
    return FromQString(QLocale().toString(time, QLocale::ShortFormat));
}

QString JobTitle(const std::string& fileName) {
    QString application = QGuiApplication::applicationDisplayName();
    return ToQString(fileName) + QStringLiteral(" - ") + application;
}

} // namespace

TTextPrinter::TTextPrinter() : FileDateTime(QDateTime::currentDateTime()) {}

components::TPrinterPage TTextPrinter::MeasurePage(const QPrinter& printer) const {
    components::TPrinterPage page;
    page.DpiX = printer.logicalDpiX();
    page.DpiY = printer.logicalDpiY();
    QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    page.PhysicalWidth = qRound(paper.width());
    page.PhysicalHeight = qRound(paper.height());
    page.OffsetX = qRound(printable.left() - paper.left());
    page.OffsetY = qRound(printable.top() - paper.top());
    return page;
}

void TTextPrinter::Print(const std::vector<std::string>& lines, const std::string& fileName) {
    if (OutputFileName.isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty())
        throw components::EPrinter("No printer found");
    if (lines.empty())
        throw std::runtime_error("Cannot print empty text");
    Abort = false;

    QPrinter printer(QPrinter::HighResolution);
    if (!OutputFileName.isEmpty())
        printer.setOutputFormat(QPrinter::PdfFormat);
    else if (!PrinterName.isEmpty())
        printer.setPrinterName(PrinterName);
    if (PageLayout)
        printer.setPageLayout(*PageLayout);
    printer.setDocName(JobTitle(fileName));

    // The pages are counted and confirmed before the job starts: starting
    // it creates the file (or the spooler's job), and a cancelled print
    // leaves nothing behind.
    const QFontMetrics metrics(Font, &printer);
    auto textWidth = [&metrics](std::string_view text) {
        return metrics.horizontalAdvance(ToQString(text));
    };
    const components::TPrintJobLayout job = components::LayoutPrintJob(
        lines, Options, MeasurePage(printer), metrics.height(), std::max(metrics.leading(), 0),
        textWidth, [this] { return Abort; });
    if (job.Aborted)
        throw components::EAbort(std::string());
    if (OnConfirm) {
        OnConfirm(Abort, job.Pages);
        if (Abort)
            throw components::EAbort(std::string());
    }

    // A PDF is written beside its name and put in place when complete, so
    // that a failed job leaves an older file as it was.
    std::optional<platform::AtomicFileWriter> output;
    if (!OutputFileName.isEmpty()) {
        output.emplace(platform::SaveTargetOf(QFile::encodeName(OutputFileName).toStdString()));
        printer.setOutputFileName(QFile::decodeName(output->TempPath().c_str()));
    }
    QPainter painter;
    if (!painter.begin(&printer))
        throw components::EPrinter("The print job could not be started");
    try {
        painter.setFont(Font);
        PrintPages(painter, printer, job, fileName);
        if (Abort)
            throw components::EAbort(std::string());
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    if (!painter.end())
        throw components::EPrinter("The print job could not be finished");
    if (output)
        output->Commit();
}

void TTextPrinter::PrintPages(QPainter& painter, QPrinter& printer,
                              const components::TPrintJobLayout& job, const std::string& fileName) {
    components::TJobMacroValues values;
    QDateTime now = QDateTime::currentDateTime();
    values.Date = ShortDate(now.date());
    values.Time = ShortTime(now.time());
    values.Pages = job.Pages;
    values.FileDate = ShortDate(FileDateTime.date());
    values.FileTime = ShortTime(FileDateTime.time());
    values.FileName = fileName;
    components::THeaderText header(Options.Header, values);
    components::THeaderText footer(Options.Footer, values);

    const components::TPageGeometry& g = job.Geometry;
    const int h = job.LineHeight;
    const int perPage = job.BodyLinesPerPage;
    std::size_t next = 0;
    for (int page = 1; next < job.Lines.size() && !Abort; ++page) {
        if (page > 1)
            printer.newPage();
        int y = g.Top;
        if (!header.Empty()) {
            DrawAnchored(painter, Options.HeaderAlign,
                         components::AlignmentAnchor(Options.HeaderAlign, g), y,
                         header.ForPage(page));
            y += 2 * h;
        }
        if (!footer.Empty())
            DrawAnchored(painter, Options.FooterAlign,
                         components::AlignmentAnchor(Options.FooterAlign, g), y + (perPage + 1) * h,
                         footer.ForPage(page));
        int bodyAnchor = components::AlignmentAnchor(Options.Alignment, g);
        for (int i = 0; i < perPage && next < job.Lines.size(); ++i, y += h)
            DrawAnchored(painter, Options.Alignment, bodyAnchor, y, job.Lines[next++]);
    }
}

} // namespace components::ui
