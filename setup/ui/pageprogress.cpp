#include "setup/ui/pageprogress.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "setup/ui/wizardwidgets.h"

namespace setup::ui {

TPageProgress::TPageProgress(QWidget* parent) : QWidget(parent) {
    setObjectName("ProgressPage");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addStretch(1);
    labelProgress_ = NewLabel(this, "LabelProgress");
    labelProgress_->setMinimumWidth(1);
    box->addWidget(labelProgress_);
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName("Gauge");
    box->addWidget(gauge_);
    box->addStretch(1);
}

void TPageProgress::Reset() {
    labelProgress_->clear();
    gauge_->setValue(0);
}

} // namespace setup::ui
