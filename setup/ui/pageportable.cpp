#include "setup/ui/pageportable.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "setup/setuppackage.h"
#include "setup/ui/wizardwidgets.h"

namespace setup::ui {

namespace {

using components::ui::ToQString;

constexpr std::size_t kDriveLabel = 79, kDriveColumn = 80, kLabelColumn = 81, kFreeColumn = 82;
constexpr std::size_t kAllDrives = 84, kFolderLabel = 85;

} // namespace

TPagePortable::TPagePortable(TWizardFlow& flow, TSetupPackage& package, QWidget* parent)
    : QWidget(parent), flow_(flow), package_(package) {
    setObjectName("PortablePage");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    labelDrive_ = NewLabel(this, "LabelDrive");
    box->addWidget(labelDrive_);
    listDrive_ = new QTreeWidget(this);
    listDrive_->setObjectName("ListDrive");
    listDrive_->setColumnCount(3);
    listDrive_->setRootIsDecorated(false);
    listDrive_->header()->setStretchLastSection(false);
    listDrive_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    listDrive_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    listDrive_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    box->addWidget(listDrive_, 1);
    checkAllDrives_ = new QCheckBox(this);
    checkAllDrives_->setObjectName("CheckAllDrives");
    box->addWidget(checkAllDrives_);
    labelFolder_ = NewLabel(this, "LabelFolder");
    box->addWidget(labelFolder_);
    editFolder_ = new QLineEdit(this);
    editFolder_->setObjectName("EditFolder");
    components::ui::RefuseNonAnsiInput(editFolder_);
    labelFolder_->setBuddy(editFolder_);
    box->addWidget(editFolder_);
    connect(checkAllDrives_, &QCheckBox::toggled, this, [this] { FillDriveList(); });
}

void TPagePortable::Fill() {
    const TUiStrings& ui = package_.Ui();
    labelDrive_->setText(ToQString(ui.Get(kDriveLabel)));
    listDrive_->setHeaderLabels({ToQString(ui.Get(kDriveColumn)), ToQString(ui.Get(kLabelColumn)),
                                 ToQString(ui.Get(kFreeColumn))});
    listDrive_->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    checkAllDrives_->setText(ToQString(ui.Get(kAllDrives)));
    checkAllDrives_->setVisible(package_.Header().allDrivesOption);
    labelFolder_->setText(ToQString(ui.Get(kFolderLabel)));
    if (editFolder_->text().isEmpty())
        editFolder_->setText(ToQString(flow_.PortableFolderText()));
    FillDriveList();
    if (listDrive_->topLevelItemCount() == 0 && package_.Header().allDrivesOption &&
        !checkAllDrives_->isChecked())
        checkAllDrives_->setChecked(true); // refills the list
}

void TPagePortable::FillDriveList() {
    listDrive_->clear();
    for (const auto& d : flow_.FillDriveList(checkAllDrives_->isChecked())) {
        auto* item = new QTreeWidgetItem(
            listDrive_, {NativeText(d.root), NativeText(d.label), NativeText(d.freeText)});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (listDrive_->topLevelItemCount() > 0)
        listDrive_->setCurrentItem(listDrive_->topLevelItem(0));
}

TWizardPage TPagePortable::Proceed() {
    QTreeWidgetItem* current = listDrive_->currentItem();
    int row = current ? listDrive_->indexOfTopLevelItem(current) : -1;
    return flow_.ProceedPortable(row, components::ui::FromQString(editFolder_->text()));
}

} // namespace setup::ui
