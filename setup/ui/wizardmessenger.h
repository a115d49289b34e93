#pragma once
// The messenger the wizard hands to the installation run: progress shows on
// the wizard's own installation page (a status line and a gauge), messages
// and questions go to the boxes of the messenger it wraps.
#include <cstdint>

#include "components/messengerseam.h"

namespace setup::ui {

class TPageProgress;

class TWizardMessenger : public components::IMessenger {
public:
    explicit TWizardMessenger(components::IMessenger& boxes) : boxes_(boxes) {}
    // Where progress shows: each progress (a step of the run) adds its row
    // to the page; without a page it is not shown.
    void Attach(TPageProgress* page) { page_ = page; }
    // The Abort button while the run is busy: the run stops at its next
    // step forward.
    void RequestAbort() { abort_ = true; }
    void ResetAbort() { abort_ = false; }

    void ShowMessage(components::TMessageKind kind, const std::string& caption,
                     const std::string& text) override;
    int Ask(components::TQuestion& question) override;
    void Warning(const std::string& text) override;
    void BeginProgress(const std::string& text, std::int64_t maximum) override;
    void SetProgressText(const std::string& text) override;
    void SetProgress(std::int64_t position) override;
    void EndProgress() override;
    bool AbortRequested() override { return abort_ || boxes_.AbortRequested(); }
    void ProcessEvents() override;

private:
    components::IMessenger& boxes_;
    TPageProgress* page_ = nullptr;
    bool abort_ = false;
    std::int64_t divisor_ = 1; // the gauge counts in int; larger ranges are scaled
};

} // namespace setup::ui
