#include "editor/ui/topiclistcommands.h"

#include <QAction>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/textprinter.h"
#include "editor/editorcontext.h"
#include "editor/topiclisttext.h"
#include "editor/ui/mainactions.h"

namespace editor::ui {

using components::ui::FromQString;

namespace {

constexpr int kPrintResult = 100;

} // namespace

TTopicListCommands::TTopicListCommands(TEditorContext& context, TMainActions& actions,
                                       QWidget& window)
    : QObject(&window), context_(context), actions_(actions), window_(window) {
    exportChooser_ = [this] {
        QFileDialog dialog(&window_, "Export Topic Grid", QString(),
                           "Text files (*.txt);;All files (*.*)");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("txt");
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::string();
        return FromQString(dialog.selectedFiles().front());
    };
}

TTopicListCommands::~TTopicListCommands() = default;

void TTopicListCommands::BindActions() {
    actions_.Bind("PrinterSetupItem", [this] { context_.Run([this] { PrinterSetup(); }); });
    actions_.Bind("PrintTopicListItem", [this] { context_.Run([this] { PrintTopicList(); }); });
    actions_.Bind("ActionProjectExportGrid", [this] { context_.Run([this] { ExportGrid(); }); });
}

QPrinter& TTopicListCommands::SetupPrinter() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>();
    return *printer_;
}

void TTopicListCommands::PrinterSetup() {
    QPageSetupDialog dialog(&SetupPrinter(), &window_);
    dialog.exec();
}

void TTopicListCommands::PrintTopicList() {
    context_.TopicEditor().StoreTopic();
    components::ui::TTextPrinter printer;
    printer.Font = QFont("Courier New", 10);
    printer.Font.setStyleHint(QFont::Courier); // a fixed pitch where it is missing
    printer.Options.Footer = "Page %P of %N";
    printer.Options.WordWrap = false;
    printer.OutputFileName = pdfOutput_;
    if (printer_) { // what printer setup chose
        printer.PrinterName = printer_->printerName();
        printer.PageLayout = printer_->pageLayout();
    }
    if (printer.OutputFileName.isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty()) {
        // No printer installed: the list goes into a PDF file.
        printer.OutputFileName = QFileDialog::getSaveFileName(&window_, "Print Topic List",
                                                              "topics.pdf", "PDF files (*.pdf)");
        if (printer.OutputFileName.isEmpty())
            return;
    }
    printer.OnConfirm = [this](bool& abort, int pages) {
        components::TQuestion question;
        question.Kind = components::TMessageKind::Confirmation;
        question.Caption = "Print Topic List";
        question.Text =
            "Printing a list of all topics will require " + std::to_string(pages) + " pages.";
        question.Buttons = {{"Print!", kPrintResult, true, false},
                            {"Cancel", components::mrCancel, false, true}};
        abort = context_.Messenger().Ask(question) != kPrintResult;
    };
    printer.Print(TopicListLines(context_.Project()), FromQString(window_.windowTitle()));
}

void TTopicListCommands::SetGridVisible(bool visible) {
    actions_.Action("ActionProjectExportGrid")->setEnabled(visible);
}

void TTopicListCommands::ExportGrid() {
    if (!actions_.Action("ActionProjectExportGrid")->isEnabled())
        return;
    const std::string file = exportChooser_ ? exportChooser_() : std::string();
    if (file.empty())
        return;
    context_.TopicEditor().StoreTopic();
    editor::ExportGrid(context_.Project(), context_.Grid().Layout(), file);
}

} // namespace editor::ui
