#pragma once
// The window's side of the Project menu: binds the Qt-free project commands
// and the make pipeline to the main window (file dialogs, the recent-files
// menu, the error log, the progress strip, Project Options), and runs the
// command line at the end of start-up.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/commandline.h"
#include "editor/makepipeline.h"
#include "editor/projectcommands.h"
#include "editor/projectoptions.h"
#include "editor/ui/filedialogkind.h"

class QDockWidget;
class QLabel;
class QMainWindow;

namespace components::ui {
class TReopenMenu;
}
namespace editor {
class TEditorContext;
}

namespace helpproject {
class TRegistryHelpViewer;
}
namespace unitparser::ui {
class TParserForm;
}

namespace editor::ui {

class TErrorLogPanel;
class TMainActions;
class TOptionsForm;
class TTextStyleCombo;

// A file dialog filter "Name|*.a;*.b|All|*.*" as Qt writes it:
// "Name (*.a *.b);;All (*.*)". A name that already ends in its pattern keeps
// it once.
QString QtFilter(const std::string& filter);

// The parts of the main window that the Project menu's commands use.
struct TProjectActionsWidgets {
    // The parent of the dialogs; its menu bar, editor and status bar.
    QMainWindow& Window;
    TMainActions& Actions;
    TErrorLogPanel& ErrorLog;
    QDockWidget& PanelGrid;
    QDockWidget& PanelHCError;
    components::ui::TReopenMenu& Reopen;
    // Follows the source-code style of the help-file kind.
    TTextStyleCombo& StyleCombo;
};

class TProjectActions : public QObject, public IProjectCommandHost, public IMakeHost {
    Q_OBJECT

public:
    // A project file dialog: the chosen file, or nullopt when cancelled.
    using TFileDialog =
        std::function<std::optional<std::string>(const TFileDialogSpec& dialog, bool save)>;
    // Returns the chosen file, or "" when the dialog was cancelled.
    using TFileChooser =
        std::function<std::string(TFileDialogKind kind, const std::string& startFile)>;

    TProjectActions(TEditorContext& context, const TProjectActionsWidgets& widgets);
    ~TProjectActions() override;

    TProjectCommands& Commands() { return *commands_; }
    TMakePipeline& Make() { return *make_; }
    TOptionsForm& OptionsForm();
    // The parser dialog, made on first use and kept.
    unitparser::ui::TParserForm& ParserForm();

    // Tests replace the dialogs.
    void SetFileDialog(TFileDialog dialog) { fileDialog_ = std::move(dialog); }
    void SetFileChooser(TFileChooser chooser) { chooser_ = std::move(chooser); }
    std::string ChooseFile(TFileDialogKind kind, const std::string& startFile = {});

    // Binds the Project menu's actions.
    void BindActions();
    // Reads a project file and shows it (no prompt).
    void OpenProject(const std::string& fileName) { commands_->OpenProject(fileName); }
    // The save prompt of closing: false when the person cancelled.
    bool ConfirmDiscard() { return commands_->ConfirmDropProject(); }
    // Project Options from the menu (false) or from code (true: Cancel
    // throws EAbort).
    void ProjectOptions(bool fromCode);
    // The command line as delivered, run once after start-up. A quiet run
    // answers no question and reports through stderr and its exit status.
    TCommandLineResult RunCommandLine(const std::vector<std::string>& args);

    // ---- IProjectCommandHost -------------------------------------------------
    std::optional<std::string> PromptOpenFile(const TFileDialogSpec& dialog) override;
    std::optional<std::string> PromptSaveFile(const TFileDialogSpec& dialog) override;
    void StoreTopic() override;
    void ShowTopic() override;
    void ShowNewProjectTopic() override;
    void ProjectReplaced() override;
    void PassThroughEditor(helpproject::TBrindlewovenTopic& topic) override;
    void OpenWebPage(const std::string& url) override;
    void HelpFileKindChanged(std::int32_t kind) override;
    void OpenDocument(const std::string& fileName) override;
    void AddRecentFile(const std::string& fileName) override;
    void RemoveRecentFile(const std::string& fileName) override;
    std::int32_t ParsePascalUnit(const std::string& unitFile, std::int32_t firstNumber) override;

    // ---- IMakeHost -----------------------------------------------------------
    void ShowProgressText(const std::string& text) override;
    void SetBusy(bool busy) override;
    void SetWindowEnabled(bool enabled) override;
    void ShowErrorLog(const std::vector<std::string>& lines) override;
    void OpenProjectOptions() override { ProjectOptions(true); }

signals:
    // The session holds another project (or the same one, changed in bulk):
    // the separate editors read it anew.
    void ProjectSwitched();

private:
    std::optional<std::string> AskForProjectFile(const TFileDialogSpec& dialog, bool save);

    TEditorContext& context_;
    TProjectActionsWidgets widgets_;
    QLabel* progressPanel_;
    std::unique_ptr<TProjectCommands> commands_;
    std::unique_ptr<TMakePipeline> make_;
    std::unique_ptr<helpproject::TRegistryHelpViewer> viewer_;
    TOptionsForm* optionsForm_ = nullptr;
    unitparser::ui::TParserForm* parserForm_ = nullptr;
    TFileDialog fileDialog_;
    TFileChooser chooser_;
    int busy_ = 0;
};

} // namespace editor::ui
