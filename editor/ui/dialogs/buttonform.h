#pragma once
// "Insert Button into Help Topic": a caption and either a topic to jump to
// or a WinHelp macro, over TButtonDialogModel. Execute() shows the dialog
// for the model and, on OK, leaves the choices in it; the caller then
// inserts TButtonDialogModel::Code(). Keep the model between uses: it
// remembers the sort order of the topic list.
#include "editor/ui/dialogs/editordialog.h"

#include "editor/ui/dialogs/macroeditoropener.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace editor {
class TButtonDialogModel;
}

namespace editor::ui {

class TTopicPickerBox;

class TButtonForm : public TEditorDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 10750;

    explicit TButtonForm(QWidget* parent = nullptr);

    // Shows the dialog modally; true on OK.
    bool Execute(TButtonDialogModel& model);

    QLineEdit* EditCaption() const { return editCaption_; }
    QRadioButton* RadioLink() const { return radioLink_; }
    QRadioButton* RadioMacro() const { return radioMacro_; }
    TTopicPickerBox* TopicBox() const { return topicBox_; }
    QLineEdit* EditMacro() const { return editMacro_; }
    QPushButton* BtnMacro() const { return btnMacro_; }
    TMacroEditorOpener& MacroEditor() { return macroEditor_; }

    // OK: the controls go into the model; a caption or macro that would
    // break the button code is refused with a message and the dialog stays
    // open.
    void accept() override;

private:
    void EnableChoice();

    TButtonDialogModel* model_ = nullptr;
    TMacroEditorOpener macroEditor_;
    QLineEdit* editCaption_;
    QRadioButton* radioLink_;
    QRadioButton* radioMacro_;
    TTopicPickerBox* topicBox_;
    QLineEdit* editMacro_;
    QPushButton* btnMacro_;
};

} // namespace editor::ui
