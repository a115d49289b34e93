// The Project menu in the main window: Make through the menu fills and shows
// the error log and leaves the window usable; "Go to topic" in the log moves
// to the compiled topic; Project Options from Make's compiler question.
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "components/applocation.h"
#include "components/ui/messenger_support.h"
#include "components/ui/richeredit.h"
#include "editor/ui/dialogs/formoptions.h"
#include "editor/ui/errorlogpanel.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/projectactions.h"
#include "form_support.h"
#include "helpproject/bitmapfolders.h"
#include "helpproject/brindlewovenproject.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "unitparser/parserdialogmodel.h"
#include "unitparser/ui/parserform.h"

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

// Open Delphi Unit: the parser dialog's OK writes the topics from the
// person's choices at the next thousand, Cancel adds nothing, and a unit that
// fails to parse shows the parser's message and adds nothing either.
TEST_F(ProjectActionsTest, DelphiUnitGeneratesTheChosenTopicsAtTheNextThousand) {
    helpproject::TBrindlewovenProject& project = form->Context().Project();
    const std::size_t topicsBefore = project.TopicsByNumber().size();
    const std::int32_t first = editor::NextThousandAbove(project);
    std::string unit = BW_TEST_DATA "/unitparser/fptimer.pp";
    std::vector<std::string> titles;
    form->ProjectActions().SetFileDialog([&](const editor::TFileDialogSpec& spec, bool) {
        titles.push_back(spec.Title);
        return std::optional<std::string>(unit);
    });
    QAction* command = form->Actions().Action("ActionProjectDelphiUnit");
    ASSERT_TRUE(command->isEnabled());

    AnswerNext<unitparser::ui::TParserForm>(
        [](unitparser::ui::TParserForm& dialog) { dialog.CancelBtn()->click(); });
    command->trigger();
    EXPECT_EQ(project.TopicsByNumber().size(), topicsBefore);
    EXPECT_FALSE(form->Context().Session().Modified());

    unit = BW_TEST_DATA "/unitparser/gstack.pp";
    command->trigger();
    EXPECT_EQ(messenger.Texts(components::TScriptedMessenger::TRecord::Message),
              (std::vector<std::string>{BW_TEST_DATA "/unitparser/gstack.pp: Error in line 22: "
                                                     "'=' expected in type declaration"}));
    EXPECT_EQ(project.TopicsByNumber().size(), topicsBefore);
    EXPECT_FALSE(form->Context().Session().Modified());

    unit = BW_TEST_DATA "/unitparser/fptimer.pp";
    AnswerNext<unitparser::ui::TParserForm>([](unitparser::ui::TParserForm& dialog) {
        // Only TFPTimerDriver, without its "See also".
        dialog.Model().SetObjInclude(false);
        dialog.Model().ChangeTab(1);
        dialog.Model().SetObjInclude(false);
        dialog.Model().ChangeTab(2);
        dialog.Model().SetObjSeeAlso(false);
        dialog.OkBtn()->click();
    });
    command->trigger();
    EXPECT_EQ(titles, std::vector<std::string>(3, "Open Delphi unit"));
    ASSERT_NE(project.FindTopic(first), nullptr);
    EXPECT_EQ(project.FindTopic(first)->Title, "fptimer unit");
    EXPECT_EQ(project.FindTopic(first + 10)->Title, "TFPTimerDriver class");
    EXPECT_EQ(project.FindTopic(first + 11), nullptr); // no "See also"
    EXPECT_EQ(project.FindTopic(first + 12)->Title, "TFPTimerDriver - Properties");
    EXPECT_EQ(form->Context().Session().CurrentTopic()->Number, first);
    EXPECT_EQ(project.HelpFileKind, 112);
    EXPECT_TRUE(form->Context().Session().Modified());
    // The member lists' pictures are found in the program's folder.
    const auto folders = helpproject::BitmapFolderEntries(project.BitmapPaths);
    EXPECT_NE(std::find(folders.begin(), folders.end(),
                        platform::ExcludeTrailingSeparator(components::AppLocation().AppFolder)),
              folders.end())
        << project.BitmapPaths;
    EXPECT_GT(project.TopicsByNumber().size(), topicsBefore);
    // "Parsing unit..." and the hour-glass are gone again.
    EXPECT_FALSE(form->findChild<QWidget*>("ProgressPanel")->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
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

namespace editortest {
namespace {

TEST(QtFilterText, EachFilterShowsItsPatternOnce) {
    struct Case {
        const char* name;
        std::string filter;
        QString qt;
    };
    const Case cases[] = {
        {"bare names", "Help Projects|*.hpj|All files|*.*",
         "Help Projects (*.hpj);;All files (*.*)"},
        {"names that show the pattern", "Help Projects (*.hpj)|*.hpj|All files (*.*)|*.*",
         "Help Projects (*.hpj);;All files (*.*)"},
        {"several patterns", "Pictures (*.bmp;*.shg)|*.bmp;*.shg|Text|*.txt;*.rtf",
         "Pictures (*.bmp *.shg);;Text (*.txt *.rtf)"},
        {"a name in brackets of its own", "Notes (old)|*.txt", "Notes (old) (*.txt)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(editor::ui::QtFilter(c.filter), c.qt);
    }
}

} // namespace
} // namespace editortest
