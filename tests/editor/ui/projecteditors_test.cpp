// Renumber, Merge, the browse-sequence and windows editors, the position
// wizard and the hotspot sort dialog, driven as a person drives them.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "components/ui/messenger_support.h"
#include "dialogs_support.h"
#include "editor/dialogs/browsesequencemodel.h"
#include "editor/dialogs/mergedialogmodel.h"
#include "editor/dialogs/renumberdialogmodel.h"
#include "editor/ui/dialogs/browseform.h"
#include "editor/ui/dialogs/formoptions.h"
#include "editor/ui/dialogs/mergeform.h"
#include "editor/ui/dialogs/positionwizardform.h"
#include "editor/ui/dialogs/renumberform.h"
#include "editor/ui/dialogs/shgsortform.h"
#include "editor/ui/dialogs/windowsform.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/projecteditorsactions.h"
#include "form_support.h"

namespace {

using editor::ui::TBrowseForm;
using editor::ui::TMergeForm;
using editor::ui::TPositionWizardForm;
using editor::ui::TRenumberForm;
using editor::ui::TWindowsForm;
using Strings = std::vector<std::string>;

void Choose(QComboBox* combo, int index) {
    combo->setFocus();
    combo->setCurrentIndex(index); // as the drop-down list sets it
}

// ---- renumber and merge dialogs -------------------------------------------------------

TEST(RenumberForm, OkWritesTheChoicesAndCancelKeepsThem) {
    auto project = DialogProject();
    editor::TRenumberDialogModel model;
    model.Activate(*project);
    TRenumberForm form;
    AnswerNext<TRenumberForm>([](TRenumberForm& f) {
        EXPECT_EQ(f.ComboFrom()->currentText(), "10: Intro");
        EXPECT_EQ(f.ComboTo()->currentText(), "30: Appendix");
        EXPECT_TRUE(f.OkBtn()->isEnabled());
        Choose(f.ComboFrom(), 2);
        Choose(f.ComboTo(), 0);
        EXPECT_FALSE(f.OkBtn()->isEnabled());
        Choose(f.ComboTo(), 2); // the same topic as start and end
        EXPECT_TRUE(f.OkBtn()->isEnabled());
        Retype(f.SpinStart(), "500");
        Retype(f.SpinGap(), "5");
        Click(f.OkBtn());
    });
    ASSERT_TRUE(form.Execute(model));
    EXPECT_EQ(model.Request().From, 30);
    EXPECT_EQ(model.Request().To, 30);
    EXPECT_EQ(model.Start(), 500);
    EXPECT_EQ(model.Gap(), 5);

    AnswerNext<TRenumberForm>([](TRenumberForm& f) {
        Retype(f.SpinStart(), "7");
        Click(f.CancelBtn());
    });
    EXPECT_FALSE(form.Execute(model));
    EXPECT_EQ(model.Start(), 500);
}

TEST(MergeForm, CriteriaPagesAndOk) {
    auto other = DialogProject();
    other->Title = "Theirs";
    other->TopicByNumber(20)->BrowseSequence = "main:000010";
    other->TopicByNumber(30)->Status = "Done";
    editor::TMergeDialogModel model;
    model.Fill(*other, "/somewhere/their.bwv");
    TMergeForm form;
    AnswerNext<TMergeForm>([](TMergeForm& f) {
        EXPECT_EQ(f.LabelMergeProject()->text(), "Theirs - their.bwv");
        EXPECT_TRUE(f.OkBtn()->isEnabled()); // "Insert all topics"
        Choose(f.ComboInsertCriteria(), 1);
        EXPECT_EQ(f.Notebook()->currentIndex(), 1);
        Choose(f.ComboIDFrom(), 2);
        Choose(f.ComboIDTo(), 1);
        EXPECT_FALSE(f.OkBtn()->isEnabled());
        Choose(f.ComboInsertCriteria(), 3);
        EXPECT_TRUE(f.OkBtn()->isEnabled());
        ASSERT_EQ(f.CheckListStatus()->count(), 2);
        f.CheckListStatus()->item(0)->setCheckState(Qt::Unchecked);
        Click(qobject_cast<QAbstractButton*>(f.RadioSameID()->button(2)));
        Click(f.OkBtn());
    });
    ASSERT_TRUE(form.Execute(model));
    const editor::TMergeSelection selection = model.Selection();
    EXPECT_EQ(selection.Criterion, editor::TMergeCriterion::Status);
    EXPECT_EQ(selection.Statuses.size(), 1u);
    EXPECT_EQ(selection.SameID, editor::TSameIDChoice::ChangeID);

    AnswerNext<TMergeForm>([](TMergeForm& f) {
        EXPECT_EQ(f.ComboInsertCriteria()->currentIndex(), 3); // kept between uses
        Choose(f.ComboInsertCriteria(), 0);
        Click(f.CancelBtn());
    });
    EXPECT_FALSE(form.Execute(model));
}

// ---- hotspot sort and position wizard ---------------------------------------------------

TEST(SHGSortForm, UpDownOkAndCancel) {
    auto registry = platform::OpenMemoryRegistry();
    editor::ui::TSHGSortForm form(registry.get());
    AnswerNext<editor::ui::TSHGSortForm>([](editor::ui::TSHGSortForm& f) {
        ClickItem(f.ListHotspots(), "c");
        Click(f.BtnUp());
        Click(f.BtnUp());
        EXPECT_EQ(f.ListHotspots()->currentItem()->text(), "c");
        ClickItem(f.ListHotspots(), "a");
        Click(f.BtnDown());
        Click(f.OkBtn());
    });
    const auto order = form.Execute({"a", "b", "c"});
    ASSERT_TRUE(order.has_value());
    EXPECT_EQ(*order, (std::vector<int>{2, 1, 0}));
    EXPECT_TRUE(registry->KeyExists(platform::RootKey::CurrentUser, editor::ui::kSHGSortKey));

    AnswerNext<editor::ui::TSHGSortForm>([](editor::ui::TSHGSortForm& f) {
        ClickItem(f.ListHotspots(), "b");
        Click(f.BtnUp());
        Click(f.CancelBtn());
    });
    EXPECT_FALSE(form.Execute({"a", "b", "c"}).has_value());
}

TEST(OptionsForm, PositionWizardFillsTheHelpWindowBoxes) {
    components::TScriptedMessenger messenger;
    editor::ui::TOptionsForm form(messenger);
    auto* spinX = form.findChild<QSpinBox*>("SpinX");
    auto* spinWidth = form.findChild<QSpinBox*>("SpinWidth");
    spinX->setValue(100);
    spinWidth->setValue(400);
    form.Pages()->setCurrentIndex(3);
    form.show();
    AnswerNext<TPositionWizardForm>([](TPositionWizardForm& f) {
        f.setGeometry(QRect(130, 140, 350, 260));
        Click(f.OkBtn());
    });
    Click(form.WizardBtn());
    EXPECT_EQ(spinX->value(), 130);
    EXPECT_EQ(form.findChild<QSpinBox*>("SpinY")->value(), 140);
    EXPECT_EQ(spinWidth->value(), 350);
    EXPECT_EQ(form.findChild<QSpinBox*>("SpinHeight")->value(), 260);

    AnswerNext<TPositionWizardForm>([](TPositionWizardForm& f) {
        f.setGeometry(QRect(1, 1, 50, 50));
        Click(f.CancelBtn());
    });
    Click(form.WizardBtn());
    EXPECT_EQ(spinX->value(), 130);
    form.hide();
}

// ---- the window's commands ------------------------------------------------------------

class ProjectEditors : public editortest::FormFixture {
protected:
    void SetUp() override {
        MakeForm();
        OpenFourTopics();
        actions = &form->ProjectEditors();
    }
    void TearDown() override { DropForm(); }
    // A command of the menus, chosen as a person chooses it.
    void Choose(const char* name) {
        QAction* action = form->Actions().Action(name);
        ASSERT_TRUE(action && action->isEnabled()) << name;
        action->trigger();
    }
    helpproject::TBrindlewovenProject& Project() { return context->Project(); }
    helpproject::TEditingSession& Session() { return context->Session(); }
    std::vector<std::int32_t> Numbers() {
        std::vector<std::int32_t> numbers;
        for (const auto& topic : Project().Topics())
            numbers.push_back(topic->Number);
        return numbers;
    }
    editor::ui::TProjectEditorsActions* actions = nullptr;
};

TEST_F(ProjectEditors, RenumberThroughItsDialog) {
    Project().TopicByNumber(40)->Text = {"\\{linkID=10\\}"};
    AnswerNext<TRenumberForm>([](TRenumberForm& f) { Click(f.CancelBtn()); });
    Choose("ActionProjectRenumber");
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 20, 30, 40}));
    EXPECT_FALSE(Session().Modified());

    AnswerNext<TRenumberForm>([](TRenumberForm& f) {
        Retype(f.SpinStart(), "100");
        Retype(f.SpinGap(), "100");
        Click(f.OkBtn());
    });
    Choose("ActionProjectRenumber");
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{100, 200, 300, 400}));
    EXPECT_EQ(Project().TopicByNumber(400)->Text, Strings{"\\{linkID=100\\}"});
    EXPECT_TRUE(Session().Modified());
    EXPECT_EQ(context->TopicEditor().PropertyBar().Number, Session().CurrentTopic()->Number);
}

TEST_F(ProjectEditors, MergeThroughItsDialogs) {
    const auto folder = std::filesystem::temp_directory_path() / "bw-merge-ui";
    std::filesystem::create_directories(folder);
    auto other = DialogProject();
    other->SaveToFile((folder / "other.bwv").string(), nullptr);
    actions->FileDialog = [&](const editor::TFileDialogSpec& spec) {
        EXPECT_EQ(spec.Title, "Select project to merge with the current project");
        return std::optional<std::string>((folder / "other.bwv").string());
    };
    AnswerNext<TMergeForm>([](TMergeForm& f) { Click(f.CancelBtn()); });
    Choose("ActionProjectMerge");
    EXPECT_EQ(Project().TopicByNumber(10)->Title, "Delta");
    EXPECT_FALSE(Session().Modified());

    AnswerNext<TMergeForm>([](TMergeForm& f) {
        Click(qobject_cast<QAbstractButton*>(f.RadioSameID()->button(2)));
        Click(f.OkBtn());
    });
    Choose("ActionProjectMerge");
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 11, 20, 21, 30, 31, 40}));
    EXPECT_EQ(Project().TopicByNumber(10)->Title, "Delta");
    EXPECT_EQ(Project().TopicByNumber(11)->Title, "Intro");
    EXPECT_TRUE(Session().Modified());
    EXPECT_TRUE(messenger.Records.empty());
    std::filesystem::remove_all(folder);
}

TEST_F(ProjectEditors, BrowseAndWindowsAreRefusedUnderHtmlHelp) {
    Project().Compiler = helpproject::THelpCompiler::HtmlHelp;
    Choose("ActionEditorsBrowse");
    Choose("ActionEditorsWindows");
    ASSERT_EQ(messenger.Records.size(), 2u);
    EXPECT_EQ(messenger.Records[0].Caption, "This feature is not supported by HTML Help");
    EXPECT_EQ(messenger.Records[0].Text,
              "You have selected the HTML Help compiler in Project Options.  HTML Help files do "
              "not support browse sequences.  The Browse Sequence Editor will be unavailable "
              "unless you select the WinHelp compiler in Project Options.\r\n\r\nYou can "
              "configure the HTML Help window on the HTML Help tab in Project Options.");
    EXPECT_NE(messenger.Records[1].Text.find("secondary windows"), std::string::npos);

    Project().Compiler = helpproject::THelpCompiler::WinHelp32;
    AnswerNext<TBrowseForm>([](TBrowseForm& f) { Click(f.CloseBtn()); });
    Choose("ActionEditorsBrowse");
    EXPECT_EQ(messenger.Records.size(), 2u);
}

TEST_F(ProjectEditors, BrowseEditorWritesASequence) {
    Project().Compiler = helpproject::THelpCompiler::WinHelp32;
    AnswerNext<TBrowseForm>([](TBrowseForm& f) {
        EXPECT_EQ(f.ListTopic()->count(), 4);
        // Typed in upper case, the name comes in lower case; digits are refused.
        f.ComboBrowse()->setFocus();
        QTest::keyClicks(f.ComboBrowse(), "Ma1in");
        EXPECT_EQ(f.ComboBrowse()->currentText(), "main");
        const QListWidgetItem* alpha = f.ListTopic()->findItems("Alpha (20)", Qt::MatchExactly)[0];
        const QPoint at = f.ListTopic()->visualItemRect(alpha).center();
        QTest::mouseClick(f.ListTopic()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(f.ListTopic()->viewport(), Qt::LeftButton, {}, at);
        ClickItem(f.ListTopic(), "Delta (10)");
        Click(f.BtnAdd());
        EXPECT_EQ(f.ListBrowse()->count(), 2);
        Click(f.WriteBtn());
        EXPECT_TRUE(f.LabelStatus()->isVisible());
        EXPECT_EQ(f.LabelStatus()->text(), "Wrote sequence main");
        Click(f.CloseBtn());
    });
    Choose("ActionEditorsBrowse");
    EXPECT_EQ(Project().TopicByNumber(20)->BrowseSequence, "main:000010");
    EXPECT_EQ(Project().TopicByNumber(10)->BrowseSequence, "main:000020");
    EXPECT_TRUE(Session().Modified());
}

TEST_F(ProjectEditors, WindowsEditorOkWritesAndCancelLeaves) {
    Project().Compiler = helpproject::THelpCompiler::WinHelp16;
    const Strings windows = {"main=\"Main\",(0,0,1023,1023)", "Popup=\"Extra\""};
    Project().Windows = windows;
    Choose("ActionEditorsWindows");
    TWindowsForm& editor = actions->WindowsForm();
    ASSERT_TRUE(editor.isVisible());
    ClickItem(editor.ListWindows(), "Popup");
    Retype(editor.EditCaption(), "Changed");
    Click(editor.CancelBtn());
    EXPECT_EQ(Project().Windows, windows);
    EXPECT_FALSE(Session().Modified());

    // Looking does not change a definition; a new window is held to the scale.
    Choose("ActionEditorsWindows");
    ClickItem(editor.ListWindows(), "Popup");
    ClickItem(editor.ListWindows(), "main");
    Click(editor.BtnAdd());
    EXPECT_EQ(editor.SpinWidth()->value(), 511);
    EXPECT_TRUE(editor.CheckDefColors()->isChecked());
    EXPECT_FALSE(editor.ShapeWin()->isVisible());
    Click(editor.OkBtn());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(Project().Windows,
              (Strings{windows[0], windows[1], "new=\"\",(512,0,511,1023),0,,,0"}));
    EXPECT_TRUE(Session().Modified());
}

// The windows editor stands in the middle of the screen, the first time
// it opens as later.
TEST_F(ProjectEditors, WindowsEditorIsCentredFromTheFirstTime) {
    Project().Compiler = helpproject::THelpCompiler::WinHelp16;
    for (int time = 0; time < 2; ++time) {
        Choose("ActionEditorsWindows");
        TWindowsForm& editor = actions->WindowsForm();
        ASSERT_TRUE(editor.isVisible());
        QApplication::processEvents();
        const QPoint middle = editor.screen()->availableGeometry().center();
        const QPoint centre = editor.frameGeometry().center();
        EXPECT_LE((centre - middle).manhattanLength(), 2) << time;
        if (time == 0)
            editor.move(0, 0);
        Click(editor.CancelBtn());
    }
}

TEST_F(ProjectEditors, WindowsEditorColoursAndWizard) {
    Project().Compiler = helpproject::THelpCompiler::WinHelp16;
    Project().Windows = {"w=\"W\",(0,0,512,512),0,,,0"};
    Choose("ActionEditorsWindows");
    TWindowsForm& editor = actions->WindowsForm();
    editor.PickColor = [](std::uint32_t) { return std::optional<std::uint32_t>(0x00FF0000); };
    Click(editor.CheckDefColors());
    EXPECT_TRUE(editor.ShapeWin()->isVisible());
    EXPECT_TRUE(editor.BtnWin()->isEnabled());
    Click(editor.BtnWin());
    // The person puts the wizard in the lower right quarter of the screen:
    // it reaches the scale's end and is cut to 1023 - X by 1023 - Y.
    const QRect screen = editor.screen()->geometry();
    AnswerNext<TPositionWizardForm>([screen](TPositionWizardForm& f) {
        f.setGeometry(QRect(screen.left() + screen.width() / 2, screen.top() + screen.height() / 2,
                            screen.width() / 2, screen.height() / 2));
        Click(f.OkBtn());
    });
    Click(editor.WizardBtn());
    EXPECT_EQ(editor.SpinX()->value(), 512);
    EXPECT_EQ(editor.SpinY()->value(), 512);
    EXPECT_EQ(editor.SpinWidth()->value(), 511);
    EXPECT_EQ(editor.SpinHeight()->value(), 511);
    Click(editor.OkBtn());
    EXPECT_EQ(Project().Windows, Strings{"w=\"W\",(512,512,511,511),0,(0,0,255),(255,255,255),0"});
}

} // namespace
