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

#include "components/ui/richeredit.h"
#include "editor/ui/dialogs/formoptions.h"
#include "editor/ui/errorlogpanel.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/projectactions.h"
#include "form_support.h"
#include "helpproject/brindlewovenproject.h"
#include "platform/fileio.h"

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
        form->Context().Project().Compiler = helpproject::THelpCompiler::WinHelp32;
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
    form->Context().Project().Compiler = helpproject::THelpCompiler::None;
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

namespace editortest {
namespace {

// After a topic that cannot be shown (RTF nested too deeply) is opened, the
// editor holds neither the old project's text nor anything that typing and
// F2 could store as the topic's: its own text survives the save.
TEST_F(ProjectActionsTest, TopicThatCannotBeShownKeepsItsTextThroughTypingAndSave) {
    std::string bytes = platform::ReadFileBytes(file);
    const std::size_t header = bytes.find("\r\n{\\rtf");
    ASSERT_NE(header, std::string::npos);
    const std::size_t body = bytes.find("\r\n", header + 2) + 2;
    bytes.insert(body, std::string(1100, '{') + "deep" + std::string(1100, '}') + "\\par\r\n");
    const std::size_t countStart = bytes.rfind("\r\n", header - 1) + 2;
    const int lines = std::stoi(bytes.substr(countStart, header - countStart));
    bytes.replace(countStart, header - countStart, std::to_string(lines + 1));
    const fs::path deep = folder / "deep.bwv";
    platform::WriteFileAtomic(deep, bytes);
    const helpproject::TStringList before =
        helpproject::TBrindlewovenProject::Load(deep.string(), nullptr)->Topics().front()->Text;

    ASSERT_NE(EditorText(*form).find("Quillmoor"), std::string::npos); // the sample's topic
    form->Context().Run([&] { form->ProjectActions().OpenProject(deep.string()); });
    ASSERT_EQ(form->Context().Session().CurrentTopic()->Text, before);
    EXPECT_EQ(EditorText(*form).find("Quillmoor"), std::string::npos);
    EXPECT_EQ(EditorText(*form).rfind(std::string(editor::kTextNotShown), 0), 0u);
    EXPECT_TRUE(form->RichEdit().isReadOnly());

    form->RichEdit().setFocus();
    QTest::keyClicks(&form->RichEdit(), "typed over it");
    form->Actions().Action("ActionProjectSave")->trigger();
    const auto saved = helpproject::TBrindlewovenProject::Load(deep.string(), nullptr);
    EXPECT_EQ(saved->Topics().front()->Text, before);
    EXPECT_EQ(saved->Topics().front()->Number, form->Context().Session().CurrentTopic()->Number);
}

} // namespace
} // namespace editortest
