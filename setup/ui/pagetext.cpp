#include "setup/ui/pagetext.h"

#include <QLabel>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "components/ui/richeredit.h"
#include "setup/ui/wizardwidgets.h"
#include "setup/uistrings.h"

namespace setup::ui {

namespace {
constexpr std::size_t kLicenceTitle = 16;
}

TPageText::TPageText(TWizardFlow& flow, const TUiStrings& ui, QWidget* parent)
    : QWidget(parent), flow_(flow), ui_(ui) {
    setObjectName("TextPage");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    labelLicense_ = NewLabel(this, "LabelLicense", true);
    box->addWidget(labelLicense_);
    memoLicense_ = new components::ui::TRicherEdit(this);
    memoLicense_->setObjectName("MemoLicense");
    memoLicense_->setReadOnly(true);
    box->addWidget(memoLicense_, 1);
}

void TPageText::Fill(bool licence) {
    const std::string path = licence ? flow_.LicencePath() : flow_.ReadmePath();
    try {
        memoLicense_->LoadFromFile(NativeText(path).toStdString());
    } catch (const std::exception& e) {
        memoLicense_->LoadFromStrings({e.what()});
    }
    labelLicense_->setText(components::ui::ToQString(ui_.Get(kLicenceTitle)));
    labelLicense_->setVisible(licence);
}

} // namespace setup::ui
