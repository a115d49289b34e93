#pragma once
// Prints plain-text lines with margins, a header and a footer with macros,
// line spacing, tab expansion and word wrap, on the default printer or into
// a PDF file. The layout is components::LayoutPrintJob; this class measures
// in the printer's font and draws the pages through QPrinter.
#include <QDateTime>
#include <QFont>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "components/textprintlayout.h"

class QPainter;
class QPrinter;

namespace components::ui {

class TTextPrinter {
public:
    TTextPrinter();

    // Alignment, header, footer, line spacing, margins, tab size, word wrap.
    components::TTextPrintOptions Options;
    QFont Font;
    // The date of the printed file for %FD and %FT; now, unless the caller
    // sets the file's own date.
    QDateTime FileDateTime;
    // Set to stop the job: checked while the lines are prepared and between
    // pages. Cleared when a job starts.
    bool Abort = false;
    // Asked once the page count is known; setting `abort` ends the job
    // without a message (EAbort with an empty text).
    std::function<void(bool& abort, int pages)> OnConfirm;
    // Prints into this PDF file instead of on the default printer. The file
    // is written only after OnConfirm, and replaced only by a finished job.
    QString OutputFileName;
    // The printer and the page that printer setup chose; empty: the
    // default printer and its page.
    QString PrinterName;
    std::optional<QPageLayout> PageLayout;

    // Lines and file name are Windows-1252 text. Throws EPrinter "No printer
    // found", std::runtime_error "Cannot print empty text", and whatever
    // fails during the job, which is then aborted.
    void Print(const std::vector<std::string>& lines, const std::string& fileName);

private:
    components::TPrinterPage MeasurePage(const QPrinter& printer) const;
    void PrintPages(QPainter& painter, QPrinter& printer, const components::TPrintJobLayout& job,
                    const std::string& fileName);
};

} // namespace components::ui
