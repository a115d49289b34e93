#include "components/messengerseam.h"

namespace components {

std::vector<TMessageButton> OkButtons() {
    return {{"OK", mrOk, true, true}};
}

std::vector<TMessageButton> OkCancelButtons() {
    return {{"OK", mrOk, true, false}, {"Cancel", mrCancel, false, true}};
}

std::vector<TMessageButton> YesNoButtons() {
    return {{"&Yes", mrYes, true, false}, {"&No", mrNo, false, true}};
}

std::vector<TMessageButton> YesNoCancelButtons() {
    return {{"&Yes", mrYes, true, false},
            {"&No", mrNo, false, false},
            {"Cancel", mrCancel, false, true}};
}

int IMessenger::AskYesNo(const std::string& caption, const std::string& text) {
    TQuestion question;
    question.Caption = caption;
    question.Text = text;
    question.Buttons = YesNoButtons();
    return Ask(question);
}

int IMessenger::AskYesNoCancel(const std::string& caption, const std::string& text) {
    TQuestion question;
    question.Caption = caption;
    question.Text = text;
    question.Buttons = YesNoCancelButtons();
    return Ask(question);
}

void CheckAbort(IMessenger* messenger, std::int64_t position, const std::string& abortMessage) {
    if (!messenger)
        return;
    messenger->SetProgress(position);
    messenger->ProcessEvents();
    if (messenger->AbortRequested())
        throw EAbort(abortMessage);
}

TProgressScope::TProgressScope(IMessenger* messenger, const std::string& text, std::int64_t maximum)
    : messenger_(messenger) {
    if (messenger_)
        messenger_->BeginProgress(text, maximum);
}

TProgressScope::~TProgressScope() {
    if (messenger_)
        messenger_->EndProgress();
}

} // namespace components
