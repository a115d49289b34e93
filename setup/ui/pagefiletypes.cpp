#include "setup/ui/pagefiletypes.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "setup/ui/wizardwidgets.h"
#include "setup/uistrings.h"

namespace setup::ui {

namespace {
constexpr std::size_t kFileTypesTitle = 34;
}

TPageFileTypes::TPageFileTypes(TWizardFlow& flow, const TUiStrings& ui, QWidget* parent)
    : QWidget(parent), flow_(flow), ui_(ui) {
    setObjectName("FileTypesPage");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    labelIdentity_ = NewLabel(this, "LabelIdentity", true);
    box->addWidget(labelIdentity_);
    checkBox_ = new QVBoxLayout;
    checkBox_->setContentsMargins(28 - kWizardMargin, 0, 0, 0);
    checkBox_->setSpacing(kWizardMargin);
    box->addLayout(checkBox_);
    box->addStretch(1);
}

void TPageFileTypes::Fill() {
    Clear();
    labelIdentity_->setText(components::ui::ToQString(ui_.Get(kFileTypesTitle)));
    for (const auto& row : flow_.FileTypeRows()) {
        auto* check = new QCheckBox(components::ui::ToQString(row.text), this);
        check->setObjectName("CheckFileType");
        check->setChecked(row.checked);
        checkBox_->addWidget(check);
        checks_.push_back(check);
    }
}

void TPageFileTypes::Clear() {
    for (QCheckBox* c : checks_)
        delete c;
    checks_.clear();
}

TWizardPage TPageFileTypes::Proceed() {
    std::vector<bool> checked;
    for (QCheckBox* c : checks_)
        checked.push_back(c->isChecked());
    return flow_.ProceedFileTypes(checked);
}

} // namespace setup::ui
