// The messenger dialog driven as a person drives it: typing, choosing,
// clicking, Escape, Ctrl+C, and a modeless progress window.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "components/messengerlayout.h"
#include "components/messengerseam.h"
#include "components/ui/messenger.h"
#include "components/ui/messengerform.h"
#include "components/ui/powerprogressbar.h"
#include "messenger_support.h"

namespace {

using namespace components::ui;
using components::mrAll;
using components::mrCancel;
using components::mrNo;
using components::mrOk;
using components::mrYes;

// A question with an input line, two choices and OK, Yes, All, Cancel.
void SetUpQuestion(TMessenger& m) {
    m.SetCaption("Question");
    m.SetText("Name the new topic:");
    m.Edit().Visible = true;
    m.Edit().SetText("before");
    m.SetChoices({"first", "second"});
    m.SetChoiceIndex(0);
    const std::pair<TBitBtnKind, int> buttons[] = {{TBitBtnKind::OK, mrOk},
                                                   {TBitBtnKind::Yes, mrYes},
                                                   {TBitBtnKind::All, mrAll},
                                                   {TBitBtnKind::Cancel, mrCancel}};
    for (int i = 0; i < 4; ++i) {
        m.GetButton(i + 1).SetKind(buttons[i].first);
        m.GetButton(i + 1).Visible = true;
    }
}

TEST(Messenger, OnlyKeepingResultsCopyTheInputBack) {
    struct Case {
        int button; // 0-based among the visible ones
        int result;
        bool keeps;
    } cases[] = {{3, mrCancel, false}, {0, mrOk, true}, {1, mrYes, true}, {2, mrAll, true}};
    for (const Case& c : cases) {
        TMessenger m;
        SetUpQuestion(m);
        AnswerNextDialog([&](TMessengerForm& form) {
            QTest::keyClicks(form.Edit(), "typed"); // replaces the selected text
            form.Radios()[1]->click();
            form.DialogButton(c.button)->click();
        });
        EXPECT_EQ(m.Execute(), c.result);
        EXPECT_EQ(m.Edit().Text(), c.keeps ? "typed" : "before") << c.result;
        EXPECT_EQ(m.ChoiceIndex(), c.keeps ? 1 : 0) << c.result;
        EXPECT_EQ(m.Form(), nullptr); // freed in every case
    }
}

// -1 means "none": stored when nothing is checked, and built again without
// complaint.
TEST(Messenger, ChoiceWithNothingCheckedBuildsAgain) {
    TMessenger m;
    m.SetText("Pick one");
    m.SetChoices({"a", "b", "c"});
    m.SetChoiceIndex(-1);
    for (int round = 0; round < 2; ++round) {
        AnswerNextDialog([](TMessengerForm& form) {
            for (QRadioButton* radio : form.Radios())
                EXPECT_FALSE(radio->isChecked());
            form.DialogButton(0)->click();
        });
        EXPECT_EQ(m.Execute(), mrOk);
        EXPECT_EQ(m.ChoiceIndex(), -1);
    }
    m.SetChoiceIndex(7);
    EXPECT_THROW(m.Execute(), components::EMessenger);
    EXPECT_EQ(m.Form(), nullptr);
}

TEST(Messenger, EscapeAndCloseBox) {
    {
        TMessenger m; // Escape answers with the Cancel button's result
        m.GetButton(1).SetKind(TBitBtnKind::Yes);
        m.GetButton(2).SetKind(TBitBtnKind::No);
        m.GetButton(2).Visible = true;
        AnswerNextDialog([](TMessengerForm& form) { QTest::keyClick(&form, Qt::Key_Escape); });
        EXPECT_EQ(m.Execute(), mrNo);
    }
    {
        TMessenger m; // no Cancel button: Escape does nothing, the close box cancels
        m.GetButton(1).Cancel = false;
        AnswerNextDialog([](TMessengerForm& form) {
            QTest::keyClick(&form, Qt::Key_Escape);
            EXPECT_TRUE(form.isVisible());
            form.close();
        });
        EXPECT_EQ(m.Execute(), mrCancel);
    }
}

TEST(Messenger, TextBreaksLinesByTheSeamsRule) {
    // The engines break lines with a lone "\r": the box keeps those breaks.
    TMessenger m;
    m.SetText("Please insert volume 3.\rLook in the folder\r\nbelow.\nThen press OK.\n");
    EXPECT_EQ(m.Lines(), (QStringList{"Please insert volume 3.", "Look in the folder", "below.",
                                      "Then press OK."}));
}

TEST(Messenger, CopyMessageTakesTheTextOrTheEditSelection) {
    TMessenger m;
    m.SetText("  Something went wrong.\n\n");
    AnswerNextDialog([](TMessengerForm& form) {
        QApplication::clipboard()->clear();
        QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), "Something went wrong.");
        form.DialogButton(0)->click();
    });
    m.Execute();

    TMessenger prompt;
    prompt.SetText("Folder:");
    prompt.Edit().Visible = true;
    prompt.Edit().SetText("C:\\Help\\Project");
    AnswerNextDialog([](TMessengerForm& form) {
        ASSERT_EQ(form.focusWidget(), form.Edit());
        form.Edit()->setSelection(3, 4);
        QTest::keyClick(form.Edit(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), "Help");
        form.Edit()->setSelection(0, 2);
        form.CopyAction()->trigger(); // the context menu's item
        EXPECT_EQ(QApplication::clipboard()->text(), "C:");
        form.DialogButton(0)->click();
    });
    prompt.Execute();
}

TEST(Messenger, LayoutOnScreen) {
    TMessenger m;
    m.SetText("");
    EXPECT_TRUE(m.Lines().isEmpty());
    m.GetButton(1).Visible = false;
    m.SetText("Short");
    m.Show();
    TMessengerForm* form = m.Form();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->ButtonCount(), 0);
    EXPECT_EQ(form->height(), form->MessageLabel()->geometry().bottom() + 1 + 2 * m.Spacing());
    EXPECT_EQ(form->focusWidget(), nullptr);

    int screenWidth = form->screen()->geometry().width();
    m.SetText(QString("A very long message without a break. ").repeated(40));
    m.GetButton(1).Visible = true;
    m.Show(); // a second Show lays the dialog out anew
    EXPECT_EQ(form->width(), screenWidth * 6 / 10);
    EXPECT_GT(form->MessageLabel()->height(), 3 * form->fontMetrics().height()); // wrapped
    ASSERT_EQ(form->ButtonCount(), 1);
    EXPECT_EQ(form->focusWidget(), form->DialogButton(0));
    m.Close();
    EXPECT_EQ(m.Form(), nullptr);
}

// Messages carry text from outside (a server's answer, a file name): what
// looks like markup is shown as it stands.
TEST(Messenger, TextThatLooksLikeMarkupIsShownAsItStands) {
    TMessenger m;
    m.SetText("<b>maintenance</b> &amp; more");
    m.Show();
    QLabel* label = m.Form()->MessageLabel();
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text(), "<b>maintenance</b> &amp; more");
    m.Close();
}

TEST(Messenger, GaugeValuesWaitForTheDialog) {
    TMessenger m;
    m.SetText("Copying files...");
    m.Gauge().Visible = true;
    m.Gauge().SetMaxValue(40);
    m.Gauge().SetProgress(30);
    m.GetButton(1).Visible = false;
    m.Show();
    TPowerProgressBar* bar = m.Form()->ProgressBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->MaxValue(), 40);
    EXPECT_EQ(bar->Progress(), 30);
    m.Gauge().SetProgress(99); // the open bar clamps, and the gauge reads it back
    EXPECT_EQ(m.Gauge().Progress(), 40);
    m.Hide();
    EXPECT_NE(m.Form(), nullptr);
    EXPECT_FALSE(m.Form()->isVisible());
    m.Close();
    EXPECT_EQ(m.Gauge().Progress(), 99); // the stored value again
}

// A long caption widens the buttons so that it shows whole.
TEST(Messenger, ALongButtonCaptionIsNotCut) {
    TMessenger m;
    m.GetButton(2).Caption = "Download Decompiler";
    m.GetButton(2).Visible = true;
    m.Show();
    QPushButton* button = nullptr;
    for (QPushButton* candidate : m.Form()->findChildren<QPushButton*>())
        if (candidate->text() == "Download Decompiler")
            button = candidate;
    ASSERT_NE(button, nullptr);
    EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()) + 8);
    m.Close();
}

TEST(Messenger, EventsAndButtonClicks) {
    TMessenger m;
    m.GetButton(2).Caption = "&Retry";
    m.GetButton(2).ModalResult = components::mrRetry;
    m.GetButton(2).Visible = true;
    QStringList events;
    QObject::connect(&m, &TMessenger::OnShow, [&] { events << "show"; });
    QObject::connect(&m, &TMessenger::OnHide, [&] { events << "hide"; });
    QObject::connect(&m, &TMessenger::OnButtonClick,
                     [&](TMessenger*, TMessengerButton* b) { events << b->Caption; });
    AnswerNextDialog([](TMessengerForm& form) { form.DialogButton(1)->click(); });
    EXPECT_EQ(m.Execute(), components::mrRetry);
    EXPECT_EQ(events, (QStringList{"show", "&Retry", "hide"}));

    m.Show();
    QPushButton stranger;
    try {
        m.ButtonClick(&stranger);
        ADD_FAILURE() << "a foreign button was accepted";
    } catch (const components::EMessenger& e) {
        EXPECT_STREQ(e.what(), "ButtonClick event generated by unknown button");
    }
    // A handler that lays the dialog out anew from inside a click: the
    // clicked button is replaced while its signal runs.
    auto rebuild = QObject::connect(&m, &TMessenger::OnButtonClick, [&] { m.Show(); });
    m.Form()->DialogButton(0)->click();
    ASSERT_NE(m.Form(), nullptr);
    EXPECT_EQ(m.Form()->ButtonCount(), 2);
    QObject::disconnect(rebuild);
    // A handler that frees the dialog from inside its own click.
    QObject::connect(&m, &TMessenger::OnButtonClick, [&] { m.Close(); });
    m.Form()->DialogButton(0)->click();
    EXPECT_EQ(m.Form(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(Messenger, AssignToCopiesEverything) {
    TMessenger a;
    SetUpQuestion(a);
    a.SetSpacing(8);
    a.SetPosition(10, 20);
    a.GetButton(5).Caption = "Custom";
    a.GetButton(5).Default = true;
    a.GetButton(5).Visible = true;
    TMessenger b;
    a.AssignTo(b);
    EXPECT_EQ(b.Lines(), a.Lines());
    EXPECT_EQ(b.Edit().Text(), "before");
    EXPECT_EQ(b.Choices(), a.Choices());
    EXPECT_EQ(b.Spacing(), 8);
    EXPECT_EQ(b.Left(), 10);
    EXPECT_EQ(b.GetButton(4).Caption, "Cancel");
    EXPECT_TRUE(b.GetButton(4).Cancel);
    EXPECT_TRUE(b.GetButton(5).Default);
    QFont big = b.Font();
    big.setPointSize(20);
    b.SetFont(big); // the edit and buttons follow the messenger's font
    EXPECT_EQ(b.Edit().Font().pointSize(), 20);
    EXPECT_EQ(b.ButtonLayout().Font().pointSize(), 20);
    EXPECT_EQ(a.Edit().Font().pointSize(), 10);
}

} // namespace
