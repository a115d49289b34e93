#pragma once
// "Topic Properties": a topic's number, context string and footnote fields,
// over TFootnoteDialogModel. Execute() shows the dialog for the model and,
// on OK, leaves the edited fields in it; the caller runs
// TFootnoteDialogModel::Ok (TTopicEditor::TopicProperties does, given
// Execute as its dialog).
#include "editor/ui/dialogs/editordialog.h"

#include "editor/ui/dialogs/macroeditoropener.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace editor {
class TFootnoteDialogModel;
}

namespace editor::ui {

class TFootnoteForm : public TEditorDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 10480;

    explicit TFootnoteForm(QWidget* parent = nullptr);

    // Shows the dialog modally; true on OK.
    bool Execute(TFootnoteDialogModel& model);

    QSpinBox* SpinID() const { return spinID_; }
    QLineEdit* EditContext() const { return editContext_; }
    QLineEdit* EditTitle() const { return editTitle_; }
    QLineEdit* EditKeywords() const { return editKeywords_; }
    QLineEdit* EditAKeywords() const { return editAKeywords_; }
    QLineEdit* EditBrowse() const { return editBrowse_; }
    QComboBox* ComboBuild() const { return comboBuild_; }
    QComboBox* ComboStatus() const { return comboStatus_; }
    QLineEdit* EditMacro() const { return editMacro_; }
    QPushButton* BtnMacro() const { return btnMacro_; }
    TMacroEditorOpener& MacroEditor() { return macroEditor_; }

    void accept() override;

private:
    void NumberChanged(int number);

    TFootnoteDialogModel* model_ = nullptr;
    TMacroEditorOpener macroEditor_;
    QSpinBox* spinID_;
    QLineEdit* editContext_;
    QLineEdit* editTitle_;
    QLineEdit* editKeywords_;
    QLineEdit* editAKeywords_;
    QLineEdit* editBrowse_;
    QComboBox* comboBuild_;
    QComboBox* comboStatus_;
    QLineEdit* editMacro_;
    QPushButton* btnMacro_;
};

} // namespace editor::ui
