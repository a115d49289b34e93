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
    steps_ = new QVBoxLayout;
    // The next step starts 14 pixels below the gauge of the one before.
    steps_->setSpacing(kWizardMargin * 2);
    box->addLayout(steps_);
    box->addStretch(1);
}

void TPageProgress::Reset() {
    for (QWidget* row : rows_)
        delete row;
    rows_.clear();
    labels_.clear();
    gauges_.clear();
}

void TPageProgress::AddStep(const QString& text) {
    // A label over its gauge, as one row.
    auto* row = new QWidget(this);
    auto* column = new QVBoxLayout(row);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    QLabel* label = NewLabel(row, "LabelProgress");
    label->setMinimumWidth(1);
    label->setText(text);
    auto* gauge = new QProgressBar(row);
    gauge->setObjectName("Gauge");
    gauge->setMinimumHeight(label->sizeHint().height() + 7);
    column->addWidget(label);
    column->addWidget(gauge);
    steps_->addWidget(row);
    row->show();
    rows_.push_back(row);
    labels_.push_back(label);
    gauges_.push_back(gauge);
}

} // namespace setup::ui
