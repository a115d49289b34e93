#include "editor/ui/dialogs/buttonform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

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
