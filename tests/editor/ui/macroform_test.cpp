#include "editor/ui/dialogs/macroform.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/messenger_support.h"
#include "dialogs_support.h"
#include "editor/ui/dialogs/macroeditoropener.h"

using editor::ui::TMacroForm;

namespace {

// Picks the macro, types its parameters in order and clicks Add.
void AddCall(TMacroForm& f, const char* macro, std::initializer_list<const char*> values) {
    ClickItem(f.ListMacro(), macro);
    std::size_t slot = 0;
    for (const char* value : values)
        Retype(f.ParamEdit(slot++), value);
    Click(f.AddBtn());
}

} // namespace

TEST(MacroForm, ShowsTheSlotsOfThePickedMacro) {
    TMacroForm form;
    form.show();
    ClickItem(form.ListMacro(), "ExecFile");
    EXPECT_TRUE(form.LabelWin95()->isVisible());
    EXPECT_FALSE(form.LabelMacro()->text().startsWith('*'));
    EXPECT_EQ(form.ParamLabel(0)->text(), "program");
    EXPECT_EQ(form.ParamLabel(2)->text(), "display-state");
    EXPECT_TRUE(form.ParamEdit(2)->isVisible());
    EXPECT_FALSE(form.ParamEdit(3)->isVisible());
    EXPECT_FALSE(form.ParamButton(0)->isVisible()) << "no ... for a string";

    ClickItem(form.ListMacro(), "JumpID");
    EXPECT_FALSE(form.LabelWin95()->isVisible());
    EXPECT_TRUE(form.ParamButton(0)->isVisible()) << "... for a help file";
    EXPECT_FALSE(form.ParamButton(1)->isVisible());
    // The hint of the parameter being typed is shown.
    form.ParamEdit(1)->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form.LabelHint()->text(), form.ParamEdit(1)->statusTip());
    EXPECT_FALSE(form.LabelHint()->text().isEmpty());
}

TEST(MacroForm, ComposesCallsJoinedBySemicolons) {
    TMacroForm form;
    form.SetMacroText("");
    AnswerNext<TMacroForm>([](TMacroForm& f) {
        // Enter in a parameter is Add's key, not OK's.
        ClickItem(f.ListMacro(), "JumpID");
        Retype(f.ParamEdit(0), "a.hlp");
        Retype(f.ParamEdit(1), "x");
        QTest::keyClick(f.ParamEdit(1), Qt::Key_Return);
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.MemoMacro()->text(), "JumpID(\"a.hlp\",\"x\")");
        AddCall(f, "Back", {});
        EXPECT_EQ(f.MemoMacro()->text(), "JumpID(\"a.hlp\",\"x\");Back()");
        Click(f.OkBtn());
    });
    ASSERT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.MacroText(), "JumpID(\"a.hlp\",\"x\");Back()");
}

// OK with an empty memo takes the picked macro's call.
TEST(MacroForm, OkWithEmptyMemoAddsThePickedMacro) {
    TMacroForm form;
    form.SetMacroText("Exit()");
    AnswerNext<TMacroForm>([](TMacroForm& f) {
        EXPECT_EQ(f.MemoMacro()->text(), "Exit()");
        Click(f.ClearBtn());
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.MemoMacro()->text(), "");
        ClickItem(f.ListMacro(), "About");
        Click(f.OkBtn());
    });
    ASSERT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.MacroText(), "About()");
}

// Escape closes the editor as Cancel does, from the list or from the
// memo, and what was composed does not reach the caller.
TEST(MacroForm, EscapeClosesLikeCancel) {
    for (bool inMemo : {false, true}) {
        TMacroForm form;
        form.SetMacroText("Exit()");
        AnswerNext<TMacroForm>([inMemo](TMacroForm& f) {
            ClickItem(f.ListMacro(), "About");
            Click(f.AddBtn());
            QWidget* focus = inMemo ? static_cast<QWidget*>(f.MemoMacro())
                                    : static_cast<QWidget*>(f.ListMacro());
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Escape);
        });
        EXPECT_EQ(form.exec(), QDialog::Rejected) << inMemo;
        EXPECT_EQ(form.MacroText(), "Exit()") << inMemo;
    }
}

// A macro parameter is composed in a second editor; its result comes back
// with its quotes turned into ` and ', inside the outer call's quotes.
TEST(MacroForm, NestedEditorForAMacroParameter) {
    TMacroForm form;
    AnswerNext<TMacroForm>([](TMacroForm& f) {
        ClickItem(f.ListMacro(), "ChangeButtonBinding");
        Retype(f.ParamEdit(0), "btn_up");
        ASSERT_TRUE(f.ParamButton(1)->isVisible());
        AnswerNextModal(
            [&f](QWidget* w) { return w != &f && dynamic_cast<TMacroForm*>(w) != nullptr; },
            [](QWidget& w) {
                auto& nested = dynamic_cast<TMacroForm&>(w);
                AddCall(nested, "JumpID", {"a.hlp", "x"});
                Click(nested.OkBtn());
            });
        Click(f.ParamButton(1));
        EXPECT_EQ(f.ParamEdit(1)->text(), "JumpID(`a.hlp',`x')");
        Click(f.AddBtn());
        Click(f.OkBtn());
    });
    ASSERT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.MacroText(), "ChangeButtonBinding(\"btn_up\",\"JumpID(`a.hlp',`x')\")");
}

// The opener of the dialogs keeps its editor: the next use starts on the
// macro picked last, and Cancel leaves the field alone.
TEST(MacroEditorOpener, OkFillsTheFieldCancelLeavesIt) {
    QWidget owner;
    QLineEdit field(&owner);
    field.setText("Back()");
    editor::ui::TMacroEditorOpener opener(&owner);
    AnswerNext<TMacroForm>([](TMacroForm& f) {
        EXPECT_EQ(f.MemoMacro()->text(), "Back()");
        AddCall(f, "Contents", {});
        Click(f.OkBtn());
    });
    EXPECT_TRUE(opener.Edit(field));
    EXPECT_EQ(field.text(), "Back();Contents()");

    AnswerNext<TMacroForm>([](TMacroForm& f) {
        EXPECT_EQ(f.ListMacro()->currentItem()->text(), "Contents");
        Click(f.CancelBtn());
    });
    EXPECT_FALSE(opener.Edit(field));
    EXPECT_EQ(field.text(), "Back();Contents()");
}

// "..." of a help-file parameter puts the chosen file's name, without its
// folder, into the parameter.
TEST(MacroForm, HelpFileParameterTakesTheFileName) {
    QTemporaryDir dir;
    const QString path = dir.filePath("other.hlp");
    QFile(path).open(QIODevice::WriteOnly);
    TMacroForm form;
    AnswerNext<TMacroForm>([&path](TMacroForm& f) {
        ClickItem(f.ListMacro(), "JumpID");
        AnswerNext<QFileDialog>([&path](QFileDialog& d) {
            auto* name = d.findChild<QLineEdit*>("fileNameEdit");
            if (!name) {
                ADD_FAILURE() << "no file name box";
                d.reject();
                return;
            }
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
            if (d.isVisible()) {
                ADD_FAILURE() << "the file dialog stayed open";
                d.reject();
            }
        });
        Click(f.ParamButton(0));
        EXPECT_EQ(f.ParamEdit(0)->text(), "other.hlp");
        Retype(f.ParamEdit(1), "x");
        Click(f.OkBtn());
    });
    ASSERT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.MacroText(), "JumpID(\"other.hlp\",\"x\")");
    EXPECT_EQ(form.Model().HelpFolder(), dir.path().toStdString());
}
