#pragma once
// The Print menu and the grid export: Printer Setup (the platform's
// dialog), Print Topic List (one line per topic in the grid's order on the
// text printer, after the page count is confirmed) and Export Topic Grid
// (enabled only while the grid is visible).
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QPrinter;
class QWidget;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TMainActions;

class TTopicListCommands : public QObject {
    Q_OBJECT

public:
    TTopicListCommands(TEditorContext& context, TMainActions& actions, QWidget& window);
    ~TTopicListCommands() override;

    // Binds Printer Setup, Print Topic List and Export Topic Grid.
    void BindActions();

    void PrinterSetup();
    void PrintTopicList();
    // Export Topic Grid is offered while the grid is shown.
    void SetGridVisible(bool visible);
    void ExportGrid();

    // The topic list goes into this PDF file instead of to the printer
    // (also where no printer is installed).
    void SetPdfOutput(const QString& fileName) { pdfOutput_ = fileName; }
    // The printer and page that Printer Setup edits and printing uses.
    QPrinter& SetupPrinter();
    // The save dialog of the export; an empty name cancels.
    using TFileChooser = std::function<std::string()>;
    void SetExportFileChooser(TFileChooser chooser) { exportChooser_ = std::move(chooser); }

private:
    TEditorContext& context_;
    TMainActions& actions_;
    QWidget& window_;
    std::unique_ptr<QPrinter> printer_;
    QString pdfOutput_;
    TFileChooser exportChooser_;
};

} // namespace editor::ui
