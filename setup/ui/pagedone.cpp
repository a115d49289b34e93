#include "setup/ui/pagedone.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "setup/ui/wizardwidgets.h"

namespace setup::ui {

TPageDone::TPageDone(TWizardFlow& flow, QWidget* parent) : QWidget(parent), flow_(flow) {
    setObjectName("DonePage");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addStretch(1);
    labelDone_ = NewLabel(this, "LabelDone", true);
    labelReboot_ = NewLabel(this, "LabelReboot", true);
    labelDone_->setAlignment(Qt::AlignHCenter);
    labelReboot_->setAlignment(Qt::AlignHCenter);
    box->addWidget(labelDone_);
    box->addWidget(labelReboot_);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    btnDone_ = NewButton(this, "BtnDone");
    btnRebootNow_ = NewButton(this, "BtnRebootNow");
    btnRebootLater_ = NewButton(this, "BtnRebootLater");
    row->addWidget(btnDone_);
    row->addWidget(btnRebootNow_);
    row->addWidget(btnRebootLater_);
    row->addStretch(1);
    box->addLayout(row);
    box->addStretch(1);
}

void TPageDone::Fill() {
    using components::ui::ToQString;
    const TDonePage& d = flow_.Done();
    labelDone_->setText(LabelText(d.text));
    labelReboot_->setText(LabelText(d.rebootText));
    labelReboot_->setVisible(d.reboot);
    btnRebootNow_->setText(ToQString(d.rebootNow));
    btnRebootLater_->setText(ToQString(d.rebootLater));
    btnRebootNow_->setVisible(d.reboot);
    btnRebootLater_->setVisible(d.reboot);
    btnDone_->setText(ToQString(d.doneCaption));
    btnDone_->setVisible(!d.reboot);
}

} // namespace setup::ui
