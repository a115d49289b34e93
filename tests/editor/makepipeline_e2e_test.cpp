// Make from end to end: the fake WinHelp compiler and chmcmd through the
// pipeline, and each way a make can go wrong, with the window left usable,
// the temporary files gone and the error log telling this build's truth.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

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
    // The window is usable and nothing of the build is left behind: not
    // one file the build record names as compiler input is still there.
    void ExpectEndStepsRan() {
        EXPECT_TRUE(host.Enabled);
        EXPECT_FALSE(host.Busy);
        EXPECT_EQ(host.ProgressText, "");
        EXPECT_TRUE(fs::is_empty(temp)) << fs::directory_iterator(temp)->path();
        const helpproject::TBuildRecord& build = make.LastBuild();
        for (const std::string& input : build.TempFiles)
            EXPECT_FALSE(fs::exists(input)) << input;
        for (const std::string* input :
             {&build.HpjFileName, &build.RtfFileName, &build.HhpFileName, &build.ErrorLogFileName})
            EXPECT_TRUE(input->empty() || !fs::exists(*input)) << *input;
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
    EXPECT_EQ(make.LastBuild().HelpFileName, Output(".hlp").string());
    EXPECT_TRUE(make.LastBuild().ChmFileName.empty());
    ExpectEndStepsRan();
}

TEST_F(MakePipelineTest, ChmcmdBuildsACompiledHelpFileWithThisBuildsMissingImages) {
    if (editor::FindOnPath("chmcmd", std::getenv("PATH")).empty())
        GTEST_SKIP() << "chmcmd is not installed";
    Project().Compiler = helpproject::THelpCompiler::HtmlHelp;
    fs::remove(fs::path(file).parent_path() / "cup.bmp");
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
    EXPECT_TRUE(HasText(make.LastBuild().Report.MissingImages, "cup.bmp"));
    EXPECT_EQ(make.LastBuild().ChmFileName, Output(".chm").string());
    ExpectEndStepsRan();
}

// Stands in for the HTML Help compiler: notes whether the build's input is
// there when it runs, then writes the help file, or fails to start.
class TFakeHtmlHelpCompiler : public helpproject::IHtmlHelpCompiler {
public:
    bool FailToStart = false;
    bool InputThere = false;
    void Compile(const helpproject::TBrindlewovenProject&, helpproject::TBuildRecord& build,
                 const helpproject::TCompilerPaths&, helpproject::IProgramRunner&) override {
        InputThere = fs::is_regular_file(build.HhpFileName) && !build.TempFiles.empty() &&
                     std::all_of(build.TempFiles.begin(), build.TempFiles.end(),
                                 [](const std::string& f) { return fs::is_regular_file(f); });
        if (FailToStart)
            throw helpproject::EHelpCompilerError("Error running HTML Help Compiler (2)");
        platform::WriteFileAtomic(build.ChmFileName, "a compiled help file");
    }
};

// Two makes in a row: each one's record and error log list only its own
// missing pictures and broken links.
TEST_F(MakePipelineTest, EachMakeListsOnlyItsOwnFindings) {
    TFakeHtmlHelpCompiler compiler;
    make.SetHtmlHelpCompiler(&compiler);
    paths.HCHTMLSel = projecttest::FakeCompiler("fake-hcrtf"); // exists; never run
    Project().Compiler = helpproject::THelpCompiler::HtmlHelp;
    const fs::path cup = fs::path(file).parent_path() / "cup.bmp";
    const std::string picture = platform::ReadFileBytes(cup);
    fs::remove(cup);
    Project()
        .AddTopic(9000, "Dead end")
        ->SetText({"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}",
                   "See {\\uldb there}\\{linkID=99999\\}\\par", "}"});
    ASSERT_EQ(make.MakeHelpFile(false), TMakeOutcome::Built);
    EXPECT_TRUE(compiler.InputThere);
    EXPECT_TRUE(HasText(make.LastBuild().Report.MissingImages, "cup.bmp"));
    EXPECT_TRUE(HasText(make.LastBuild().Report.BrokenLinks, "99999"));
    EXPECT_TRUE(Has(make.ErrorLog(), "MISSING IMAGES:"));
    EXPECT_TRUE(Has(make.ErrorLog(), "BROKEN LINKS:"));
    ExpectEndStepsRan();

    platform::WriteFileAtomic(cup, picture);
    Project().DeleteTopic(9000);
    ASSERT_EQ(make.MakeHelpFile(false), TMakeOutcome::Built);
    EXPECT_TRUE(make.LastBuild().Report.MissingImages.empty());
    EXPECT_FALSE(HasText(make.LastBuild().Report.BrokenLinks, "99999"));
    EXPECT_FALSE(Has(make.ErrorLog(), "MISSING IMAGES:"));
    EXPECT_FALSE(HasText(make.ErrorLog(), "cup.bmp"));
    EXPECT_FALSE(HasText(make.ErrorLog(), "99999"));
    EXPECT_EQ(platform::ReadFileBytes(Output(".chm")), "a compiled help file");
    ExpectEndStepsRan();
}

// An HTML Help compiler that cannot start: the make fails and every file
// of its input, as the record names them, is gone.
TEST_F(MakePipelineTest, FailedHtmlHelpMakeLeavesNoneOfItsInput) {
    TFakeHtmlHelpCompiler compiler;
    compiler.FailToStart = true;
    make.SetHtmlHelpCompiler(&compiler);
    paths.HCHTMLSel = projecttest::FakeCompiler("fake-hcrtf"); // exists; never run
    Project().Compiler = helpproject::THelpCompiler::HtmlHelp;
    EXPECT_THROW(make.MakeHelpFile(true), helpproject::EHelpCompilerError);
    EXPECT_TRUE(compiler.InputThere);
    const helpproject::TBuildRecord& build = make.LastBuild();
    EXPECT_TRUE(build.Written);
    EXPECT_FALSE(build.HhpFileName.empty());
    EXPECT_FALSE(build.TempFiles.empty());
    ExpectEndStepsRan();
    // "Show help file" looks for the .chm this make was to produce.
    EXPECT_EQ(Project().ChmFileName, Output(".chm").string());
    EXPECT_TRUE(Project().HelpFileName.empty());
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

namespace {

// Topics 100, 101, ... all under one index keyword, and a second keyword
// with fewer.
void AddKeywordTopics(helpproject::TBrindlewovenProject& project, int count) {
    for (int i = 0; i < count; ++i) {
        auto* topic = project.AddTopic(1000 + i, "Generated " + std::to_string(i));
        topic->KKeywords = i < 3 ? "everything;few" : "everything";
        topic->SetText({"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}", "Text\\par", "}"});
    }
}

} // namespace

// A compiler past a limit is ended with its process group; the make says
// which limit and names the index keywords with the most topics.
TEST_F(MakePipelineTest, CompilerPastALimitIsStoppedAndTheLikelyCauseNamed) {
    struct Case {
        const char* mode;
        editor::TCompilerLimits limits;
        editor::TCompilerStop stop;
        const char* says;
    };
    const Case cases[] = {
        {"hang",
         {std::chrono::seconds(1), 0},
         editor::TCompilerStop::TimeLimit,
         "The help compiler did not finish within 1 second and was stopped."},
        {"hog",
         {std::chrono::seconds(0), std::uint64_t{64} << 20},
         editor::TCompilerStop::MemoryLimit,
         "The help compiler used more than 64 MB of memory and was stopped."},
    };
    AddKeywordTopics(Project(), 5);
    for (const Case& c : cases) {
        TEnvScope mode("FAKE_HCRTF_MODE", c.mode);
        make.SetCompilerLimits(c.limits);
        messenger.Records.clear();
        EXPECT_EQ(make.MakeHelpFile(true), TMakeOutcome::NotProduced) << c.mode;
        EXPECT_EQ(make.LastCompilerStop(), c.stop);
        EXPECT_FALSE(make.CompilerRunning());
        const auto errors = messenger.Texts(components::TScriptedMessenger::TRecord::Message);
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.front().rfind(c.says, 0), 0u) << errors.front();
        EXPECT_NE(errors.front().find("\"everything\" 5 topics, \"few\" 3 topics"),
                  std::string::npos)
            << errors.front();
        EXPECT_TRUE(Has(make.ErrorLog(), c.says));
        EXPECT_TRUE(viewer.Requests.empty());
        ExpectEndStepsRan();
    }
}

TEST_F(MakePipelineTest, LimitsComeFromTheEnvironment) {
    auto env = [](std::map<std::string, std::string> values) {
        return [values](const char* name) -> const char* {
            const auto it = values.find(name);
            return it == values.end() ? nullptr : it->second.c_str();
        };
    };
    const auto quiet = editor::CompilerLimitsFromEnvironment(env({}), true);
    EXPECT_EQ(quiet.Time, editor::kDefaultQuietTimeLimit);
    EXPECT_GT(quiet.MemoryBytes, 0u);
    EXPECT_LE(quiet.MemoryBytes, editor::kDefaultMemoryLimitBytes);
    EXPECT_EQ(editor::CompilerLimitsFromEnvironment(env({}), false).Time.count(), 0);
    const auto set = editor::CompilerLimitsFromEnvironment(
        env({{"BRINDLE_COMPILER_TIME_LIMIT", "90"}, {"BRINDLE_COMPILER_MEMORY_LIMIT", "0"}}), true);
    EXPECT_EQ(set.Time, std::chrono::seconds(90));
    EXPECT_EQ(set.MemoryBytes, 0u);
    const auto bad = editor::CompilerLimitsFromEnvironment(
        env({{"BRINDLE_COMPILER_TIME_LIMIT", "soon"}, {"BRINDLE_COMPILER_MEMORY_LIMIT", "-5"}}),
        true);
    EXPECT_EQ(bad.Time, quiet.Time);
    EXPECT_EQ(bad.MemoryBytes, quiet.MemoryBytes);
}

// chmcmd runs out of memory with a keyword of very many topics: the make
// warns before it compiles. A fake stands in for chmcmd.
TEST_F(MakePipelineTest, KeywordPastChmcmdsLimitIsWarnedOfBeforeCompiling) {
    const fs::path bin = scratch.Path() / "bin";
    fs::create_directories(bin);
    fs::copy_file(projecttest::FakeCompiler("fake-hcrtf"), bin / "chmcmd");
    fs::copy_file(projecttest::FakeCompiler("fakecommon.sh"), bin / "fakecommon.sh");
    paths.HCHTMLSel = (bin / "chmcmd").string();
    Project().Compiler = helpproject::THelpCompiler::HtmlHelp;
    AddKeywordTopics(Project(), static_cast<int>(editor::kChmcmdKeywordTopicLimit));
    make.MakeHelpFile(false);
    auto warnings = [&] {
        std::vector<std::string> found;
        for (const auto& record : messenger.Records)
            if (record.Icon == components::TMessageKind::Warning &&
                record.Text.find("runs out of memory") != std::string::npos)
                found.push_back(record.Text);
        return found;
    };
    EXPECT_TRUE(warnings().empty()); // at the limit: no warning
    Project().AddTopic(5000, "One more")->KKeywords = "everything";
    messenger.Records.clear();
    make.MakeHelpFile(false);
    ASSERT_EQ(warnings().size(), 1u);
    EXPECT_EQ(warnings()[0].rfind("The index keyword \"everything\" lists 241 topics.", 0), 0u)
        << warnings()[0];
}
