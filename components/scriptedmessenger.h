#pragma once
// The messenger of batch runs and tests: no window, no person. Every message
// and question is recorded; questions take the next scripted answer, or, when
// none is left, the safe one (the Cancel button's result, else the default
// button's, else the first button's). Batch runs also echo what they show to
// an output stream (stderr in the programs).
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "components/messengerseam.h"

namespace components {

class TScriptedMessenger : public IMessenger {
public:
    struct TAnswer {
        int Result = mrOk;
        std::string Input;    // copied into the question when the result keeps input
        int ChoiceIndex = -1; // likewise; -1 leaves the question's index
        bool HasInput = false;
        bool HasChoice = false;
    };
    struct TRecord {
        enum Kind { Message, Question, Warning } What;
        TMessageKind Icon;
        std::string Caption;
        std::string Text;
        int Result; // the answer given (Question), mrOk (Message), mrNone (Warning)
    };

    TScriptedMessenger() = default;
    // Echoes messages, questions with the answer taken, and warnings.
    explicit TScriptedMessenger(std::ostream* echo) : echo_(echo) {}

    // Answers queued for the next questions, in order.
    void QueueAnswer(int result) {
        TAnswer answer;
        answer.Result = result;
        answers_.push_back(answer);
    }
    void QueueAnswer(const TAnswer& answer) { answers_.push_back(answer); }
    // The abort flag turns on with the n-th further progress update
    // (SetProgress call); 0 at once, -1 never.
    void AbortAfter(int updates) {
        abortAfter_ = updates;
        abort_ = abort_ || updates == 0;
    }
    void RequestAbort() { abort_ = true; }

    void ShowMessage(TMessageKind kind, const std::string& caption,
                     const std::string& text) override;
    int Ask(TQuestion& question) override;
    void Warning(const std::string& text) override;
    void BeginProgress(const std::string& text, std::int64_t maximum) override;
    void SetProgressText(const std::string& text) override;
    void SetProgress(std::int64_t position) override;
    void EndProgress() override;
    bool AbortRequested() override { return abort_; }
    void ProcessEvents() override { ++EventPumps; }

    // The answer a person-less run gives: the Cancel button's result, else
    // the default button's, else the first button's, else mrCancel.
    static int SafeAnswer(const TQuestion& question);

    std::vector<TRecord> Records;
    std::vector<std::string> ProgressTexts; // BeginProgress and SetProgressText, in order
    std::int64_t ProgressMaximum = 0;
    std::int64_t ProgressPosition = 0;
    int ProgressUpdates = 0;
    bool ProgressOpen = false;
    int EventPumps = 0;
    // Questions answered from the safe default because the script ran out.
    int UnscriptedQuestions = 0;

    // The texts of the recorded entries of one kind.
    std::vector<std::string> Texts(TRecord::Kind kind) const;

private:
    std::ostream* echo_ = nullptr;
    std::deque<TAnswer> answers_;
    int abortAfter_ = -1;
    bool abort_ = false;
};

} // namespace components
