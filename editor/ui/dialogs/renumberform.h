#pragma once
// "Renumber Topics": a range of topics and the new numbering, over
// TRenumberDialogModel. Execute() shows the dialog for the model and, on
// OK, leaves the choices in it.
#include "editor/ui/dialogs/editordialog.h"

class QComboBox;
class QSpinBox;

namespace editor {
class TRenumberDialogModel;
}

namespace editor::ui {

class TRenumberForm : public TEditorDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 10350;

    explicit TRenumberForm(QWidget* parent = nullptr);

    // The model was activated on the project; true on OK.
    bool Execute(TRenumberDialogModel& model);

    QComboBox* ComboFrom() const { return comboFrom_; }
    QComboBox* ComboTo() const { return comboTo_; }
    QSpinBox* SpinStart() const { return spinStart_; }
    QSpinBox* SpinGap() const { return spinGap_; }

private:
    void ComboChange();

    TRenumberDialogModel* model_ = nullptr;
    QComboBox* comboFrom_;
    QComboBox* comboTo_;
    QSpinBox* spinStart_;
    QSpinBox* spinGap_;
};

} // namespace editor::ui
