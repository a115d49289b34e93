#pragma once
// The main window of the help program. It shows the editor context's
// session and topic editor: the rich-edit control with its ruler, the five
// tool bars, the topic grid and the error log as docks, the status bar.
// The command groups live in their own units (project commands, markup
// commands, dialogs, undo menus); each receives the context and the widgets
// it needs, and every command runs through the context's Run, the one place
// where the core's exceptions are caught and shown through the messenger.
#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/editorcontext.h"
#include "editor/ui/dockpanels.h"
#include "editor/ui/mainwindowlayout.h"
#include "editor/windowstate.h"

class QDockWidget;
class QMenu;
class QLineEdit;
class QPlainTextEdit;
class QToolBar;

namespace components::ui {
class TRicherEdit;
class TRichRuler;
class TReopenMenu;
} // namespace components::ui

namespace editor {
struct TCommandLineResult;
}

namespace editor::ui {

class TFormatBarWidget;
class TTextStyleCombo;
class TContentsEditorCommands;
class TSHGEditorCommands;
class TDialogCommands;
class TFindForm;
class TFloatingOnTop;
class THelpActions;
class TMainActions;
class TMarkupActions;
class TMarkupDialogCommands;
class TTopicClipboardActions;
class TTopicListCommands;
class TProjectActions;
class TProjectEditorsActions;
class TErrorLogPanel;
class TLinkListener;
class TPropertyBarWidgets;
class TRichEditTextEditor;
class TSpellActions;
class TTopicGridModel;
class TTopicGridPanel;
class TTopicGridView;
class TUndoMenuWidgets;

inline constexpr std::string_view kMainKey = "Software\\Vexlor\\Brindlewoven";
inline constexpr std::string_view kReopenKey = "Software\\Vexlor\\Brindlewoven\\Reopen";

class TBrindlewovenForm : public QMainWindow, public ITopicEditorView {
    Q_OBJECT

public:
    // Builds the window over the editor context (which outlives it), reads
    // its layout and settings from the context's registry (the default
    // layout when they were never saved) and the recent files.
    explicit TBrindlewovenForm(TEditorContext& context, QWidget* parent = nullptr);
    ~TBrindlewovenForm() override;

    TEditorContext& Context() { return context_; }

    // ---- the window's parts (for the program's entry point and tests) ------
    components::ui::TRicherEdit& RichEdit() { return *richEdit_; }
    components::ui::TRichRuler& Ruler() { return *ruler_; }
    TMainActions& Actions() { return *actions_; }
    TTopicGridView& GridView() { return *gridView_; }
    TTopicGridPanel& GridPanel() { return *gridPanel_; }
    ui::TFormatBarWidget& FormatBarWidget() { return *formatBarWidget_; }
    ui::TTextStyleCombo& StyleCombo() { return *styleCombo_; }
    TPropertyBarWidgets& PropertyBarWidgets() { return *propertyBar_; }
    TMarkupActions& Markup() { return *markup_; }
    TProjectActions& ProjectActions() { return *projectActions_; }
    TDialogCommands& DialogCommands() { return *dialogCommands_; }
    TMarkupDialogCommands& MarkupDialogs() { return *markupDialogs_; }
    TTopicClipboardActions& TopicClipboard() { return *topicClipboard_; }
    TTopicListCommands& TopicListCommands() { return *topicListCommands_; }
    TSpellActions& SpellActions() { return *spellActions_; }
    TContentsEditorCommands& ContentsEditors() { return *contentsEditors_; }
    TProjectEditorsActions& ProjectEditors() { return *projectEditors_; }
    TSHGEditorCommands& SHGEditor() { return *shgEditor_; }
    THelpActions& HelpActions() { return *helpActions_; }
    TUndoMenuWidgets& UndoMenus() { return *undoMenus_; }
    components::ui::TReopenMenu& Reopen() { return *reopen_; }
    TErrorLogPanel& ErrorLogPanel() { return *errorLogPanel_; }
    // The client link: serving once Listen is called.
    TLinkListener& LinkListener() { return *linkListener_; }
    QDockWidget* PanelGrid() const { return panelGrid_; }
    QDockWidget* PanelHCError() const { return panelHCError_; }
    QPlainTextEdit* MemoHCError() const { return memoHCError_; }
    QToolBar* ProjectBar() const { return projectBar_; }
    QToolBar* TopicBar() const { return topicBar_; }
    QToolBar* PropertiesBar() const { return propertiesBar_; }
    // The formatting bar with the text-style box.
    QToolBar* TextBar() const { return textBar_; }
    QToolBar* HelpToolBar() const { return helpToolBar_; }
    // The floating panels' stay-on-top check boxes and their drags.
    TDockPanels& Docks() { return *docks_; }
    TFloatingOnTop& GridOnTop() { return docks_->GridOnTop(); }
    TFloatingOnTop& HCErrorOnTop() { return docks_->HCErrorOnTop(); }

    // The command line as delivered (without the program name), run once
    // after start-up. Quit: the program ends at once with ExitCode instead
    // of running its loop.
    TCommandLineResult RunCommandLine(const std::vector<std::string>& args);

    // Shows the history pop-up at a place on the screen.
    void ShowHistoryMenu(const QPoint& at);
    // Find and Replace: the window is made on first use and shown again.
    TFindForm& ShowFindForm();

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
    void TopicStored(const helpproject::TBrindlewovenTopic& topic) override;

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
    void BuildOpenButtonPopup();
    void SelectionPresenceChanged(bool hasSelection);
    void EditorPopup(const QPoint& at);
    void BindCommands();
    void BindTextCommands();
    void BindViewCommands();
    void BuildOnTopStrips();
    // Runs a command through the context.
    void Run(const std::function<void()>& command) { context_.Run(command); }
    TMainWindowParts Parts();
    void ApplyWindowState(const TWindowState& state);
    void RunShowTimeWork();
    bool CloseQuery();
    void FormClose();
    void UpdateCaption();
    // The ruler's page is the editor's text width, in the ruler's units.
    void UpdateRulerPage();

    TEditorContext& context_;
    TWindowState state_;

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
    ui::TFormatBarWidget* formatBarWidget_ = nullptr;
    ui::TTextStyleCombo* styleCombo_ = nullptr;
    TTopicGridModel* gridModel_ = nullptr;
    TTopicGridView* gridView_ = nullptr;
    TTopicGridPanel* gridPanel_ = nullptr;
    TMarkupActions* markup_ = nullptr;
    TProjectActions* projectActions_ = nullptr;
    TErrorLogPanel* errorLogPanel_ = nullptr;
    TDialogCommands* dialogCommands_ = nullptr;
    TMarkupDialogCommands* markupDialogs_ = nullptr;
    TTopicClipboardActions* topicClipboard_ = nullptr;
    TTopicListCommands* topicListCommands_ = nullptr;
    TSpellActions* spellActions_ = nullptr;
    TFindForm* findForm_ = nullptr; // made on first use, then kept
    THelpActions* helpActions_ = nullptr;
    TContentsEditorCommands* contentsEditors_ = nullptr;
    TProjectEditorsActions* projectEditors_ = nullptr;
    TSHGEditorCommands* shgEditor_ = nullptr;
    TUndoMenuWidgets* undoMenus_ = nullptr;
    TLinkListener* linkListener_ = nullptr;
    components::ui::TReopenMenu* reopen_ = nullptr;
    QMenu* popupReopen_ = nullptr; // the Open button's right-click menu

    int showTimeRuns_ = 0;
    bool closing_ = false;
    // The floating error log's stay-on-top flag; not saved.
    bool hcErrorOnTop_ = false;
    bool applyingLayout_ = false;
    TDockPanels* docks_ = nullptr;
};

} // namespace editor::ui
