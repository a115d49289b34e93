#pragma once
// The main window of the help program. It owns the editing session and the
// topic editor over it, and shows them: the rich-edit control with its
// ruler, the five tool bars, the topic grid and the error log as docks, the
// status bar. Commands are methods (callable from tests) bound to the menu
// actions; every command runs through Run, the one place where the core's
// exceptions are caught and shown through the messenger. The command groups
// live in their own units (project commands, markup commands, undo menus).
#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/editorsettings.h"
#include "editor/formatbar.h"
#include "editor/topiceditor.h"
#include "editor/topicgrid.h"
#include "editor/windowstate.h"
#include "helpproject/build/compilerpaths.h"
#include "helpproject/editingsession.h"
#include "helpproject/textstylemacro.h"

class QDockWidget;
class QLineEdit;
class QPlainTextEdit;
class QToolBar;

namespace components {
class IMessenger;
}
namespace components::ui {
class TRicherEdit;
class TRichRuler;
class TReopenMenu;
} // namespace components::ui
namespace platform {
class Registry;
}

namespace editor {
struct TCommandLineResult;
}

namespace editor::ui {

class TFormatBarWidget;
class TTextStyleCombo;
class TDialogCommands;
class TMainActions;
class TMarkupActions;
class TProjectActions;
class TErrorLogPanel;
class TPropertyBarWidgets;
class TRichEditTextEditor;
class TTopicGridModel;
class TTopicGridPanel;
class TTopicGridView;
class TUndoMenuWidgets;

inline constexpr std::string_view kMainKey = "Software\\Vexlor\\Brindlewoven";
inline constexpr std::string_view kReopenKey = "Software\\Vexlor\\Brindlewoven\\Reopen";

class TBrindlewovenForm : public QMainWindow, public ITopicEditorView {
    Q_OBJECT

public:
    // Builds the window, reads its layout and settings from the registry
    // (the default layout when they were never saved) and the recent files.
    TBrindlewovenForm(components::IMessenger& messenger, platform::Registry& registry,
                      QWidget* parent = nullptr);
    ~TBrindlewovenForm() override;

    // ---- what the window holds ----------------------------------------------
    helpproject::TEditingSession& Session() { return session_; }
    helpproject::TBrindlewovenProject& Project() { return session_.Project(); }
    TTopicEditor& TopicEditor() { return *topicEditor_; }
    TTopicGrid& Grid() { return *grid_; }
    TTopicGridView& GridView() { return *gridView_; }
    TTopicGridPanel& GridPanel() { return *gridPanel_; }
    TFormatBar& FormatBar();
    ui::TFormatBarWidget& FormatBarWidget() { return *formatBarWidget_; }
    ui::TTextStyleCombo& StyleCombo() { return *styleCombo_; }
    helpproject::TTextStyleList& TextStyles() { return styles_; }
    TEditorSettings& Settings() { return state_.Settings; }
    components::ui::TRicherEdit& RichEdit() { return *richEdit_; }
    components::ui::TRichRuler& Ruler() { return *ruler_; }
    TMainActions& Actions() { return *actions_; }
    TPropertyBarWidgets& PropertyBarWidgets() { return *propertyBar_; }
    TMarkupActions& Markup() { return *markup_; }
    TProjectActions& ProjectActions() { return *projectActions_; }
    TDialogCommands& DialogCommands() { return *dialogCommands_; }
    TUndoMenuWidgets& UndoMenus() { return *undoMenus_; }
    components::ui::TReopenMenu& Reopen() { return *reopen_; }
    components::IMessenger& Messenger() { return messenger_; }
    platform::Registry& Registry() { return registry_; }
    QDockWidget* PanelGrid() const { return panelGrid_; }
    QDockWidget* PanelHCError() const { return panelHCError_; }
    QPlainTextEdit* MemoHCError() const { return memoHCError_; }
    QToolBar* ProjectBar() const { return projectBar_; }
    QToolBar* TopicBar() const { return topicBar_; }
    QToolBar* PropertiesBar() const { return propertiesBar_; }
    // The formatting bar with the text-style box.
    QToolBar* TextBar() const { return textBar_; }
    QToolBar* HelpToolBar() const { return helpToolBar_; }

    // The help compilers, loaded at start-up.
    const helpproject::TCompilerPaths& CompilerPaths() const { return compilerPaths_; }
    void SetCompilerPaths(const helpproject::TCompilerPaths& paths) { compilerPaths_ = paths; }
    // The make pipeline and Project Options change them.
    helpproject::TCompilerPaths& MutableCompilerPaths() { return compilerPaths_; }
    TErrorLogPanel& ErrorLogPanel() { return *errorLogPanel_; }

    // ---- running commands ---------------------------------------------------
    // Runs a command: an EAbort ends it silently, any other exception is
    // shown through the messenger. While it runs the window is busy.
    void Run(const std::function<void()>& command);
    // A command (or a modal dialog of one) is running: closing is refused.
    bool Busy() const { return busy_ > 0; }

    // ---- services of the window ---------------------------------------------
    void ShowTopic() { topicEditor_->ShowTopic(); }
    void StoreTopic() { topicEditor_->StoreTopic(); }
    void GoToTopicID(std::int32_t number) { topicEditor_->GoToTopicID(number); }
    void GoToTopicIndex(std::int32_t position) { topicEditor_->GoToTopicIndex(position); }
    helpproject::TBrindlewovenTopic* AddParsedTopic(std::int32_t number, const std::string& title) {
        return topicEditor_->AddParsedTopic(number, title);
    }
    void ApplyMacroFont(const helpproject::TTextStyleMacro& style) {
        topicEditor_->ApplyMacroFont(style);
    }
    void HighlightSourceCode() { topicEditor_->HighlightSourceCode(); }
    bool BulkUpdate() const { return topicEditor_->BulkUpdate(); }
    void SetBulkUpdate(bool on) { topicEditor_->SetBulkUpdate(on); }
    // Keeps the source-code style (and the style box) in step with the
    // help-file kind.
    void SetHelpFileKind(std::int32_t kind);

    // The command line as delivered (without the program name), run once
    // after start-up. Quit: the program ends at once with ExitCode instead
    // of running its loop.
    TCommandLineResult RunCommandLine(const std::vector<std::string>& args);

    void ShowAboutBox();
    void ShowTechSupport();
    // Shows the history pop-up at a place on the screen.
    void ShowHistoryMenu(const QPoint& at);

    // ---- layout and state -------------------------------------------------
    // How many times the show-time work ran (once per window).
    int ShowTimeRuns() const { return showTimeRuns_; }
    // The twenty State values as the window holds them now.
    TWindowState CurrentWindowState();
    void ToggleGrid();

    // ---- ITopicEditorView ---------------------------------------------------
    ITextEditor& TextEditor() override;
    void PropertyBarChanged() override;
    void TopicListChanged() override;
    void LinkListChanged() override;
    void EndGridEdit() override;
    void GridChanged() override;
    bool GridVisible() const override;
    void UndoMenusChanged() override;
    void PropertyListsChanged() override;
    void RefreshEditorState() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildEditor();
    void BuildBars();
    void BuildDocks();
    void BuildCore();
    void BuildTextBar();
    void SelectionPresenceChanged(bool hasSelection);
    void EditorPopup(const QPoint& at);
    void BindCommands();
    void BindTextCommands();
    void BindViewCommands();
    void ApplyWindowState(const TWindowState& state);
    void RunShowTimeWork();
    bool CloseQuery();
    void FormClose();
    void UpdateCaption();
    // The ruler's page is the editor's text width, in the ruler's units.
    void UpdateRulerPage();

    components::IMessenger& messenger_;
    platform::Registry& registry_;
    helpproject::TEditingSession session_;
    helpproject::TTextStyleList styles_;
    TWindowState state_;
    helpproject::TCompilerPaths compilerPaths_;

    components::ui::TRicherEdit* richEdit_ = nullptr;
    components::ui::TRichRuler* ruler_ = nullptr;
    QToolBar* projectBar_ = nullptr;
    QToolBar* topicBar_ = nullptr;
    QToolBar* propertiesBar_ = nullptr;
    QToolBar* textBar_ = nullptr;
    QToolBar* helpToolBar_ = nullptr;
    QDockWidget* panelGrid_ = nullptr;
    QDockWidget* panelHCError_ = nullptr;
    QPlainTextEdit* memoHCError_ = nullptr;

    std::unique_ptr<TRichEditTextEditor> textEditor_;
    TMainActions* actions_ = nullptr;
    TPropertyBarWidgets* propertyBar_ = nullptr;
    std::unique_ptr<TTopicEditor> topicEditor_;
    std::unique_ptr<TTopicGrid> grid_;
    ui::TFormatBarWidget* formatBarWidget_ = nullptr;
    ui::TTextStyleCombo* styleCombo_ = nullptr;
    TTopicGridModel* gridModel_ = nullptr;
    TTopicGridView* gridView_ = nullptr;
    TTopicGridPanel* gridPanel_ = nullptr;
    TMarkupActions* markup_ = nullptr;
    TProjectActions* projectActions_ = nullptr;
    TErrorLogPanel* errorLogPanel_ = nullptr;
    TDialogCommands* dialogCommands_ = nullptr;
    TUndoMenuWidgets* undoMenus_ = nullptr;
    components::ui::TReopenMenu* reopen_ = nullptr;

    int busy_ = 0;
    int showTimeRuns_ = 0;
    bool closing_ = false;
};

} // namespace editor::ui
