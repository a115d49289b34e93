#pragma once
// The core's messenger seam shown to a person: messages and questions as
// modal messenger dialogs, warnings in one modeless window that collects
// them, and progress as a modeless messenger with a gauge and a Cancel
// button that sets the abort flag. Runs without a person (batch mode) use
// components::TScriptedMessenger instead and never open a window; the
// programs pick one through MakeMessenger.
#include <QObject>
#include <cstdint>
#include <iosfwd>
#include <memory>

#include "components/messengerseam.h"

namespace components::ui {

class TMessenger;

class TWindowedMessenger : public components::IMessenger {
public:
    TWindowedMessenger();
    ~TWindowedMessenger() override;

    void ShowMessage(components::TMessageKind kind, const std::string& caption,
                     const std::string& text) override;
    // Up to five buttons are shown; further ones are left out.
    int Ask(components::TQuestion& question) override;
    void Warning(const std::string& text) override;
    void BeginProgress(const std::string& text, std::int64_t maximum) override;
    void SetProgressText(const std::string& text) override;
    void SetProgress(std::int64_t position) override;
    void EndProgress() override;
    bool AbortRequested() override { return abort_; }
    void ProcessEvents() override;

    // The windows behind it, for tests and for callers that fine-tune them.
    TMessenger& ProgressMessenger() { return *progress_; }
    TMessenger& WarningMessenger() { return *warnings_; }

private:
    std::unique_ptr<TMessenger> progress_;
    std::unique_ptr<TMessenger> warnings_;
    std::int64_t progressDivisor_ = 1; // the gauge counts in int; larger ranges are scaled
    bool abort_ = false;
};

// A messenger set up for the question: kind, caption, text, buttons, input
// line and choices. Exposed so that a caller may adjust it before Execute.
void ConfigureMessenger(TMessenger& messenger, const components::TQuestion& question);

// The messenger of a program run: dialogs when a person is present; without
// one (batch mode) the scripted messenger, echoing to `echo` (stderr in the
// programs) and giving every question its safe answer.
std::unique_ptr<components::IMessenger> MakeMessenger(bool personPresent, std::ostream* echo);

} // namespace components::ui
