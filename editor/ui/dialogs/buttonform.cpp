#include "editor/ui/dialogs/buttonform.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "editor/dialogs/buttondialogmodel.h"
#include "editor/ui/dialogs/keyfiltervalidator.h"
#include "editor/ui/dialogs/topicpickerbox.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

TButtonForm::TButtonForm(QWidget* parent)
    : TEditorDialog(parent, kHelpContext, TPlace::Centered), macroEditor_(this) {
    setObjectName("ButtonForm");
    setWindowTitle(tr("Insert Button into Help Topic"));

    editCaption_ = new QLineEdit(this);
    editCaption_->setObjectName("EditCaption");
    InstallKeyFilter(editCaption_, TButtonDialogModel::CaptionFilter());
    auto* captionLabel = new QLabel(tr("Button &caption:"), this);
    captionLabel->setBuddy(editCaption_);
    radioLink_ = new QRadioButton(tr("Link to topic:"), this);
    radioLink_->setObjectName("RadioLink");
    radioLink_->setChecked(true);
    topicBox_ = new TTopicPickerBox(TTopicPickerBox::TKind::DropDownList, this);
    radioMacro_ = new QRadioButton(tr("&WinHelp macro:"), this);
    radioMacro_->setObjectName("RadioMacro");
    editMacro_ = new QLineEdit(this);
    editMacro_->setObjectName("EditMacro");
    components::ui::RefuseNonAnsiInput(editMacro_);
    btnMacro_ = EllipsisButton("BtnMacro", this);

    auto* grid = new QGridLayout;
    grid->addWidget(captionLabel, 0, 0);
    grid->addWidget(editCaption_, 0, 1, 1, 2);
    grid->addWidget(radioLink_, 1, 0);
    grid->addWidget(topicBox_, 1, 1, 1, 2);
    grid->addWidget(radioMacro_, 2, 0);
    grid->addWidget(editMacro_, 2, 1);
    grid->addWidget(btnMacro_, 2, 2);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(ButtonRow());
    setMinimumWidth(520);

    connect(radioLink_, &QRadioButton::toggled, this, &TButtonForm::EnableChoice);
    connect(btnMacro_, &QPushButton::clicked, this, [this] { macroEditor_.Edit(*editMacro_); });
    EnableChoice();
}

bool TButtonForm::Execute(TButtonDialogModel& model) {
    model_ = &model;
    model.Show();
    editCaption_->setText(ToQString(model.Caption));
    (model.LinkToTopic ? radioLink_ : radioMacro_)->setChecked(true);
    editMacro_->setText(ToQString(model.Macro));
    topicBox_->Bind(model.Topic(), [&model](bool down) { model.SetSortByNumber(down); });
    EnableChoice();
    return exec() == QDialog::Accepted;
}

void TButtonForm::EnableChoice() {
    const bool link = radioLink_->isChecked();
    topicBox_->setEnabled(link);
    editMacro_->setEnabled(!link);
    btnMacro_->setEnabled(!link);
}

void TButtonForm::accept() {
    if (model_) {
        model_->Caption = FromQString(editCaption_->text());
        model_->LinkToTopic = radioLink_->isChecked();
        model_->Macro = FromQString(editMacro_->text());
        if (const auto problem = model_->CodeProblem()) {
            Refuse(problem->Message, problem->InMacro ? editMacro_ : editCaption_);
            return;
        }
    }
    QDialog::accept();
}

} // namespace editor::ui
