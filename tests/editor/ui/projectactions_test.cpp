// The Project menu in the main window: Make through the menu fills and shows
// the error log and leaves the window usable; "Go to topic" in the log moves
// to the compiled topic; Project Options from Make's compiler question.
#include <QAction>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "editor/ui/dialogs/formoptions.h"
#include "editor/ui/errorlogpanel.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/projectactions.h"
#include "form_support.h"

namespace editortest {
namespace {

namespace fs = std::filesystem;

class ProjectActionsTest : public FormFixture {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("bw_actions_" + std::to_string(QCoreApplication::applicationPid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        file = folder / "sample.bwv";
        fs::copy_file(fs::path(BW_SOURCE_DIR) / "examples/sample/sample.bwv", file);
        MakeForm();
        form->ProjectActions().OpenProject(file.string());
        form->Context().Project().Compiler = 1;
        form->Context().CompilerPaths().HC95Sel = BW_SOURCE_DIR "/tests/tools/fakes/fake-hcrtf";
    }
    void TearDown() override {
        form.reset();
        fs::remove_all(folder);
    }
    fs::path folder;
    fs::path file;
};

TEST_F(ProjectActionsTest, MakeFromTheMenuFillsAndShowsTheErrorLog) {
    ASSERT_TRUE(form->PanelHCError()->isHidden());
    form->Actions().Action("ActionProjectMake")->trigger();
    EXPECT_TRUE(fs::exists(fs::path(file).replace_extension(".hlp")));
    EXPECT_FALSE(form->PanelHCError()->isHidden());
    EXPECT_TRUE(form->MemoHCError()->toPlainText().contains("Fake help compiler (32-bit)"));
    EXPECT_TRUE(form->menuBar()->isEnabled());
    EXPECT_TRUE(form->centralWidget()->isEnabled());
    // The progress strip sits on the editor and is gone once the make ends.
    EXPECT_EQ(form->findChild<QWidget*>("ProgressPanel")->parentWidget(), form->centralWidget());
    EXPECT_EQ(form->findChild<QWidget*>("ProgressPanel")->isVisible(), false);
    // The viewer is not set up in the test registry: said, not fatal.
    EXPECT_NE(messenger.Texts(components::TScriptedMessenger::TRecord::Message).size(), 0u);
}

// The caption names the project by its help title, not its file; a new
// project has none.
TEST_F(ProjectActionsTest, CaptionShowsTheHelpTitle) {
    EXPECT_EQ(form->windowTitle(), "Brindlewoven - Quillmoor Tea Timer Help");
    form->Actions().Action("ActionProjectNew")->trigger();
    EXPECT_EQ(form->windowTitle(), "Brindlewoven");
}

TEST_F(ProjectActionsTest, GoToTopicInTheLogMovesToTheCompiledTopic) {
    form->Actions().Action("ActionProjectMake")->trigger();
    auto& panel = form->ErrorLogPanel();
    QTest::keyClicks(panel.TopicEdit(), "2");
    QTest::mouseClick(panel.GoButton(), Qt::LeftButton);
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Number,
              form->Context().Project().Topics()[1]->Number);
}

TEST_F(ProjectActionsTest, MakeWithoutACompilerOpensOptionsAndCancelEndsQuietly) {
    form->Context().Project().Compiler = -1;
    form->Context().CompilerPaths().HCHTMLSel = "/bin/sh"; // no search when the dialog opens
    messenger.QueueAnswer(components::mrOk);               // "Help Compiler Needed": OK
    QTimer::singleShot(0, [this] { form->ProjectActions().OptionsForm().reject(); });
    form->Actions().Action("ActionProjectMake")->trigger();
    EXPECT_EQ(messenger.Records.size(), 1u); // the question only: the cancel is silent
    EXPECT_FALSE(fs::exists(fs::path(file).replace_extension(".hlp")));
    EXPECT_TRUE(form->menuBar()->isEnabled());
}

} // namespace
} // namespace editortest
