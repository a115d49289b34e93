#include "editor/ui/dialogs/mergeform.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "editor/dialogs/mergedialogmodel.h"

namespace editor::ui {

using components::ui::ToQString;

namespace {

QListWidget* CheckList(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    return list;
}

void FillCheckList(QListWidget* list, const std::vector<std::pair<std::string, bool>>& entries) {
    list->clear();
    for (const auto& [text, on] : entries) {
        auto* item = new QListWidgetItem(ToQString(text), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
}

void ReadCheckList(const QListWidget* list, std::vector<std::pair<std::string, bool>>& entries) {
    for (int i = 0; i < list->count() && i < static_cast<int>(entries.size()); ++i)
        entries[static_cast<std::size_t>(i)].second = list->item(i)->checkState() == Qt::Checked;
}

} // namespace

TMergeForm::TMergeForm(QWidget* parent) : TEditorDialog(parent, kHelpContext, TPlace::Centered) {
    setObjectName("MergeForm");
    setWindowTitle("Merge Projects");
    labelMergeProject_ = new QLabel(this);
    labelMergeProject_->setObjectName("LabelMergeProject");
    comboInsertCriteria_ = new QComboBox(this);
    comboInsertCriteria_->setObjectName("ComboInsertCriteria");
    for (const std::string& name : TMergeDialogModel::CriterionNames())
        comboInsertCriteria_->addItem(ToQString(name));

    notebook_ = new QStackedWidget(this);
    notebook_->setObjectName("Notebook");
    notebook_->addWidget(new QLabel("All topics of the project to merge are inserted."));
    auto* idPage = new QWidget;
    auto* idForm = new QFormLayout(idPage);
    comboIDFrom_ = new QComboBox(idPage);
    comboIDFrom_->setObjectName("ComboIDFrom");
    comboIDTo_ = new QComboBox(idPage);
    comboIDTo_->setObjectName("ComboIDTo");
    idForm->addRow("Insert topics &from:", comboIDFrom_);
    idForm->addRow("&to:", comboIDTo_);
    notebook_->addWidget(idPage);
    checkListBrowse_ = CheckList("CheckListBrowse", notebook_);
    notebook_->addWidget(checkListBrowse_);
    checkListStatus_ = CheckList("CheckListStatus", notebook_);
    notebook_->addWidget(checkListStatus_);

    auto* sameID =
        new QGroupBox(" What to do in case a certain Topic ID is used in both projects: ", this);
    sameID->setObjectName("RadioSameID");
    auto* sameLayout = new QVBoxLayout(sameID);
    radioSameID_ = new QButtonGroup(this);
    int index = 0;
    for (const std::string& name : TMergeDialogModel::SameIDNames()) {
        auto* radio = new QRadioButton(ToQString(name), sameID);
        radioSameID_->addButton(radio, index++);
        sameLayout->addWidget(radio);
    }
    radioSameID_->button(0)->setChecked(true);

    auto* form = new QFormLayout;
    form->addRow("Project to merge:", labelMergeProject_);
    form->addRow("&Insert:", comboInsertCriteria_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(notebook_, 1);
    layout->addWidget(sameID);
    layout->addLayout(ButtonRow());
    setMinimumWidth(520);

    connect(comboInsertCriteria_, &QComboBox::currentIndexChanged, this, [this](int index) {
        notebook_->setCurrentIndex(index);
        Changed();
    });
    connect(comboIDFrom_, &QComboBox::currentIndexChanged, this, &TMergeForm::Changed);
    connect(comboIDTo_, &QComboBox::currentIndexChanged, this, &TMergeForm::Changed);
    OkBtn()->setEnabled(false);
}

bool TMergeForm::Execute(TMergeDialogModel& model) {
    model_ = &model;
    {
        const QSignalBlocker blockCriteria(comboInsertCriteria_);
        labelMergeProject_->setText(ToQString(model.ProjectLabel()));
        FillRangeCombos(*comboIDFrom_, *comboIDTo_, model.IDItems(), model.IDFromIndex(),
                        model.IDToIndex());
        comboInsertCriteria_->setCurrentIndex(static_cast<int>(model.Criterion()));
        notebook_->setCurrentIndex(static_cast<int>(model.Criterion()));
        FillCheckList(checkListBrowse_, model.BrowseSequences());
        FillCheckList(checkListStatus_, model.Statuses());
        radioSameID_->button(static_cast<int>(model.SameID()))->setChecked(true);
    }
    OkBtn()->setEnabled(model.OkEnabled());
    const bool ok = exec() == QDialog::Accepted;
    if (ok) {
        Changed();
        ReadCheckList(checkListBrowse_, model.BrowseSequences());
        ReadCheckList(checkListStatus_, model.Statuses());
        model.SetSameID(radioSameID_->checkedId());
    }
    model_ = nullptr;
    return ok && model.OkEnabled();
}

void TMergeForm::Changed() {
    if (!model_)
        return;
    model_->SetCriterion(comboInsertCriteria_->currentIndex());
    model_->SetIDFromIndex(comboIDFrom_->currentIndex());
    model_->SetIDToIndex(comboIDTo_->currentIndex());
    OkBtn()->setEnabled(model_->OkEnabled());
}

} // namespace editor::ui
