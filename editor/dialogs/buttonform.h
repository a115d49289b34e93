#pragma once
// "Insert Button into Help Topic": a caption and either a topic to jump to
// or a WinHelp macro, over TButtonDialogModel. Execute() shows the dialog
// for the model and, on OK, leaves the choices in it; the caller then
// inserts TButtonDialogModel::Code(). Keep the model between uses: it
// remembers the sort order of the topic list.
#include <QDialog>

#include "editor/dialogs/macroeditoropener.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace editor {
class TButtonDialogModel;
}

namespace editor::ui {

class TTopicPickerBox;

class TButtonForm : public QDialog {
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
    QPushButton* OkBtn() const { return okBtn_; }
    QPushButton* CancelBtn() const { return cancelBtn_; }
    TMacroEditorOpener& MacroEditor() { return macroEditor_; }

    void accept() override;

signals:
    void HelpRequested(int helpContext);

protected:
    void showEvent(QShowEvent* event) override;

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
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
    QPushButton* helpBtn_;
};

} // namespace editor::ui
