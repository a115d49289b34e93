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
    messenger.ShowMessage(TMessageKind::Error, "Brindle", "Cannot open\rthe file");
    messenger.Warning("hive set aside");
    EXPECT_EQ(messenger.AskYesNo("Brindle", "Save?\r\n(No keeps it)"), mrNo);
    // One line-break rule, and the answer a run without a person took.
    EXPECT_EQ(echo.str(), "Error: Cannot open\nthe file\nWarning: hive set aside\n"
                          "Question: Save?\n(No keeps it)\nAnswer: No\n");
    EXPECT_EQ(messenger.Texts(TScriptedMessenger::TRecord::Warning),
              std::vector<std::string>{"hive set aside"});
}

TEST(MessengerSeam, EveryLineBreakBecomesALineFeed) {
    const struct {
        std::string text, lines;
    } cases[] = {
        {"a\rb", "a\nb"},     {"a\r\nb", "a\nb"}, {"a\nb", "a\nb"},     {"a\r\rb", "a\n\nb"},
        {"a\n\rb", "a\n\nb"}, {"end\r", "end\n"}, {"\r\n\r\n", "\n\n"}, {"none", "none"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(components::WithLineFeeds(c.text), c.lines) << c.text;
    EXPECT_EQ(components::WithLineFeeds<char16_t>(u"x\ry\r\nz"), u"x\ny\nz");
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
