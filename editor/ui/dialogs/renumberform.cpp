#include "editor/ui/dialogs/renumberform.h"

#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/dialogs/renumberdialogmodel.h"

namespace editor::ui {

TRenumberForm::TRenumberForm(QWidget* parent)
    : TEditorDialog(parent, kHelpContext, TPlace::Centered) {
    setObjectName("RenumberForm");
    setWindowTitle("Renumber Topics");
    comboFrom_ = new QComboBox(this);
    comboFrom_->setObjectName("ComboFrom");
    comboTo_ = new QComboBox(this);
    comboTo_->setObjectName("ComboTo");
    spinStart_ = new QSpinBox(this);
    spinStart_->setObjectName("SpinStart");
    spinStart_->setRange(1, TRenumberDialogModel::kMaxStart);
    spinStart_->setValue(10);
    spinGap_ = new QSpinBox(this);
    spinGap_->setObjectName("SpinGap");
    spinGap_->setRange(1, TRenumberDialogModel::kMaxGap);
    spinGap_->setValue(10);
    for (QComboBox* combo : {comboFrom_, comboTo_}) {
        combo->setMinimumContentsLength(30);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }

    auto* form = new QFormLayout;
    form->addRow("Renumber topics &from:", comboFrom_);
    form->addRow("&to:", comboTo_);
    form->addRow("First &new topic ID:", spinStart_);
    form->addRow("&Increase topic ID by:", spinGap_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addLayout(ButtonRow());

    connect(comboFrom_, &QComboBox::currentIndexChanged, this, &TRenumberForm::ComboChange);
    connect(comboTo_, &QComboBox::currentIndexChanged, this, &TRenumberForm::ComboChange);
    OkBtn()->setEnabled(false);
}

bool TRenumberForm::Execute(TRenumberDialogModel& model) {
    model_ = &model;
    FillRangeCombos(*comboFrom_, *comboTo_, model.Items(), model.FromIndex(), model.ToIndex());
    spinStart_->setValue(model.Start());
    spinGap_->setValue(model.Gap());
    OkBtn()->setEnabled(model.OkEnabled());
    const bool ok = exec() == QDialog::Accepted;
    if (ok) {
        model.SetStart(spinStart_->value());
        model.SetGap(spinGap_->value());
    }
    model_ = nullptr;
    return ok;
}

void TRenumberForm::ComboChange() {
    if (!model_)
        return;
    model_->SetStart(spinStart_->value());
    model_->SetFromIndex(comboFrom_->currentIndex());
    model_->SetToIndex(comboTo_->currentIndex());
    spinStart_->setValue(model_->Start());
    OkBtn()->setEnabled(model_->OkEnabled());
}

} // namespace editor::ui
