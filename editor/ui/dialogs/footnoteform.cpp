#include "editor/ui/dialogs/footnoteform.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "components/ui/ansiqt.h"
#include "editor/dialogs/footnotedialogmodel.h"
#include "editor/ui/dialogs/keyfiltervalidator.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

QLineEdit* FieldEdit(const char* name, TFootnoteField field, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    InstallKeyFilter(edit, TFootnoteDialogModel::FieldFilter(field));
    return edit;
}

QComboBox* FieldCombo(const char* name, TFootnoteField field, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    InstallKeyFilter(combo, TFootnoteDialogModel::FieldFilter(field));
    return combo;
}

void SetList(QComboBox& combo, const std::vector<std::string>& items, const std::string& text) {
    combo.clear();
    for (const std::string& item : items)
        combo.addItem(ToQString(item));
    combo.setEditText(ToQString(text));
}

} // namespace

TFootnoteForm::TFootnoteForm(QWidget* parent)
    : TEditorDialog(parent, kHelpContext, TPlace::Centered), macroEditor_(this) {
    setObjectName("FootnoteForm");
    setWindowTitle(tr("Topic Properties"));

    spinID_ = new QSpinBox(this);
    spinID_->setObjectName("SpinID");
    spinID_->setRange(1, std::numeric_limits<int>::max());
    spinID_->setMinimumWidth(spinID_->fontMetrics().horizontalAdvance("2147483647") + 40);
    editContext_ = FieldEdit("EditContext", TFootnoteField::Context, this);
    editTitle_ = FieldEdit("EditTitle", TFootnoteField::Title, this);
    editKeywords_ = FieldEdit("EditKeywords", TFootnoteField::KKeywords, this);
    editAKeywords_ = FieldEdit("EditAKeywords", TFootnoteField::AKeywords, this);
    editBrowse_ = FieldEdit("EditBrowse", TFootnoteField::BrowseSequence, this);
    comboBuild_ = FieldCombo("ComboBuild", TFootnoteField::BuildTag, this);
    comboStatus_ = FieldCombo("ComboStatus", TFootnoteField::Status, this);
    editMacro_ = FieldEdit("EditMacro", TFootnoteField::EntryMacro, this);
    btnMacro_ = EllipsisButton("BtnMacro", this);

    auto* id = new QHBoxLayout;
    id->addWidget(spinID_);
    id->addStretch(1);
    auto* macro = new QHBoxLayout;
    macro->addWidget(editMacro_, 1);
    macro->addWidget(btnMacro_);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow("&ID:", id);
    form->addRow("&Context string:", editContext_);
    form->addRow("&Title:", editTitle_);
    form->addRow("&Keywords:", editKeywords_);
    form->addRow("&A-Keywords:", editAKeywords_);
    form->addRow("&Browse sequence:", editBrowse_);
    form->addRow("B&uild tag:", comboBuild_);
    form->addRow("&Status:", comboStatus_);
    form->addRow("&Entry macro:", macro);
    // "&ID:" names the spin box, not its row's layout.
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(id)))
        label->setBuddy(spinID_);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(macro)))
        label->setBuddy(editMacro_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addLayout(ButtonRow());
    setMinimumWidth(520);

    connect(spinID_, &QSpinBox::valueChanged, this, &TFootnoteForm::NumberChanged);
    connect(btnMacro_, &QPushButton::clicked, this, [this] { macroEditor_.Edit(*editMacro_); });
}

bool TFootnoteForm::Execute(TFootnoteDialogModel& model) {
    model_ = &model;
    {
        const QSignalBlocker block(spinID_);
        spinID_->setValue(model.Number());
    }
    editContext_->setText(ToQString(model.Context));
    editTitle_->setText(ToQString(model.Title));
    editKeywords_->setText(ToQString(model.KKeywords));
    editAKeywords_->setText(ToQString(model.AKeywords));
    editBrowse_->setText(ToQString(model.BrowseSequence));
    SetList(*comboBuild_, model.BuildTagList(), model.BuildTag);
    SetList(*comboStatus_, model.StatusList(), model.Status);
    editMacro_->setText(ToQString(model.EntryMacro));
    const bool ok = exec() == QDialog::Accepted;
    model_ = nullptr;
    return ok;
}

void TFootnoteForm::NumberChanged(int number) {
    if (!model_)
        return;
    model_->Context = FromQString(editContext_->text());
    model_->SetNumber(number);
    editContext_->setText(ToQString(model_->Context));
}

void TFootnoteForm::accept() {
    if (model_) {
        TFootnoteDialogModel& m = *model_;
        m.SetNumber(spinID_->value());
        m.Context = FromQString(editContext_->text());
        m.Title = FromQString(editTitle_->text());
        m.KKeywords = FromQString(editKeywords_->text());
        m.AKeywords = FromQString(editAKeywords_->text());
        m.BrowseSequence = FromQString(editBrowse_->text());
        m.BuildTag = FromQString(comboBuild_->currentText());
        m.Status = FromQString(comboStatus_->currentText());
        m.EntryMacro = FromQString(editMacro_->text());
    }
    QDialog::accept();
}

} // namespace editor::ui
