// Printing plain text into a PDF, read back with poppler's pdfinfo and
// pdftotext.
#include <QCoreApplication>
#include <QDir>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "components/messengerseam.h"
#include "components/ui/textprinter.h"

namespace {

using components::ui::TTextPrinter;

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& file) {
    for (const QString& line : Run("pdfinfo", {file}).split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

QString PdfPageText(const QString& file, int page) {
    QString n = QString::number(page);
    return Run("pdftotext", {"-layout", "-f", n, "-l", n, file, "-"});
}

std::vector<std::string> NumberedLines(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back("Line " + std::to_string(i) + "\tof the licence text");
    return lines;
}

TEST(TextPrinter, PrintsPagesWithHeaderAndFooterIntoAPdf) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TTextPrinter printer;
    printer.OutputFileName = dir.filePath("licence.pdf");
    printer.Options.Header = "Page %P of %N, %%P";
    printer.Options.Footer = "%FN";
    printer.Options.HeaderAlign = components::TTextAlignment::LeftJustify;
    int confirmedPages = 0;
    printer.OnConfirm = [&](bool&, int pages) { confirmedPages = pages; };
    printer.Print(NumberedLines(150), "licence.txt");

    ASSERT_GT(confirmedPages, 1);
    EXPECT_EQ(PdfPages(printer.OutputFileName), confirmedPages);
    QString first = PdfPageText(printer.OutputFileName, 1);
    QString second = PdfPageText(printer.OutputFileName, 2);
    QString of = QString(" of %1, %P").arg(confirmedPages);
    EXPECT_TRUE(first.contains("Page 1" + of)) << first.toStdString();
    EXPECT_TRUE(second.contains("Page 2" + of)) << second.toStdString();
    EXPECT_TRUE(second.contains("licence.txt"));
    // The tab became blanks (their count is the layout's table test's business).
    EXPECT_TRUE(first.contains(QRegularExpression("Line 1 +of the licence text")))
        << first.toStdString();
    // Pages follow each other without losing a line: the first body line of
    // page 2 comes right after the last one of page 1.
    int lastOnFirst = 0;
    for (int i = 1; i <= 150; ++i)
        if (first.contains(QString("Line %1 ").arg(i)))
            lastOnFirst = i;
    ASSERT_GT(lastOnFirst, 10);
    EXPECT_TRUE(second.contains(QString("Line %1 ").arg(lastOnFirst + 1)));
    EXPECT_FALSE(second.contains(QString("Line %1 ").arg(lastOnFirst)));
}

TEST(TextPrinter, RefusalsAndAbort) {
    TTextPrinter printer;
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_THROW(printer.Print({"x"}, "x.txt"), components::EPrinter);
    }
    QTemporaryDir dir;
    printer.OutputFileName = dir.filePath("out.pdf");
    try {
        printer.Print({}, "empty.txt");
        ADD_FAILURE() << "empty text printed";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot print empty text");
    }
    printer.OnConfirm = [](bool& abort, int) { abort = true; };
    try {
        printer.Print({"x"}, "x.txt");
        ADD_FAILURE() << "not aborted";
    } catch (const components::EAbort& e) {
        EXPECT_STREQ(e.what(), ""); // silent
    }
    // The question comes before the file is made.
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

} // namespace
