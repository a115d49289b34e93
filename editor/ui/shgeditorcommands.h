#pragma once
// The Editors menu's SHG editor: made on first use, kept and shown
// modelessly; closed (its state kept) when the main window closes.
#include <QObject>

class QWidget;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TMainActions;
class TSHGForm;

class TSHGEditorCommands : public QObject {
    Q_OBJECT
public:
    // `window` owns the editor's window.
    TSHGEditorCommands(TEditorContext& context, TMainActions& actions, QWidget& window);

    // Binds "&SHG Editor".
    void BindActions();
    void ShowSHGEditor();
    // Before the main window closes: changed pictures ask to be saved;
    // false when the author cancels.
    bool CloseQuery();
    // The main window closes: a visible editor closes and its state is saved.
    void FormClose();

    TSHGForm* Form() const { return form_; }

private:
    TEditorContext& context_;
    TMainActions& actions_;
    QWidget& window_;
    TSHGForm* form_ = nullptr; // owned by the window
};

} // namespace editor::ui
