#pragma once
// "Insert link": the kind of link, its target and how its hotspot looks,
// over TLinkDialogModel. Execute() shows the dialog for the model and, on
// OK, leaves the choices in it; the caller then inserts the link
// (TLinkDialogModel::Insert) into the topic text and runs its editor
// change routine. Keep the model between uses: it remembers the choices and
// the sort order of the topic list, as the dialog does.
#include "editor/ui/dialogs/editordialog.h"

#include "editor/dialogs/linkdialogmodel.h"
#include "editor/ui/dialogs/macroeditoropener.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStatusBar;

namespace editor::ui {

class TTopicPickerBox;

class TLinkForm : public TEditorDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 10710;

    explicit TLinkForm(QWidget* parent = nullptr);

    // Shows the dialog modally; true on OK, the model then holding the
    // choices (its Code() is the link code).
    bool Execute(TLinkDialogModel& model);

    QButtonGroup* RadioGroupText() const { return radioText_; }
    QButtonGroup* RadioGroupLink() const { return radioLink_; }
    QLineEdit* EditFile() const { return editFile_; }
    QPushButton* BrowseBtn() const { return browseBtn_; }
    QSpinBox* SpinTopic() const { return spinTopic_; }
    TTopicPickerBox* TopicBox() const { return topicBox_; }
    QComboBox* ComboTopic() const;
    QLineEdit* EditTopic() const { return editTopic_; }
    QLineEdit* EditMacro() const { return editMacro_; }
    QPushButton* MacroBtn() const { return macroBtn_; }
    QComboBox* ComboWindow() const { return comboWindow_; }
    QComboBox* ComboTarget() const { return comboTarget_; }
    QCheckBox* CheckPopup() const { return checkPopup_; }
    QLabel* LabelTopic() const { return labelTopic_; }
    QStatusBar* StatusBar() const { return statusBar_; }
    TMacroEditorOpener& MacroEditor() { return macroEditor_; }

    // OK: the controls go into the model; text that would break the link
    // code is refused with a message and the dialog stays open.
    void accept() override;

protected:
    bool event(QEvent* event) override;

private:
    void LoadControls();
    void ShowControlsOfKind();
    void BrowseClicked();
    QWidget* FieldOf(TLinkCodeProblem::TField field) const;

    TLinkDialogModel* model_ = nullptr;
    TMacroEditorOpener macroEditor_;
    QButtonGroup* radioText_;
    QButtonGroup* radioLink_;
    QLabel* labelFile_;
    QLineEdit* editFile_;
    QPushButton* browseBtn_;
    QLabel* labelTopic_;
    QSpinBox* spinTopic_;
    TTopicPickerBox* topicBox_;
    QLineEdit* editTopic_;
    QLabel* labelMacro_;
    QLineEdit* editMacro_;
    QPushButton* macroBtn_;
    QLabel* labelTarget_;
    QComboBox* comboTarget_;
    QLabel* labelWindow_;
    QComboBox* comboWindow_;
    QCheckBox* checkPopup_;
    QStatusBar* statusBar_;
};

} // namespace editor::ui
