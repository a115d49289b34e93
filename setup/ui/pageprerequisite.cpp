#include "setup/ui/pageprerequisite.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "components/ui/urllabel.h"
#include "setup/ui/wizardwidgets.h"

namespace setup::ui {

TPagePrerequisite::TPagePrerequisite(TWizardFlow& flow, QWidget* parent)
    : QWidget(parent), flow_(flow) {
    setObjectName("PrerequisitePage");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    labelPrerequisite_ = NewLabel(this, "LabelPrerequisite", true);
    labelDetail_ = NewLabel(this, "LabelReboot", true);
    label3rdPartyURL_ = new components::ui::TURLLabel(this);
    label3rdPartyURL_->setObjectName("Label3rdPartyURL");
    StyleAsLink(label3rdPartyURL_);
    box->addWidget(labelPrerequisite_);
    box->addWidget(labelDetail_);
    box->addWidget(label3rdPartyURL_);
    box->addStretch(1);
    timer3rdParty_ = new QTimer(this);
    timer3rdParty_->setObjectName("Timer3rdParty");
    timer3rdParty_->setInterval(1000);
    connect(timer3rdParty_, &QTimer::timeout, this, [this] {
        if (flow_.Page() != TWizardPage::Prerequisite) {
            timer3rdParty_->stop();
            return;
        }
        if (flow_.PrerequisiteInstallerEnded())
            emit InstallerEnded();
    });
}

void TPagePrerequisite::Fill() {
    const TPrerequisitePrompt& p = flow_.Prerequisite();
    labelPrerequisite_->setText(LabelText(p.text));
    // Why no installer runs, when one cannot, follows the status line.
    std::string detail = p.statusText;
    if (!p.problem.empty())
        detail += (detail.empty() ? "" : "\r") + p.problem;
    labelDetail_->setText(LabelText(detail));
    label3rdPartyURL_->setText(components::ui::ToQString(p.downloadUrl));
    label3rdPartyURL_->SetURL(components::ui::ToQString(p.downloadUrl));
    label3rdPartyURL_->setVisible(!p.downloadUrl.empty());
    timer3rdParty_->start();
}

void TPagePrerequisite::StopWatching() {
    timer3rdParty_->stop();
}

} // namespace setup::ui
