#pragma once
// The Editors menu's contents and index editors. The contents editor is
// made on first use, kept and shown modelessly; it follows the project when
// New, Open, Import or a bulk change replaces it. The index editor is made
// on first use and shown modally, with the current topic stored before and
// shown again after; OK marks the project modified.
#include <QObject>

class QWidget;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TContentsForm;
class TFormIndexEditor;
class TMainActions;

class TContentsEditorCommands : public QObject {
    Q_OBJECT
public:
    // `window` owns the editors' windows.
    TContentsEditorCommands(TEditorContext& context, TMainActions& actions, QWidget& window);

    // Binds "&Contents File Editor" and "&Index Editor".
    void BindActions();
    void ShowContentsEditor();
    void ShowIndexEditor();
    // The session holds another project (or the same, changed in bulk).
    void ProjectReplaced();

    // The editors, once made (nullptr before).
    TContentsForm* ContentsForm() const { return contentsForm_; }
    TFormIndexEditor* IndexForm() const { return indexForm_; }

private:
    TEditorContext& context_;
    TMainActions& actions_;
    QWidget& window_;
    // Owned by the window.
    TContentsForm* contentsForm_ = nullptr;
    TFormIndexEditor* indexForm_ = nullptr;
};

} // namespace editor::ui
