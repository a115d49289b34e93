// The person-less messenger: safe answers, scripted answers and the abort flag.
#include <gtest/gtest.h>

#include <sstream>

#include "components/scriptedmessenger.h"

namespace {

using namespace components;

TQuestion Question(std::vector<TMessageButton> buttons) {
    TQuestion q;
    q.Caption = "Caption";
    q.Text = "Go on?";
    q.Buttons = std::move(buttons);
    return q;
}

TEST(ScriptedMessenger, SafeAnswerIsCancelThenDefaultThenFirst) {
    struct Case {
        std::vector<TMessageButton> buttons;
        int expected;
    } cases[] = {
        {YesNoCancelButtons(), mrCancel},
        {YesNoButtons(), mrNo}, // No is the Cancel button of a yes/no question
        {{{"Retry", mrRetry, true, false}, {"Ignore", mrIgnore, false, false}}, mrRetry},
        {{{"All", mrAll, false, false}, {"Ignore", mrIgnore, false, false}}, mrAll},
        {{}, mrCancel},
    };
    for (auto& c : cases) {
        TScriptedMessenger messenger;
        TQuestion q = Question(c.buttons);
        EXPECT_EQ(messenger.Ask(q), c.expected);
        EXPECT_EQ(messenger.UnscriptedQuestions, 1);
    }
}

TEST(ScriptedMessenger, InputIsCopiedBackOnlyForKeepingResults) {
    TScriptedMessenger messenger;
    TScriptedMessenger::TAnswer cancel;
    cancel.Result = mrCancel;
    cancel.HasInput = true;
    cancel.Input = "typed";
    messenger.QueueAnswer(cancel);
    TScriptedMessenger::TAnswer ok = cancel;
    ok.Result = mrOk;
    ok.HasChoice = true;
    ok.ChoiceIndex = 1;
    messenger.QueueAnswer(ok);

    TQuestion q = Question(OkCancelButtons());
    q.HasInput = true;
    q.Input = "before";
    q.Choices = {"a", "b"};
    EXPECT_EQ(messenger.Ask(q), mrCancel);
    EXPECT_EQ(q.Input, "before");
    EXPECT_EQ(q.ChoiceIndex, -1);
    EXPECT_EQ(messenger.Ask(q), mrOk);
    EXPECT_EQ(q.Input, "typed");
    EXPECT_EQ(q.ChoiceIndex, 1);
    EXPECT_EQ(messenger.UnscriptedQuestions, 0);
}

TEST(ScriptedMessenger, EchoesAndRecordsWithoutBlocking) {
    std::ostringstream echo;
    TScriptedMessenger messenger(&echo);
    messenger.ShowMessage(TMessageKind::Error, "Brindle", "Cannot open");
    messenger.Warning("hive set aside");
    EXPECT_EQ(messenger.AskYesNo("Brindle", "Save?"), mrNo);
    EXPECT_EQ(echo.str(), "Error: Cannot open\nWarning: hive set aside\nQuestion: Save?\n");
    EXPECT_EQ(messenger.Texts(TScriptedMessenger::TRecord::Warning),
              std::vector<std::string>{"hive set aside"});
}

TEST(ScriptedMessenger, AbortAfterUpdatesStopsCheckAbort) {
    TScriptedMessenger messenger;
    messenger.AbortAfter(3);
    int reached = 0;
    try {
        TProgressScope scope(&messenger, "Exporting", 10);
        for (int i = 1; i <= 10; ++i) {
            CheckAbort(&messenger, i, "HTML Export aborted by user");
            reached = i;
        }
    } catch (const EAbort& e) {
        EXPECT_STREQ(e.what(), "HTML Export aborted by user");
    }
    EXPECT_EQ(reached, 2);
    EXPECT_FALSE(messenger.ProgressOpen);
    EXPECT_EQ(messenger.ProgressPosition, 3);
    EXPECT_NO_THROW(CheckAbort(nullptr, 1, "unused"));
}

} // namespace
