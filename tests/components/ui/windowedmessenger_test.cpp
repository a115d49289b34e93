// The core's messenger seam in windows, and batch runs without any.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <sstream>

#include "components/messengerseam.h"
#include "components/scriptedmessenger.h"
#include "components/ui/messenger.h"
#include "components/ui/messengerform.h"
#include "components/ui/powerprogressbar.h"
#include "components/ui/windowedmessenger.h"
#include "messenger_support.h"

namespace {

using namespace components;
using components::ui::TMessengerForm;
using components::ui::TWindowedMessenger;

TQuestion Prompt() {
    TQuestion q;
    q.Caption = "New topic";
    q.Text = "Title of the new topic:";
    q.Buttons = OkCancelButtons();
    q.HasInput = true;
    q.Input = "Caf\xE9"; // Windows-1252 on the core's side
    q.Choices = {"Before", "After"};
    q.ChoiceIndex = 1;
    return q;
}

TEST(WindowedMessenger, CancelKeepsTheInputOkTakesIt) {
    TWindowedMessenger messenger;
    TQuestion q = Prompt();
    AnswerNextDialog([](TMessengerForm& form) {
        EXPECT_EQ(form.Edit()->text(), QString::fromUtf8("Café"));
        EXPECT_TRUE(form.Radios()[1]->isChecked());
        QTest::keyClicks(form.Edit(), "Changed");
        form.Radios()[0]->click();
        form.DialogButton(1)->click(); // Cancel
    });
    EXPECT_EQ(messenger.Ask(q), mrCancel);
    EXPECT_EQ(q.Input, "Caf\xE9");
    EXPECT_EQ(q.ChoiceIndex, 1);

    AnswerNextDialog([](TMessengerForm& form) {
        TypeText(form.Edit(), QString::fromUtf8("Übersicht"));
        form.Radios()[0]->click();
        QTest::keyClick(form.Edit(), Qt::Key_Return); // the default button: OK
    });
    EXPECT_EQ(messenger.Ask(q), mrOk);
    EXPECT_EQ(q.Input, "\xDC"
                       "bersicht");
    EXPECT_EQ(q.ChoiceIndex, 0);
}

// A button with an action (a web page to open) acts and leaves the box open.
TEST(WindowedMessenger, ActionButtonActsAndLeavesTheBoxOpen) {
    TWindowedMessenger messenger;
    TQuestion q;
    q.Caption = "Import Help Project";
    q.Text = "Notice";
    int opened = 0;
    q.Buttons = {{"OK", mrOk, true, true}, {"Download", mrNone, false, false, [&] { ++opened; }}};
    bool stillOpen = false;
    AnswerNextDialog([&](TMessengerForm& form) {
        form.DialogButton(1)->click();
        form.DialogButton(1)->click();
        stillOpen = form.isVisible();
        form.DialogButton(0)->click();
    });
    EXPECT_EQ(messenger.Ask(q), mrOk);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(opened, 2);
}

TEST(WindowedMessenger, ProgressWithAbort) {
    TWindowedMessenger messenger;
    messenger.BeginProgress("Exporting HTML...", 1000000);
    TMessengerForm* form = messenger.ProgressMessenger().Form();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isModal());
    components::ui::TPowerProgressBar* bar = form->ProgressBar();
    int before = bar->RepaintRequests();
    for (int i = 1; i <= 1000000; ++i)
        messenger.SetProgress(i);
    EXPECT_LE(bar->RepaintRequests() - before, 101);
    EXPECT_EQ(bar->Progress(), 1000000);

    EXPECT_FALSE(messenger.AbortRequested());
    ASSERT_EQ(form->ButtonCount(), 1);
    QTest::mouseClick(form->DialogButton(0), Qt::LeftButton);
    EXPECT_TRUE(messenger.AbortRequested());
    EXPECT_THROW(CheckAbort(&messenger, 5, "HTML Export aborted by user"), EAbort);
    messenger.EndProgress();
    EXPECT_EQ(messenger.ProgressMessenger().Form(), nullptr);

    {
        TProgressScope scope(&messenger, "Again", 10); // a new operation starts unaborted
        EXPECT_FALSE(messenger.AbortRequested());
        messenger.SetProgressText("Step two");
        EXPECT_EQ(messenger.ProgressMessenger().Lines(), QStringList{"Step two"});
    }
    EXPECT_EQ(messenger.ProgressMessenger().Form(), nullptr);
}

TEST(WindowedMessenger, HugeRangesAreScaledIntoTheGauge) {
    TWindowedMessenger messenger;
    messenger.BeginProgress("Copying", 10'000'000'000LL);
    messenger.SetProgress(5'000'000'000LL);
    auto* bar = messenger.ProgressMessenger().Form()->ProgressBar();
    EXPECT_EQ(bar->Model().ShownPercent(), 50);
    messenger.EndProgress();
}

TEST(WindowedMessenger, WarningsCollectInOneWindowThatDoesNotBlock) {
    TWindowedMessenger messenger;
    messenger.Warning("First");
    messenger.Warning("Second");
    TMessengerForm* form = messenger.WarningMessenger().Form();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(messenger.WarningMessenger().Lines(), (QStringList{"First", "Second"}));
    form->DialogButton(0)->click();
    EXPECT_EQ(messenger.WarningMessenger().Form(), nullptr);
    EXPECT_TRUE(messenger.WarningMessenger().Lines().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(WindowedMessenger, BatchModeNeverOpensAWindow) {
    std::ostringstream echo;
    std::unique_ptr<IMessenger> messenger = components::ui::MakeMessenger(false, &echo);
    ASSERT_NE(dynamic_cast<TScriptedMessenger*>(messenger.get()), nullptr);
    TQuestion q = Prompt();
    EXPECT_EQ(messenger->Ask(q), mrCancel); // the safe answer, at once
    EXPECT_EQ(messenger->AskYesNoCancel("Save", "Save changes?"), mrCancel);
    messenger->ShowMessage(TMessageKind::Error, "Oops!", "Disk full");
    messenger->BeginProgress("Working", 10);
    messenger->SetProgress(5);
    messenger->EndProgress();
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
    EXPECT_NE(echo.str().find("Error: Disk full"), std::string::npos);

    EXPECT_NE(dynamic_cast<TWindowedMessenger*>(components::ui::MakeMessenger(true, nullptr).get()),
              nullptr);
}

} // namespace
