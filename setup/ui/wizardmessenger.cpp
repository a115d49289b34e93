#include "setup/ui/wizardmessenger.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <limits>

#include "components/ui/ansiqt.h"
#include "setup/ui/pageprogress.h"

namespace setup::ui {

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
    if (!page_)
        return;
    page_->AddStep(components::ui::ToQString(text));
    QProgressBar* gauge = page_->Gauge();
    divisor_ = 1;
    while (maximum / divisor_ > std::numeric_limits<int>::max())
        divisor_ *= 2;
    gauge->setRange(0, static_cast<int>(std::max<std::int64_t>(maximum, 0) / divisor_));
    gauge->setValue(0);
    gauge->setVisible(maximum > 0);
}

void TWizardMessenger::SetProgressText(const std::string& text) {
    if (page_ && page_->Status())
        page_->Status()->setText(components::ui::ToQString(text));
}

void TWizardMessenger::SetProgress(std::int64_t position) {
    QProgressBar* gauge = page_ ? page_->Gauge() : nullptr;
    if (!gauge)
        return;
    int value = static_cast<int>(std::min<std::int64_t>(position / divisor_, gauge->maximum()));
    if (value != gauge->value())
        gauge->setValue(value);
}

void TWizardMessenger::EndProgress() {
    // The gauge stays where the step got to: a step that stopped at an
    // error does not show as done.
}

void TWizardMessenger::ProcessEvents() {
    QCoreApplication::processEvents();
}

} // namespace setup::ui
