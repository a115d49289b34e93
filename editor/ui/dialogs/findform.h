#pragma once
// The "Find and Replace" window: a modeless tool window over the topic
// editor with the find and replace boxes and their histories, the options,
// the scope and origin, and its seven buttons on a floating panel (FindBar)
// docked at its right. The search itself is TFindSession; this window
// shows it, places itself off the found text and keeps its look and
// histories in the registry. The main window creates it once and shows it
// again with ShowFind; closing only hides it.
#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <memory>

#include <optional>

#include "editor/findplacement.h"
#include "editor/findsession.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;

namespace components::ui {
class TFlyingPanel;
class TMessenger;
class TRicherEdit;
} // namespace components::ui

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TFindForm : public QMainWindow, public IFindView {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 10650;

    // Reads the look, position and histories from the registry.
    TFindForm(TEditorContext& context, components::ui::TRicherEdit& richEdit, QWidget* mainWindow);
    // Writes them back.
    ~TFindForm() override;

    TFindSession& Session() { return *session_; }
    // What the boxes, check boxes and radio buttons hold now.
    TFindRequest Request() const;
    // Shows the window in front, takes the selection's state and gives the
    // find box the focus.
    void ShowFind();

    // The window's parts, named as in its design.
    QComboBox* ComboFind = nullptr;
    QComboBox* ComboReplace = nullptr;
    QCheckBox* CheckCase = nullptr;
    QCheckBox* CheckWholeWords = nullptr;
    QCheckBox* CheckPrompt = nullptr;
    QCheckBox* CheckRegEx = nullptr;
    QRadioButton* RadioAllDocs = nullptr;
    QRadioButton* RadioCurrentDoc = nullptr;
    QRadioButton* RadioCurrentSel = nullptr;
    QRadioButton* RadioDocStart = nullptr;
    QRadioButton* RadioSelStart = nullptr;
    QRadioButton* RadioCursor = nullptr;
    QWidget* PanelFind = nullptr;
    QWidget* PanelText = nullptr;
    QGroupBox* PanelOptions = nullptr;
    QWidget* PanelScope = nullptr;
    components::ui::TFlyingPanel* FindBar = nullptr;
    QPushButton* BtnFind = nullptr;
    QPushButton* BtnFindNext = nullptr;
    QPushButton* BtnReplaceCurrent = nullptr;
    QPushButton* BtnReplaceNext = nullptr;
    QPushButton* BtnReplaceAll = nullptr;
    QPushButton* BtnSettings = nullptr;
    QPushButton* BtnClose = nullptr;
    QPushButton* BtnHelp = nullptr;
    QMenu* PopupSettings = nullptr;
    QAction* ItemOptions = nullptr;
    QAction* ItemScope = nullptr;
    QAction* ItemButtonText = nullptr;
    QAction* ItemStayOnTop = nullptr;
    // The modeless box of Replace All with its Abort button.
    components::ui::TMessenger* MsgReplaceAll = nullptr;

    // The topic grid repaints (the main window sets it).
    std::function<void()> OnRepaintGrid;
    // The editor's text changed under a replacement.
    std::function<void()> OnEditorChange;

    // The handlers, callable from tests.
    void BtnFindClick(TFindButton button);
    void BtnReplaceCurrentClick();
    void ComboFindChange();
    void FormActivate();
    void AdjustFormSize();

signals:
    // The Help button and F1: the program's help at the window's context.
    void HelpRequested(int helpContext);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildText();
    void BuildOptions();
    void BuildScope();
    void BuildBar();
    void BuildSettings();
    void LoadSettings();
    void SaveSettings();
    void ApplyScope(TFindScope scope, bool activation);
    void ApplyButtons();
    void FillHistories();
    // The bar's buttons from top to bottom, as `captions_` holds their captions.
    QList<QPushButton*> BarButtons() const;
    void SetButtonText(bool withText);
    void SetStayOnTop(bool onTop);
    // The found text's rectangle on the screen, extended down by the
    // editor's font height; none without a selection.
    std::optional<TFindRect> SelectionRect() const;
    int EditorFontHeight() const;

    // IFindView
    void ScrollCaret() override;
    void LockUpdates(bool locked) override;
    void RepaintGrid() override;
    void EditorChanged() override;
    void OccurrenceSelected() override;
    void HideForm() override;
    void ShowForm() override;
    void FocusForm() override;
    void BringMainForward() override;
    void BeginReplaceAll(const std::string& text) override;
    bool ReplaceAllAborted() override;
    void EndReplaceAll() override;
    std::optional<components::TBoxPosition> PromptPosition(int width, int height) override;

    TEditorContext& context_;
    components::ui::TRicherEdit& richEdit_;
    QWidget* mainWindow_;
    std::unique_ptr<TFindSession> session_;
    std::unique_ptr<components::ui::TMessenger> msgReplaceAll_;
    bool hasSelection_ = false;
    bool abortReplace_ = false;
    bool disabledMain_ = false;
    QElapsedTimer pumpTimer_;
    // As built: the captions, the wide and narrow button widths and the
    // size of the text, options and scope panels.
    QStringList captions_;
    int wideWidth_ = 0;
    int narrowWidth_ = 0;
    QSize panelSize_;
};

} // namespace editor::ui
