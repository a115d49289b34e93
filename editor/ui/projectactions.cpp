#include "editor/ui/projectactions.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>
#include <iostream>

#include "components/applocation.h"
#include "components/ui/ansiqt.h"
#include "components/ui/reopenmenu.h"
#include "editor/defaulttextstyles.h"
#include "editor/editorcontext.h"
#include "editor/topiceditor.h"
#include "editor/ui/dialogs/formoptions.h"
#include "editor/ui/errorlogpanel.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/textstylecombo.h"
#include "helpproject/build/compilerpaths.h"
#include "helpproject/build/helpviewer.h"
#include "unitparser/projecttopicsink.h"
#include "unitparser/topicgenerator.h"
#include "unitparser/ui/parserform.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

// "Name|*.a;*.b|All|*.*" as Qt writes it: "Name (*.a *.b);;All (*.*)".
QString QtFilter(const std::string& filter) {
    const QStringList parts = ToQString(filter).split('|');
    QStringList qt;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
        // A name that already shows its pattern (either way) keeps it once.
        const bool shown =
            parts[i].endsWith(pattern) || parts[i].endsWith(" (" + parts[i + 1] + ")");
        qt << (shown ? parts[i].left(parts[i].lastIndexOf(" (")) + pattern : parts[i] + pattern);
    }
    return qt.join(";;");
}

namespace {

struct TMarkupDialog {
    const char* Title;
    const char* Filter;
};

TMarkupDialog MarkupDialogOf(TFileDialogKind kind) {
    if (kind == TFileDialogKind::Flash)
        return {"Embed Flash", "Flash (*.swf);;Any file (*)"};
    return {"Link to a file", "Any file (*)"};
}

} // namespace

TProjectActions::TProjectActions(TEditorContext& context, const TProjectActionsWidgets& widgets)
    : QObject(&widgets.Window), context_(context), widgets_(widgets),
      progressPanel_(new QLabel(&widgets.Window)),
      commands_(std::make_unique<TProjectCommands>(context.Session(), context.Messenger(), *this,
                                                   &context.TextStyles())),
      make_(std::make_unique<TMakePipeline>(*commands_, *this, context.CompilerPaths(),
                                            context.Settings())),
      viewer_(std::make_unique<helpproject::TRegistryHelpViewer>(context.Registry())) {
    progressPanel_->setObjectName("ProgressPanel");
    progressPanel_->setStyleSheet("QLabel { color: red; font-weight: bold; padding: 2px 4px; }");
    // A strip at the top of the editor, above the ruler.
    if (auto* editorLayout = qobject_cast<QVBoxLayout*>(widgets_.Window.centralWidget()->layout()))
        editorLayout->insertWidget(0, progressPanel_);
    else
        widgets_.Window.statusBar()->addWidget(progressPanel_);
    progressPanel_->hide();
    make_->SetViewer(viewer_.get());
    fileDialog_ = [this](const TFileDialogSpec& dialog, bool save) {
        return AskForProjectFile(dialog, save);
    };
    chooser_ = [this](TFileDialogKind kind, const std::string& startFile) {
        const TMarkupDialog dialog = MarkupDialogOf(kind);
        return FromQString(QFileDialog::getOpenFileName(&widgets_.Window, dialog.Title,
                                                        ToQString(startFile), dialog.Filter));
    };
    connect(&widgets_.ErrorLog, &TErrorLogPanel::GoToTopic, this, [this](const QString& text) {
        context_.Run([&] { make_->GoToErrorTopic(FromQString(text)); });
    });
}

TProjectActions::~TProjectActions() = default;

std::optional<std::string> TProjectActions::AskForProjectFile(const TFileDialogSpec& spec,
                                                              bool save) {
    QFileDialog dialog(&widgets_.Window, ToQString(spec.Title), ToQString(spec.FileName),
                       QtFilter(spec.Filter));
    dialog.setDefaultSuffix(ToQString(spec.DefaultExtension));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !spec.ConfirmOverwrite);
    } else {
        dialog.setFileMode(spec.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FromQString(dialog.selectedFiles().front());
}

std::string TProjectActions::ChooseFile(TFileDialogKind kind, const std::string& startFile) {
    return chooser_(kind, startFile);
}

TOptionsForm& TProjectActions::OptionsForm() {
    if (!optionsForm_)
        optionsForm_ = new TOptionsForm(context_.Messenger(), &widgets_.Window);
    return *optionsForm_;
}

unitparser::ui::TParserForm& TProjectActions::ParserForm() {
    if (!parserForm_) {
        parserForm_ = new unitparser::ui::TParserForm(&widgets_.Window);
        // The hour-glass and the status text while the unit is read.
        parserForm_->StatusText = [this, busy = false](const std::string& text) mutable {
            ShowProgressText(text);
            if (busy != !text.empty()) {
                busy = !text.empty();
                SetBusy(busy);
            }
        };
    }
    return *parserForm_;
}

std::int32_t TProjectActions::ParsePascalUnit(const std::string& unitFile,
                                              std::int32_t firstNumber) {
    unitparser::ui::TParserForm& parser = ParserForm();
    unitparser::TProjectTopicSink sink(context_.Project(), &context_.TextStyles());
    const std::int32_t first =
        parser.ParsePascalUnit(unitFile, firstNumber, sink, context_.Messenger());
    // The member lists' pictures ship in the program's folder; the classes'
    // bitmaps sit in folders of their own.
    if (first > 0)
        unitparser::AddGeneratedBitmapFolders(context_.Project().BitmapPaths,
                                              parser.Model().Parser(),
                                              components::AppLocation().AppFolder);
    return first;
}

void TProjectActions::BindActions() {
    TMainActions& actions = widgets_.Actions;
    auto bind = [this, &actions](const char* name, std::function<void()> command) {
        actions.Bind(name, [this, command = std::move(command)] { context_.Run(command); });
    };
    TProjectCommands& c = *commands_;
    bind("ActionProjectNew", [this, &c] {
        StoreTopic();
        c.NewProject();
    });
    bind("ActionProjectOpen", [&c] { c.ProjectOpen(); });
    bind("ActionProjectSave", [&c] { c.Save(); });
    bind("ActionProjectSaveAs", [&c] { c.SaveAs(false); });
    bind("ActionProjectFlatManual", [&c] { c.FlatManual(); });
    bind("ActionProjectExport", [&c] { c.ExportHpjRtf(); });
    bind("ActionProjectExportHTMLHelp", [&c] { c.ExportHtmlHelp(); });
    bind("ActionProjectWebHelp", [this, &c] {
        helpproject::TBrindlewovenProject& project = context_.Project();
        const auto file = PromptSaveFile({"Export to Web Help", "htm", "HTML (*.htm)|*.htm",
                                          project.WebOutputFile, false, true});
        if (!file)
            return;
        project.WebOutputFile = *file;
        c.ExportWebHelp();
    });
    bind("ActionProjectImport", [&c] { c.Import(); });
    bind("ActionProjectDelphiUnit", [&c] { c.PascalUnit(); });
    bind("ActionProjectOptions", [this] { ProjectOptions(false); });
    bind("ActionProjectMake", [this] { make_->MakeHelpFile(true); });
    bind("ActionProjectShowHelpFile", [this] {
        StoreTopic();
        const auto* topic = context_.Session().CurrentTopic();
        helpproject::ShowBuiltHelp(context_.Project(), topic ? topic->Number : 0, *viewer_,
                                   [this] { make_->MakeHelpFile(true); });
    });
}

void TProjectActions::ProjectOptions(bool fromCode) {
    helpproject::TCompilerPaths& paths = context_.CompilerPaths();
    if (!ExecuteProjectOptions(OptionsForm(), context_.Project(), paths, context_.Settings(),
                               fromCode))
        return;
    context_.Session().SetModified();
    HelpFileKindChanged(context_.Project().HelpFileKind);
    helpproject::SaveCompilerPaths(context_.Registry(), paths);
    context_.View().PropertyBarChanged();
}

TCommandLineResult TProjectActions::RunCommandLine(const std::vector<std::string>& args) {
    const TCommandLine line = ParseCommandLine(args);
    TCommandLineServices services;
    if (!line.Quiet)
        return editor::RunCommandLine(line, *commands_, *make_, services);
    // No person answers in a quiet run: it leaves the window alone.
    return RunQuietCommandLine(line, context_.CompilerPaths(), context_.Settings(), std::cerr,
                               services);
}

std::optional<std::string> TProjectActions::PromptOpenFile(const TFileDialogSpec& dialog) {
    return fileDialog_(dialog, false);
}

std::optional<std::string> TProjectActions::PromptSaveFile(const TFileDialogSpec& dialog) {
    return fileDialog_(dialog, true);
}

void TProjectActions::StoreTopic() {
    context_.TopicEditor().StoreTopic();
}

void TProjectActions::ShowTopic() {
    context_.TopicEditor().ShowTopic();
}

void TProjectActions::ShowNewProjectTopic() {
    context_.TopicEditor().ShowNewProjectTopic();
}

void TProjectActions::ProjectReplaced() {
    context_.TopicEditor().ProjectReplaced();
    emit ProjectSwitched();
}

void TProjectActions::PassThroughEditor(helpproject::TBrindlewovenTopic& topic) {
    context_.TopicEditor().PassThroughEditor(topic);
}

void TProjectActions::HelpFileKindChanged(std::int32_t kind) {
    context_.SetHelpFileKind(kind);
    TTextStyleCombo& box = widgets_.StyleCombo;
    box.Refresh();
    if (box.currentText().isEmpty())
        box.SelectStyle(std::string(kTopicTextStyle));
}

void TProjectActions::OpenWebPage(const std::string& url) {
    QDesktopServices::openUrl(QUrl(ToQString(url)));
}

void TProjectActions::OpenDocument(const std::string& fileName) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(fileName)));
}

void TProjectActions::AddRecentFile(const std::string& fileName) {
    widgets_.Reopen.AddFile(ToQString(fileName));
}

void TProjectActions::RemoveRecentFile(const std::string& fileName) {
    widgets_.Reopen.RemoveFile(ToQString(fileName));
}

void TProjectActions::ShowProgressText(const std::string& text) {
    progressPanel_->setText(ToQString(text));
    progressPanel_->setVisible(!text.empty());
    progressPanel_->repaint();
}

void TProjectActions::SetBusy(bool busy) {
    if (busy && busy_++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!busy && busy_ > 0 && --busy_ == 0)
        QApplication::restoreOverrideCursor();
}

void TProjectActions::SetWindowEnabled(bool enabled) {
    // The window's own parts only: the progress window with its Abort button
    // must stay usable while the compiler runs.
    widgets_.Window.menuBar()->setEnabled(enabled);
    if (QWidget* central = widgets_.Window.centralWidget())
        central->setEnabled(enabled);
    widgets_.PanelGrid.setEnabled(enabled);
}

void TProjectActions::ShowErrorLog(const std::vector<std::string>& lines) {
    widgets_.ErrorLog.SetLines(lines);
    widgets_.PanelHCError.show();
}

} // namespace editor::ui
