// Make from end to end: the fake WinHelp compiler and chmcmd through the
// pipeline, and each way a make can go wrong, with the window left usable,
// the temporary files gone and the error log telling this build's truth.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "components/scriptedmessenger.h"
#include "editor/compilersearch.h"
#include "editor/makepipeline.h"
#include "helpproject/helputils.h"
#include "helpproject/textstylemacro.h"
#include "platform/fileio.h"
#include "platform/tempfolder.h"
#include "projecthost_support.h"

namespace {

namespace fs = std::filesystem;
using editor::TMakeOutcome;
using projecttest::TEnvScope;

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HasText(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

// Asks to stop once the make has pumped events a few times.
class TImpatientMessenger : public components::TScriptedMessenger {
public:
    bool Impatient = false;
    void ProcessEvents() override {
        TScriptedMessenger::ProcessEvents();
        if (Impatient && EventPumps > 10)
            RequestAbort();
    }
};

class MakePipelineTest : public ::testing::Test {
protected:
    platform::TempFolder scratch{"bwmaketest"};
    fs::path temp = scratch.Path() / "tmp";
    std::string file = projecttest::CopySample(scratch.Path() / "project");
    helpproject::TEditingSession session;
    TImpatientMessenger messenger;
    projecttest::TRecordingHost host;
    projecttest::TRecordingViewer viewer;
    helpproject::TTextStyleList styles;
    helpproject::TCompilerPaths paths;
    editor::TEditorSettings settings;
    editor::TProjectCommands commands{session, messenger, host, &styles};
    editor::TMakePipeline make{commands, host, paths, settings};

    void SetUp() override {
        fs::create_directories(temp);
        make.SetTempParent(temp.string());
        make.SetViewer(&viewer);
        paths.HC95Sel = projecttest::FakeCompiler("fake-hcrtf");
        commands.OpenProject(file);
        Project().Compiler = helpproject::THelpCompiler::WinHelp32;
        Project().OutputFolder.clear();
    }
    helpproject::TBrindlewovenProject& Project() { return session.Project(); }
    fs::path Output(const std::string& ext) const { return fs::path(file).replace_extension(ext); }
    // The window is usable and nothing of the build is left behind.
    void ExpectEndStepsRan() {
        EXPECT_TRUE(host.Enabled);
        EXPECT_FALSE(host.Busy);
        EXPECT_EQ(host.ProgressText, "");
        EXPECT_TRUE(fs::is_empty(temp)) << fs::directory_iterator(temp)->path();
        EXPECT_TRUE(Project().TempFiles.empty());
    }
    std::vector<std::string> Questions() const {
        return messenger.Texts(components::TScriptedMessenger::TRecord::Question);
    }
};

TEST_F(MakePipelineTest, FakeWinHelpCompilerBuildsAndShowsTheHelpFile) {
    EXPECT_EQ(make.MakeHelpFile(true), TMakeOutcome::Built);
    EXPECT_GT(fs::file_size(Output(".hlp")), 0u);
    EXPECT_TRUE(host.EverDisabled);
    EXPECT_TRUE(HasText(host.ErrorLog, "Fake help compiler (32-bit)"));
    EXPECT_EQ(host.ErrorLog, make.ErrorLog());
    ASSERT_EQ(viewer.Requests.size(), 1u);
    EXPECT_EQ(viewer.Requests[0].Kind, "hlp");
    EXPECT_TRUE(Has(host.ProgressTexts, "Running help compiler..."));
    EXPECT_TRUE(Has(host.ProgressTexts, "Starting WinHelp..."));
    ExpectEndStepsRan();
}

TEST_F(MakePipelineTest, ChmcmdBuildsACompiledHelpFileWithThisBuildsMissingImages) {
    if (editor::FindOnPath("chmcmd", std::getenv("PATH")).empty())
        GTEST_SKIP() << "chmcmd is not installed";
    Project().Compiler = helpproject::THelpCompiler::HtmlHelp;
    fs::remove(fs::path(file).parent_path() / "cup.bmp");
    Project().MissingImages = {"stale.bmp"};
    Project().BrokenLinks = {"stale link"};
    EXPECT_EQ(make.MakeHelpFile(true), TMakeOutcome::Built)
        << ::testing::PrintToString(host.ErrorLog);
    EXPECT_GT(fs::file_size(Output(".chm")), 0u);
    ASSERT_EQ(viewer.Requests.size(), 1u);
    EXPECT_EQ(viewer.Requests[0].Kind, "chm");
    const auto& log = make.ErrorLog();
    const auto heading = std::find(log.begin(), log.end(), "MISSING IMAGES:");
    ASSERT_NE(heading, log.end());
    EXPECT_EQ(*(heading - 1), "");
    EXPECT_TRUE(HasText(log, "cup.bmp"));
    EXPECT_FALSE(HasText(log, "stale"));
    EXPECT_FALSE(Has(Project().MissingImages, "stale.bmp"));
    ExpectEndStepsRan();
}

TEST_F(MakePipelineTest, CompilerThatCannotStartLeavesTheWindowUsableAndNoTempFiles) {
    const fs::path notProgram = scratch.Path() / "HCRTF.EXE";
    platform::WriteFileAtomic(notProgram, "not a program");
    paths.HC95Sel = notProgram.string();
    EXPECT_THROW(make.MakeHelpFile(true), helpproject::EHelpCompilerError);
    ExpectEndStepsRan();
    EXPECT_GE(host.Shown, 1);
}

TEST_F(MakePipelineTest, WriterErrorLeavesTheWindowUsableAndNoTempFiles) {
    // Build tags that leave no topic: the writer refuses the build.
    for (const auto& topic : Project().Topics())
        topic->BuildTag = "Lite";
    Project().BuildTags = "Pro";
    EXPECT_ANY_THROW(make.MakeHelpFile(true));
    ExpectEndStepsRan();
}

TEST_F(MakePipelineTest, CompilerValuesOutsideTheKnownOnesAreNotUsable) {
    for (int value : {-1, 3, 42, -7}) {
        SCOPED_TRACE(value);
        Project().Compiler = static_cast<helpproject::THelpCompiler>(value);
        messenger.Records.clear();
        EXPECT_EQ(make.MakeHelpFile(true), TMakeOutcome::Stopped);
        ASSERT_FALSE(Questions().empty());
        EXPECT_EQ(Questions().front().rfind("Before your help project can be compiled", 0), 0u);
    }
    // OK opens Project Options; choosing the 32-bit compiler there goes on.
    Project().Compiler = static_cast<helpproject::THelpCompiler>(9);
    messenger.QueueAnswer(components::mrOk);
    host.OnOptions = [this] { Project().Compiler = helpproject::THelpCompiler::WinHelp32; };
    EXPECT_EQ(make.MakeHelpFile(false), TMakeOutcome::Built);
    EXPECT_EQ(host.OptionsOpened, 1);
    EXPECT_TRUE(viewer.Requests.empty()); // no result shown when asked not to
}

TEST_F(MakePipelineTest, CancelledOptionsEndTheMakeSilently) {
    Project().Compiler = helpproject::THelpCompiler::None;
    messenger.QueueAnswer(components::mrOk);
    EXPECT_THROW(make.MakeHelpFile(true), components::EAbort);
    EXPECT_EQ(host.OptionsOpened, 1);
}

TEST_F(MakePipelineTest, MissingErrorLogShowsALineInsteadOfFailing) {
    TEnvScope mode("FAKE_HCRTF_MODE", "empty");
    EXPECT_EQ(make.MakeHelpFile(true), TMakeOutcome::NotProduced);
    EXPECT_TRUE(Has(make.ErrorLog(), editor::kNoCompilerLog));
    ExpectEndStepsRan();
}

TEST_F(MakePipelineTest, FailedCompileNeverOpensTheOldHelpFile) {
    platform::WriteFileAtomic(Output(".hlp"), "an older help file");
    TEnvScope mode("FAKE_HCRTF_MODE", "fail");
    EXPECT_EQ(make.MakeHelpFile(true), TMakeOutcome::NotProduced);
    EXPECT_TRUE(viewer.Requests.empty());
    ASSERT_FALSE(Questions().empty());
    EXPECT_EQ(Questions().back().rfind("The help file was not created.", 0), 0u);
    EXPECT_TRUE(HasText(make.ErrorLog(), "HC1001"));
    EXPECT_EQ(platform::ReadFileBytes(Output(".hlp")), "an older help file");
    ExpectEndStepsRan();
}

TEST_F(MakePipelineTest, CancelEndsAHungCompiler) {
    TEnvScope mode("FAKE_HCRTF_MODE", "hang");
    messenger.Impatient = true;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(make.MakeHelpFile(true), TMakeOutcome::NotProduced);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_FALSE(make.CompilerRunning());
    ExpectEndStepsRan();
}

TEST_F(MakePipelineTest, GoToTopicCountsOnlyTheTopicsTheBuildCompiled) {
    auto& topics = Project().Topics();
    ASSERT_GE(topics.size(), 3u);
    for (const auto& topic : topics)
        topic->BuildTag.clear();
    topics[0]->BuildTag = "Lite";
    Project().BuildTags = "Pro";
    ASSERT_EQ(make.MakeHelpFile(false), TMakeOutcome::Built);
    ASSERT_EQ(make.CompiledTopics().size(), topics.size() - 1);
    EXPECT_TRUE(make.GoToErrorTopic("1"));
    EXPECT_EQ(session.CurrentTopic()->Number, topics[1]->Number);
    for (const std::string& text :
         std::vector<std::string>{"0", "", "x1", std::to_string(topics.size())}) {
        messenger.Records.clear();
        EXPECT_FALSE(make.GoToErrorTopic(text)) << text;
        ASSERT_EQ(messenger.Records.size(), 1u);
        EXPECT_EQ(messenger.Records[0].Caption, "Error Log - Go to Topic");
    }
}

TEST_F(MakePipelineTest, HashInTheProjectPathStopsBeforeCompiling) {
    const std::string hashed = projecttest::CopySample(scratch.Path() / "a#b");
    commands.OpenProject(hashed);
    Project().Compiler = helpproject::THelpCompiler::HtmlHelp;
    paths.HCHTMLSel = projecttest::FakeCompiler("fake-hcrtf"); // exists; never run
    EXPECT_EQ(make.MakeHelpFile(true), TMakeOutcome::Stopped);
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Text.rfind("The folder you saved your Brindlewoven project", 0),
              0u);
    ExpectEndStepsRan();
}

TEST_F(MakePipelineTest, NeverSavedProjectAsksForANameAndCancelEndsTheMake) {
    commands.NewProject();
    Project().Compiler = helpproject::THelpCompiler::WinHelp32;
    EXPECT_THROW(make.MakeHelpFile(true), components::EAbort);
    EXPECT_EQ(host.DialogTitles.back(), "Save Brindlewoven project");
}

} // namespace
