#include "editor/ui/dialogs/buttonform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "components/ui/messenger_support.h"
#include "dialogs_support.h"
#include "editor/dialogs/buttondialogmodel.h"
#include "editor/ui/dialogs/topicpickerbox.h"

using editor::TButtonDialogModel;
using editor::ui::TButtonForm;

TEST(ButtonForm, OkWritesCaptionAndTopic) {
    auto project = DialogProject();
    TButtonDialogModel model(*project);
    TButtonForm form;
    AnswerNext<TButtonForm>([](TButtonForm& f) {
        // The first topic is chosen at once; the sort button keeps it.
        QComboBox* topics = f.TopicBox()->Combo();
        EXPECT_EQ(topics->currentText(), "Appendix (30)");
        EXPECT_FALSE(f.EditMacro()->isEnabled());
        topics->setFocus();
        QTest::keyClick(topics, Qt::Key_Down);
        Click(f.TopicBox()->SortButton());
        EXPECT_EQ(topics->currentText(), "20: Details");
        Retype(f.EditCaption(), "See, more; <here>");
        Click(f.OkBtn());
    });
    ASSERT_TRUE(form.Execute(model));
    EXPECT_EQ(model.Code(), "{button See more here,20}");
}

TEST(ButtonForm, MacroChoiceSwitchesTheEnabledControls) {
    auto project = DialogProject();
    TButtonDialogModel model(*project);
    TButtonForm form;
    AnswerNext<TButtonForm>([](TButtonForm& f) {
        Retype(f.EditCaption(), "Back");
        Click(f.RadioMacro());
        EXPECT_FALSE(f.TopicBox()->isEnabled());
        EXPECT_TRUE(f.EditMacro()->isEnabled());
        EXPECT_TRUE(f.BtnMacro()->isEnabled());
        Retype(f.EditMacro(), "Back()");
        Click(f.OkBtn());
    });
    ASSERT_TRUE(form.Execute(model));
    EXPECT_EQ(model.Code(), "{button Back,Back()}");

    AnswerNext<TButtonForm>([](TButtonForm& f) {
        Retype(f.EditCaption(), "Other");
        Click(f.CancelBtn());
    });
    EXPECT_FALSE(form.Execute(model));
    EXPECT_EQ(model.Caption, "Back");
}

// A caption or macro that would end the button code early is refused at OK
// with a message; the dialog stays open at that box.
TEST(ButtonForm, OkRefusesBracesInCaptionOrMacro) {
    auto project = DialogProject();
    TButtonDialogModel model(*project);
    components::TScriptedMessenger messenger;
    TButtonForm form;
    form.SetMessenger(&messenger);
    AnswerNext<TButtonForm>([&messenger](TButtonForm& f) {
        Retype(f.EditCaption(), "Go}{keepn");
        Click(f.OkBtn());
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.EditCaption()->hasFocus());
        Retype(f.EditCaption(), "Go");
        Click(f.RadioMacro());
        Retype(f.EditMacro(), "JumpID(\"a.hlp\",\"x}\")");
        Click(f.OkBtn());
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.EditMacro()->hasFocus());
        const std::vector<std::string> texts =
            messenger.Texts(components::TScriptedMessenger::TRecord::Message);
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].rfind("The button caption cannot contain", 0), 0u) << texts[0];
        EXPECT_EQ(texts[1].rfind("The macro cannot contain", 0), 0u) << texts[1];
        Retype(f.EditMacro(), "JumpID(\"a.hlp\",\"x\")");
        Click(f.OkBtn());
    });
    ASSERT_TRUE(form.Execute(model));
    EXPECT_EQ(model.Code(), "{button Go,JumpID(\"a.hlp\",\"x\")}");
}
