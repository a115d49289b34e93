#include "editor/ui/dialogs/footnoteform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include "components/ui/ansiqt.h"
#include "components/ui/messenger_support.h"
#include "dialogs_support.h"
#include "editor/dialogs/footnotedialogmodel.h"

using editor::TFootnoteDialogModel;
using editor::ui::TFootnoteForm;
using helpproject::TBrindlewovenTopic;

namespace {

struct Fixture {
    std::unique_ptr<helpproject::TBrindlewovenProject> project = DialogProject();
    TFootnoteForm form;

    TFootnoteDialogModel Model(int number) {
        return TFootnoteDialogModel(*project, *project->TopicByNumber(number), {"pro"}, {"Draft"});
    }
};

} // namespace

// The number box carries an automatic context string along; OK hands every
// field to the model, whose Ok moves the topic.
TEST(FootnoteForm, RenumberWithAutomaticAndCustomContext) {
    struct Case {
        const char* context; // typed after the number
        const char* expectedID;
    };
    const Case cases[] = {{nullptr, "Vellumar25"}, {"my_topic", "my_topic"}};
    for (const Case& c : cases) {
        Fixture fx;
        fx.project->TopicByNumber(20)->TopicID.clear();
        fx.project->TopicByNumber(20)->EntryMacro = "Back()";
        TFootnoteDialogModel model = fx.Model(20);
        AnswerNext<TFootnoteForm>([&c](TFootnoteForm& f) {
            EXPECT_EQ(f.EditContext()->text(), "Vellumar20");
            Retype(f.SpinID(), "25");
            EXPECT_EQ(f.EditContext()->text(), "Vellumar25");
            if (c.context)
                Retype(f.EditContext(), c.context);
            Retype(f.EditKeywords(), "alpha;beta");
            Click(f.OkBtn());
        });
        ASSERT_TRUE(fx.form.Execute(model));
        model.Ok(false);
        const TBrindlewovenTopic* moved = fx.project->FindTopic(25);
        ASSERT_NE(moved, nullptr);
        EXPECT_EQ(fx.project->FindTopic(20), nullptr);
        EXPECT_EQ(moved->TopicID, c.expectedID);
        EXPECT_EQ(moved->KKeywords, "alpha;beta");
        EXPECT_EQ(moved->EntryMacro, "Back()");
    }
}

// Each box refuses its characters as they are typed, and nothing typed can
// grow a box past its limit; a loaded value that breaks either rule is
// kept whole and can still be edited.
TEST(FootnoteForm, FiltersRefuseKeysButNeverCutLoadedText) {
    Fixture fx;
    TBrindlewovenTopic& topic = *fx.project->TopicByNumber(10);
    const std::string longTitle(200, 't');
    topic.Title = longTitle;
    topic.BrowseSequence = "old seq!";
    topic.BuildTag = "a b";
    TFootnoteDialogModel model = fx.Model(10);
    AnswerNext<TFootnoteForm>([&](TFootnoteForm& f) {
        EXPECT_EQ(f.EditTitle()->text().size(), 200);
        f.EditTitle()->setFocus();
        f.EditTitle()->end(false);
        QTest::keyClicks(f.EditTitle(), "x");
        EXPECT_EQ(f.EditTitle()->text().size(), 200) << "grew past 127";
        QTest::keyClick(f.EditTitle(), Qt::Key_Backspace);
        EXPECT_EQ(f.EditTitle()->text().size(), 199) << "shrinking is allowed";

        f.EditBrowse()->setFocus();
        f.EditBrowse()->end(false);
        QTest::keyClicks(f.EditBrowse(), "2 (x)");
        EXPECT_EQ(f.EditBrowse()->text(), "old seq!2x");

        Retype(f.EditContext(), "a b-c_D9");
        EXPECT_EQ(f.EditContext()->text(), "abc_D9");

        f.ComboBuild()->setFocus();
        f.ComboBuild()->lineEdit()->end(false);
        QTest::keyClicks(f.ComboBuild(), "=c");
        EXPECT_EQ(f.ComboBuild()->currentText(), "a bc");
        Click(f.OkBtn());
    });
    ASSERT_TRUE(fx.form.Execute(model));
    EXPECT_EQ(model.Title, std::string(199, 't'));
    EXPECT_EQ(model.BrowseSequence, "old seq!2x");
    EXPECT_EQ(model.Context, "abc_D9");
    EXPECT_EQ(model.BuildTag, "a bc");
}

// Text Windows-1252 cannot hold is refused where it is typed, and the field
// says so; what it can hold (the euro sign) is taken.
TEST(FootnoteForm, RefusesWhatWindows1252CannotHold) {
    Fixture fx;
    TFootnoteDialogModel model = fx.Model(10);
    AnswerNext<TFootnoteForm>([](TFootnoteForm& f) {
        Retype(f.EditTitle(), "");
        TypeText(f.EditTitle(), QString::fromUtf8("5 \u20ac"));
        TypeText(f.EditTitle(), QString::fromUtf8("\u03a9"));
        EXPECT_EQ(f.EditTitle()->text(), QString::fromUtf8("5 \u20ac"));
        EXPECT_EQ(QToolTip::text(), components::ui::RefusedCharacterMessage());
        Click(f.OkBtn());
    });
    ASSERT_TRUE(fx.form.Execute(model));
    EXPECT_EQ(model.Title, "5 \x80");
}

TEST(FootnoteForm, CancelWritesNothing) {
    Fixture fx;
    TFootnoteDialogModel model = fx.Model(10);
    AnswerNext<TFootnoteForm>([](TFootnoteForm& f) {
        EXPECT_EQ(f.ComboStatus()->itemText(0), "Draft");
        Retype(f.EditTitle(), "Changed");
        Click(f.CancelBtn());
    });
    EXPECT_FALSE(fx.form.Execute(model));
    EXPECT_EQ(model.Title, "Intro");
}
