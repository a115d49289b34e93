#include "setup/ui/wizardmessenger.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <limits>

#include "components/ui/ansiqt.h"

namespace setup::ui {

void TWizardMessenger::Attach(QLabel* status, QProgressBar* gauge) {
    status_ = status;
    gauge_ = gauge;
}

void TWizardMessenger::ShowMessage(components::TMessageKind kind, const std::string& caption,
                                   const std::string& text) {
    boxes_.ShowMessage(kind, caption, text);
}

int TWizardMessenger::Ask(components::TQuestion& question) {
    return boxes_.Ask(question);
}

void TWizardMessenger::Warning(const std::string& text) {
    boxes_.Warning(text);
}

void TWizardMessenger::BeginProgress(const std::string& text, std::int64_t maximum) {
    if (!status_ || !gauge_)
        return;
    status_->setText(components::ui::ToQString(text));
    divisor_ = 1;
    while (maximum / divisor_ > std::numeric_limits<int>::max())
        divisor_ *= 2;
    gauge_->setRange(0, static_cast<int>(std::max<std::int64_t>(maximum, 0) / divisor_));
    gauge_->setValue(0);
    gauge_->setVisible(maximum > 0);
}

void TWizardMessenger::SetProgressText(const std::string& text) {
    if (status_)
        status_->setText(components::ui::ToQString(text));
}

void TWizardMessenger::SetProgress(std::int64_t position) {
    if (!gauge_)
        return;
    int value = static_cast<int>(std::min<std::int64_t>(position / divisor_, gauge_->maximum()));
    if (value != gauge_->value())
        gauge_->setValue(value);
}

void TWizardMessenger::EndProgress() {
    if (gauge_)
        gauge_->setValue(gauge_->maximum());
}

void TWizardMessenger::ProcessEvents() {
    QCoreApplication::processEvents();
}

} // namespace setup::ui
