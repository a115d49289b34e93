#include "editor/ui/dialogs/positionwizardform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace editor::ui {

TPositionWizardForm::TPositionWizardForm(QWidget* parent) : QDialog(parent) {
    setObjectName("PositionWizardForm");
    setWindowTitle("Position Wizard");
    auto* text = new QLabel("Move and size this window to where the help window should appear, "
                            "then click OK.",
                            this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    okBtn_ = new QPushButton("OK", this);
    okBtn_->setObjectName("OkBtn");
    okBtn_->setDefault(true);
    cancelBtn_ = new QPushButton("Cancel", this);
    cancelBtn_->setObjectName("CancelBtn");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text, 1);
    layout->addLayout(buttons);
    setMinimumSize(40, 40);
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QRect> TPositionWizardForm::Execute(const QRect& bounds) {
    bounds_ = bounds;
    setGeometry(bounds);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return geometry();
}

void TPositionWizardForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A dialog centres itself over its owner when shown: the wizard starts
    // where the help window would be.
    setGeometry(bounds_);
}

} // namespace editor::ui
