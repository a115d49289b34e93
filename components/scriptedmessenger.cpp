#include "components/scriptedmessenger.h"

namespace components {

namespace {

const char* KindName(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Error:
        return "Error";
    case TMessageKind::Warning:
        return "Warning";
    case TMessageKind::Information:
        return "Information";
    case TMessageKind::Confirmation:
        return "Question";
    case TMessageKind::None:
        break;
    }
    return "Message";
}

// The caption of the button that gives `result`, without its "&" marks.
std::string AnswerName(const TQuestion& question, int result) {
    for (const auto& button : question.Buttons)
        if (button.ModalResult == result) {
            std::string name;
            for (char c : button.Caption)
                if (c != '&')
                    name += c;
            return name;
        }
    switch (result) {
    case mrOk:
        return "OK";
    case mrYes:
        return "Yes";
    case mrNo:
        return "No";
    case mrCancel:
        return "Cancel";
    default:
        return std::to_string(result);
    }
}

} // namespace

int TScriptedMessenger::SafeAnswer(const TQuestion& question) {
    for (const auto& button : question.Buttons)
        if (button.Cancel)
            return button.ModalResult;
    for (const auto& button : question.Buttons)
        if (button.Default)
            return button.ModalResult;
    if (!question.Buttons.empty())
        return question.Buttons.front().ModalResult;
    return mrCancel;
}

void TScriptedMessenger::ShowMessage(TMessageKind kind, const std::string& caption,
                                     const std::string& text) {
    Records.push_back({TRecord::Message, kind, caption, text, mrOk});
    if (echo_)
        *echo_ << KindName(kind) << ": " << WithLineFeeds(text) << "\n";
}

int TScriptedMessenger::Ask(TQuestion& question) {
    int result;
    if (!answers_.empty()) {
        TAnswer answer = answers_.front();
        answers_.pop_front();
        result = answer.Result;
        if (ResultKeepsInput(result)) {
            if (answer.HasInput)
                question.Input = answer.Input;
            if (answer.HasChoice)
                question.ChoiceIndex = answer.ChoiceIndex;
        }
    } else {
        result = SafeAnswer(question);
        ++UnscriptedQuestions;
    }
    Records.push_back({TRecord::Question, question.Kind, question.Caption, question.Text, result});
    if (echo_)
        *echo_ << KindName(question.Kind) << ": " << WithLineFeeds(question.Text) << "\n"
               << "Answer: " << AnswerName(question, result) << "\n";
    return result;
}

void TScriptedMessenger::Warning(const std::string& text) {
    Records.push_back({TRecord::Warning, TMessageKind::Warning, std::string(), text, mrNone});
    if (echo_)
        *echo_ << "Warning: " << WithLineFeeds(text) << "\n";
}

void TScriptedMessenger::BeginProgress(const std::string& text, std::int64_t maximum) {
    ProgressOpen = true;
    ProgressTexts.push_back(text);
    ProgressMaximum = maximum;
    ProgressPosition = 0;
}

void TScriptedMessenger::SetProgressText(const std::string& text) {
    ProgressTexts.push_back(text);
}

void TScriptedMessenger::SetProgress(std::int64_t position) {
    ProgressPosition = position;
    ++ProgressUpdates;
    if (abortAfter_ > 0 && --abortAfter_ == 0)
        abort_ = true;
}

void TScriptedMessenger::EndProgress() {
    ProgressOpen = false;
}

std::vector<std::string> TScriptedMessenger::Texts(TRecord::Kind kind) const {
    std::vector<std::string> texts;
    for (const auto& record : Records)
        if (record.What == kind)
            texts.push_back(record.Text);
    return texts;
}

} // namespace components
