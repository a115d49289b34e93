#include "editor/ui/dialogs/linkform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "components/ui/messenger_support.h"
#include "dialogs_support.h"
#include "editor/dialogs/linkdialogmodel.h"
#include "editor/ui/dialogs/macroform.h"
#include "editor/ui/dialogs/topicpickerbox.h"

using editor::TLinkDialogModel;
using editor::ui::TLinkForm;

namespace {

// Runs the dialog with `fill` playing the person; the code OK wrote, or
// "cancelled".
std::string RunLinkForm(TLinkForm& form, TLinkDialogModel& model,
                        std::function<void(TLinkForm&)> fill) {
    AnswerNext<TLinkForm>([fill](TLinkForm& f) {
        fill(f);
        Click(f.OkBtn());
    });
    return form.Execute(model) ? model.Code() : "cancelled";
}

} // namespace

TEST(LinkForm, OkWritesTheCodeOfWhatWasChosen) {
    struct Case {
        const char* name;
        std::function<void(TLinkForm&)> fill;
        const char* code;
    };
    const Case cases[] = {
        {"topic picked in title order, with a window",
         [](TLinkForm& f) {
             f.ComboTopic()->setFocus();
             QTest::keyClick(f.ComboTopic(), Qt::Key_Down); // "Appendix (30)"
             QTest::keyClick(f.ComboTopic(), Qt::Key_Down); // "Details (20)"
             QTest::keyClick(f.ComboWindow(), Qt::Key_Down);
         },
         "{linkID=20>main}"},
        {"topic picked in number order",
         [](TLinkForm& f) {
             Click(f.TopicBox()->SortButton());
             f.ComboTopic()->setFocus();
             QTest::keyClick(f.ComboTopic(), Qt::Key_Down); // "10: Intro"
         },
         "{linkID=10}"},
        {"typed context string, refused characters left out",
         [](TLinkForm& f) { Retype(f.ComboTopic(), "an@chor!"); }, "{link=anchor}"},
        {"underline only, popup: no window part",
         [](TLinkForm& f) {
             Click(f.RadioGroupText()->button(2));
             Retype(f.ComboTopic(), "zeta");
             Click(f.CheckPopup());
             EXPECT_FALSE(f.ComboWindow()->isVisible());
         },
         "{link=*zeta}"},
        {"other own help file by number",
         [](TLinkForm& f) {
             Click(f.RadioGroupLink()->button(1));
             Retype(f.EditFile(), "other.hlp");
             Retype(f.SpinTopic(), "42");
         },
         "{link=Vellumar42@other.hlp}"},
        {"non-own help file by context string",
         [](TLinkForm& f) {
             Click(f.RadioGroupText()->button(1));
             Click(f.RadioGroupLink()->button(2));
             Retype(f.EditFile(), "x.hlp");
             Retype(f.EditTopic(), "idx(1)");
         },
         "{link=%idx1@x.hlp}"},
        {"macro: no window list",
         [](TLinkForm& f) {
             Click(f.RadioGroupLink()->button(3));
             EXPECT_FALSE(f.ComboWindow()->isVisible());
             EXPECT_FALSE(f.CheckPopup()->isVisible());
             Retype(f.EditMacro(), "Back()");
         },
         "{link=! Back()}"},
        {"target",
         [](TLinkForm& f) {
             Click(f.RadioGroupLink()->button(4));
             f.ComboTarget()->setFocus();
             QTest::keyClick(f.ComboTarget(), Qt::Key_Down); // "zeta"
         },
         "{linkTarget=zeta}"},
    };
    for (const Case& c : cases) {
        auto project = DialogProject();
        TLinkDialogModel model(*project);
        TLinkForm form;
        EXPECT_EQ(RunLinkForm(form, model, c.fill), c.code) << c.name;
    }
}

TEST(LinkForm, CancelLeavesTheModel) {
    auto project = DialogProject();
    TLinkDialogModel model(*project);
    TLinkForm form;
    AnswerNext<TLinkForm>([](TLinkForm& f) {
        Click(f.RadioGroupLink()->button(3));
        Retype(f.EditMacro(), "Back()");
        Click(f.CancelBtn());
    });
    EXPECT_FALSE(form.Execute(model));
    EXPECT_EQ(model.Macro, "");
}

// The look of the hotspot and the kind of link stay chosen after Cancel:
// the next link is likely of the same sort.
TEST(LinkForm, CancelKeepsTheHotspotLookAndTheKindOfLink) {
    auto project = DialogProject();
    TLinkDialogModel model(*project);
    TLinkForm form;
    AnswerNext<TLinkForm>([](TLinkForm& f) {
        Click(f.RadioGroupText()->button(2));
        Click(f.RadioGroupLink()->button(4));
        Click(f.CancelBtn());
    });
    EXPECT_FALSE(form.Execute(model));
    EXPECT_EQ(model.TextKind, editor::TLinkTextKind::UnderlineOnly);
    std::string code = RunLinkForm(form, model, [](TLinkForm& f) {
        EXPECT_TRUE(f.RadioGroupText()->button(2)->isChecked());
        EXPECT_TRUE(f.RadioGroupLink()->button(4)->isChecked());
        f.ComboTarget()->setEditText("Anchor");
    });
    EXPECT_EQ(code, "{linkTarget=*Anchor}");
}

// The sort button keeps the picked topic, shown in the other style; the
// model remembers the order for the next time the dialog opens.
TEST(LinkForm, SortButtonKeepsThePickedTopic) {
    auto project = DialogProject();
    TLinkDialogModel model(*project);
    TLinkForm form;
    EXPECT_EQ(RunLinkForm(form, model,
                          [](TLinkForm& f) {
                              f.ComboTopic()->setFocus();
                              QTest::keyClick(f.ComboTopic(), Qt::Key_Down);
                              EXPECT_EQ(f.ComboTopic()->currentText(), "Appendix (30)");
                              Click(f.TopicBox()->SortButton());
                              EXPECT_EQ(f.ComboTopic()->currentText(), "30: Appendix");
                          }),
              "{linkID=30}");
    EXPECT_EQ(RunLinkForm(form, model,
                          [](TLinkForm& f) {
                              EXPECT_TRUE(f.TopicBox()->SortButton()->isChecked());
                              EXPECT_EQ(f.ComboTopic()->itemText(0), "10: Intro");
                          }),
              "{linkID=30}");
}

// The "..." button composes the macro in the macro editor.
TEST(LinkForm, MacroButtonOpensTheMacroEditor) {
    auto project = DialogProject();
    TLinkDialogModel model(*project);
    TLinkForm form;
    EXPECT_EQ(RunLinkForm(form, model,
                          [](TLinkForm& f) {
                              Click(f.RadioGroupLink()->button(3));
                              AnswerNext<editor::ui::TMacroForm>([](editor::ui::TMacroForm& m) {
                                  ClickItem(m.ListMacro(), "Back");
                                  Click(m.OkBtn());
                              });
                              Click(f.MacroBtn());
                              EXPECT_EQ(f.EditMacro()->text(), "Back()");
                          }),
              "{link=! Back()}");
}

// The dialog's own status bar shows the hint of the control under the mouse.
TEST(LinkForm, StatusBarShowsHints) {
    auto project = DialogProject();
    TLinkDialogModel model(*project);
    TLinkForm form;
    AnswerNext<TLinkForm>([](TLinkForm& f) {
        Click(f.RadioGroupLink()->button(1));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(f.BrowseBtn(), &enter);
        EXPECT_EQ(f.StatusBar()->currentMessage(), f.BrowseBtn()->statusTip());
        EXPECT_FALSE(f.StatusBar()->currentMessage().isEmpty());
        Click(f.CancelBtn());
    });
    EXPECT_FALSE(form.Execute(model));
}

// OK with text that would break the link code says why and keeps the
// dialog open at that box; mended, OK takes it.
TEST(LinkForm, OkRefusesTextThatWouldBreakTheCode) {
    auto project = DialogProject();
    TLinkDialogModel model(*project);
    components::TScriptedMessenger messenger;
    TLinkForm form;
    form.SetMessenger(&messenger);
    AnswerNext<TLinkForm>([&messenger](TLinkForm& f) {
        Click(f.RadioGroupLink()->button(3));
        Retype(f.EditMacro(), "ExecFile(\"x}{keepn}\")");
        Click(f.OkBtn());
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.EditMacro()->hasFocus());
        ASSERT_EQ(messenger.Records.size(), 1u);
        EXPECT_EQ(messenger.Records[0].Caption, "Insert link");
        EXPECT_EQ(messenger.Records[0].Icon, components::TMessageKind::Error);
        EXPECT_EQ(messenger.Records[0].Text.rfind("The macro cannot contain \"{\" or \"}\"", 0),
                  0u);
        Retype(f.EditMacro(), "ExecFile(\"x\")");
        Click(f.OkBtn());
    });
    ASSERT_TRUE(form.Execute(model));
    EXPECT_EQ(model.Code(), "{link=! ExecFile(\"x\")}");
    EXPECT_EQ(messenger.Records.size(), 1u);
}
