#include "setup/ui/pageadvanced.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "components/ui/formdirsel.h"
#include "setup/ui/wizardwidgets.h"
#include "setup/uistrings.h"

namespace setup::ui {

namespace {

using components::ui::ToQString;

constexpr std::size_t kOk = 35, kCancel = 36;

} // namespace

TPageAdvanced::TPageAdvanced(TWizardFlow& flow, const TUiStrings& ui, QWidget* parent)
    : QWidget(parent), flow_(flow), ui_(ui) {
    setObjectName("AdvancedPage");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    folderGrid_ = new QGridLayout;
    folderGrid_->setHorizontalSpacing(kWizardMargin);
    folderGrid_->setVerticalSpacing(kWizardMargin);
    folderGrid_->setColumnStretch(1, 1);
    box->addLayout(folderGrid_);
    box->addStretch(1);
}

void TPageAdvanced::Fill() {
    Clear();
    const auto rows = flow_.FolderRows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        auto* label = new QLabel(ToQString(rows[r].caption), this);
        label->setObjectName("LabelFolderVariable");
        auto* edit = new QLineEdit(NativeText(rows[r].path), this);
        edit->setObjectName("EditFolderVariable");
        edit->setMaxLength(255);
        label->setBuddy(edit);
        auto* browse = new QPushButton(tr("..."), this);
        browse->setObjectName("BtnBrowseFolder");
        browse->setFixedWidth(35);
        connect(browse, &QPushButton::clicked, this, [this, r] { BrowseFolder(r); });
        folderGrid_->addWidget(label, static_cast<int>(r), 0, Qt::AlignRight);
        folderGrid_->addWidget(edit, static_cast<int>(r), 1);
        folderGrid_->addWidget(browse, static_cast<int>(r), 2);
        rowWidgets_.insert(rowWidgets_.end(), {label, edit, browse});
        folderEdits_.push_back(edit);
    }
}

void TPageAdvanced::Clear() {
    for (QWidget* w : rowWidgets_)
        delete w;
    rowWidgets_.clear();
    folderEdits_.clear();
}

TWizardPage TPageAdvanced::Proceed() {
    std::vector<std::string> texts;
    for (QLineEdit* e : folderEdits_)
        texts.push_back(e->text().toStdString());
    int focus = -1;
    TWizardPage next = flow_.ProceedAdvanced(texts, focus);
    if (next == TWizardPage::Advanced) {
        for (std::size_t i = 0; i < texts.size() && i < folderEdits_.size(); ++i)
            folderEdits_[i]->setText(NativeText(texts[i]));
        if (focus >= 0 && focus < static_cast<int>(folderEdits_.size()))
            folderEdits_[focus]->setFocus();
    }
    return next;
}

void TPageAdvanced::BrowseFolder(std::size_t row) {
    if (row >= folderEdits_.size())
        return;
    if (!formDirSel_) {
        formDirSel_ = new components::ui::TFormDirSel(this);
        formDirSel_->setFont(font());
        formDirSel_->BtnOK()->setText(ToQString(ui_.Get(kOk)));
        formDirSel_->BtnCancel()->setText(ToQString(ui_.Get(kCancel)));
    }
    const auto rows = flow_.FolderRows();
    formDirSel_->setWindowTitle(ToQString(StripAccelerators(rows.at(row).caption)));
    formDirSel_->Edit()->setText(folderEdits_[row]->text());
    if (formDirSel_->exec() != QDialog::Accepted)
        return;
    // A full path only: a drive letter form or an absolute folder.
    QString text = formDirSel_->Edit()->text().trimmed();
    if (text.size() == 1 && text[0].isLetter())
        text += ":\\";
    else if (text.size() == 2 && text[0].isLetter() && text[1] == ':')
        text += "\\";
    const bool accepted = text.startsWith('/') ||
                          (text.size() >= 3 && text[0].isLetter() && text.mid(1, 2) == ":\\") ||
                          (text.startsWith("\\\\") && text.indexOf('\\', 2) > 2);
    if (accepted)
        folderEdits_[row]->setText(text);
}

} // namespace setup::ui
