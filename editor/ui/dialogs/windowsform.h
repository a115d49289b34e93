#pragma once
// "Brindlewoven Windows Editor": the project's secondary-window
// definitions, over TWindowsEditorModel, with the position wizard. Shown
// without blocking the main window; OK puts the list into the project.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "editor/dialogs/windowseditormodel.h"

class QCheckBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStatusBar;

namespace editor::ui {

class TPositionWizardForm;

class TWindowsForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 24000;

    explicit TWindowsForm(QWidget* parent = nullptr);

    // Loads the windows and shows the first; OK hands the list to `onOk`.
    void ShowWindows(const std::vector<std::string>& windows,
                     std::function<void(const std::vector<std::string>&)> onOk);

    const TWindowsEditorModel& Model() const { return model_; }
    // The colour dialog (tests script it): the chosen colour, or nullopt.
    std::function<std::optional<std::uint32_t>(std::uint32_t start)> PickColor;

    QListWidget* ListWindows() const { return listWindows_; }
    QPushButton* BtnAdd() const { return btnAdd_; }
    QPushButton* BtnDel() const { return btnDel_; }
    QLineEdit* EditName() const { return editName_; }
    QLineEdit* EditCaption() const { return editCaption_; }
    QSpinBox* SpinX() const { return spinX_; }
    QSpinBox* SpinY() const { return spinY_; }
    QSpinBox* SpinWidth() const { return spinWidth_; }
    QSpinBox* SpinHeight() const { return spinHeight_; }
    QCheckBox* CheckMax() const { return checkMax_; }
    QCheckBox* CheckOnTop() const { return checkOnTop_; }
    QCheckBox* CheckDefColors() const { return checkDefColors_; }
    QPushButton* BtnWin() const { return btnWin_; }
    QPushButton* BtnKeepn() const { return btnKeepn_; }
    QFrame* ShapeWin() const { return shapeWin_; }
    QFrame* ShapeKeepn() const { return shapeKeepn_; }
    QPushButton* WizardBtn() const { return wizardBtn_; }
    QPushButton* OkBtn() const { return okBtn_; }
    QPushButton* CancelBtn() const { return cancelBtn_; }
    TPositionWizardForm& PositionWizard();

signals:
    void HelpRequested(int helpContext);

protected:
    // The controls' hints go to the editor's status bar.
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowList();
    void ShowControls();
    void ControlsEdited();
    void CheckDefColorsClick();
    void PickShapeColor(bool window);
    void WizardBtnClick();
    void OkBtnClick();

    TWindowsEditorModel model_;
    std::function<void(const std::vector<std::string>&)> onOk_;
    bool loading_ = false;
    TWindowDefinition shown_;
    TPositionWizardForm* wizard_ = nullptr;

    QListWidget* listWindows_;
    QPushButton *btnAdd_, *btnDel_;
    QLineEdit *editName_, *editCaption_;
    QSpinBox *spinX_, *spinY_, *spinWidth_, *spinHeight_;
    QCheckBox *checkMax_, *checkOnTop_, *checkDefColors_;
    QPushButton *btnWin_, *btnKeepn_;
    QFrame *shapeWin_, *shapeKeepn_;
    QPushButton* wizardBtn_;
    QPushButton *okBtn_, *cancelBtn_, *helpBtn_;
    QStatusBar* statusBar_;
};

} // namespace editor::ui
