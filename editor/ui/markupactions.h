#pragma once
// The HelpTools commands: the link list of the help tool bar and every
// markup code the menu inserts into the topic text (the rules are
// markupcommands.h). The commands that need a dialog of their own (link,
// internet link, button, bitmap) call a handler that the dialog's unit sets;
// until one is set their actions stay disabled.
#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "editor/ui/filedialogkind.h"

class QComboBox;
class QMenu;
class QToolBar;
class QToolButton;
class QAction;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TMainActions;

class TMarkupActions : public QObject {
    Q_OBJECT

public:
    // The link list goes into the help tool bar; the commands are bound
    // to `actions`.
    TMarkupActions(TEditorContext& context, TMainActions& actions, QToolBar& helpToolBar);
    // The file dialog of Link to File and Embed Flash.
    using TFileChooser = std::function<std::string(TFileDialogKind kind)>;
    void SetFileChooser(TFileChooser chooser) { chooser_ = std::move(chooser); }

    // Binds the HelpTools actions of the window.
    void BindActions();

    // ---- the link list ------------------------------------------------------
    QComboBox* ComboLink = nullptr;
    QToolButton* BtnLinkSort = nullptr;
    // Fills the list anew ("%s (%d)" by title, or "%d: %s" by number),
    // keeping the chosen topic chosen.
    void FillLinkList();
    void SortLinkListByNumber(bool byNumber);
    // Chooses a topic in the list (Link and Popup Link need one).
    void SelectLinkTarget(std::int32_t number);
    // The chosen topic's number.
    std::optional<std::int32_t> LinkTarget() const;

    // ---- the commands ---------------------------------------------------------
    void InsertLink();
    void InsertPopupLink();
    void InsertFileLink();
    void InsertFlash();
    // Asks for a target name.
    void InsertTarget();
    void InsertKeepn();
    void InsertRtfCode();
    void InsertHtmlCode();

    // The editor pop-up's "Follow Link" item: enabled, and naming the topic,
    // when the caret stands before a link code's end.
    QAction* AddFollowLink(QMenu& menu);

    // Seams for the dialogs' units: the link dialog, the internet-link
    // dialog, the button dialog and the bitmap form. Setting one enables its
    // action.
    void SetLinkDialog(std::function<void()> run);
    void SetInternetLinkDialog(std::function<void()> run);
    void SetButtonDialog(std::function<void()> run);
    void SetBitmapDialog(std::function<void()> run);
    // Link... works on a selection.
    void SetSelectionPresent(bool present);

private:
    void InsertTopicLinkOf(bool popup);
    void SetDialog(const char* action, std::function<void()>& slot, std::function<void()> run);
    void UpdateLinkActions();
    // After an insertion: the bar mirrors the caret, the project is changed.
    void Inserted();

    TEditorContext& context_;
    TMainActions& actions_;
    TFileChooser chooser_;
    bool byNumber_ = false;
    bool filling_ = false;
    bool selectionPresent_ = false;
    std::function<void()> linkDialog_;
    std::function<void()> internetLinkDialog_;
    std::function<void()> buttonDialog_;
    std::function<void()> bitmapDialog_;
};

} // namespace editor::ui
