#pragma once
// The messenger the wizard hands to the installation run: progress shows on
// the wizard's own installation page (a status line and a gauge), messages
// and questions go to the boxes of the messenger it wraps.
#include <cstdint>

#include "components/messengerseam.h"

class QLabel;
class QProgressBar;

namespace setup::ui {

class TWizardMessenger : public components::IMessenger {
public:
    explicit TWizardMessenger(components::IMessenger& boxes) : boxes_(boxes) {}
    // Where progress shows; without them it is not shown.
    void Attach(QLabel* status, QProgressBar* gauge);

    void ShowMessage(components::TMessageKind kind, const std::string& caption,
                     const std::string& text) override;
    int Ask(components::TQuestion& question) override;
    void Warning(const std::string& text) override;
    void BeginProgress(const std::string& text, std::int64_t maximum) override;
    void SetProgressText(const std::string& text) override;
    void SetProgress(std::int64_t position) override;
    void EndProgress() override;
    bool AbortRequested() override { return boxes_.AbortRequested(); }
    void ProcessEvents() override;

private:
    components::IMessenger& boxes_;
    QLabel* status_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    std::int64_t divisor_ = 1; // the gauge counts in int; larger ranges are scaled
};

} // namespace setup::ui
