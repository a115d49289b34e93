// The command line parsed by position, the offscreen decision, and its run
// over the project commands and the make pipeline in a quiet batch.
#include <gtest/gtest.h>

#include <fstream>

#include <filesystem>
#include <sstream>

#include "editor/commandline.h"
#include "editor/compilersearch.h"
#include "editor/makepipeline.h"
#include "helpproject/editingsession.h"
#include "helpproject/textstylemacro.h"
#include "platform/fileio.h"
#include "platform/tempfolder.h"
#include "projecthost_support.h"

namespace {

namespace fs = std::filesystem;
using editor::ParseCommandLine;
using editor::TCommandLine;

struct ParseCase {
    std::vector<std::string> args;
    bool run;
    bool web;
    std::string output;
    std::optional<int> compiler;
    std::optional<std::string> tags;
    bool quiet;
};

TEST(CommandLineParse, PositionsDecideEverySwitch) {
    const ParseCase cases[] = {
        {{}, false, false, "", {}, {}, false},
        {{"p.bwv"}, false, false, "", {}, {}, false},
        {{"p.bwv", "/C32", "/bRELEASE", "/Q"}, true, false, "", 1, "RELEASE", true},
        // Without a /c switch neither /b nor /q is looked at.
        {{"p.bwv", "/bX", "/q"}, false, false, "", {}, {}, false},
        {{"p.bwv", "/cfoo"}, true, false, "", {}, {}, false},
        {{"p.bwv", "/c16", "/q"}, true, false, "", 0, {}, true},
        {{"p.bwv", "/chtml", "/q"}, true, false, "", 2, {}, true},
        // /q stands where /b is looked for; being two characters it is no
        // /b switch, and it is then the quiet switch; /bX is ignored.
        {{"p.bwv", "/c32", "/q", "/bX"}, true, false, "", 1, {}, true},
        // A bare /b is no switch; then it is not /q either.
        {{"p.bwv", "/c32", "/b", "/q"}, true, false, "", 1, {}, false},
        {{"p.bwv", "/cweb", "out/index.htm", "/bNet", "/q"},
         true,
         true,
         "out/index.htm",
         {},
         "Net",
         true},
        {{"p.bwv", "/cweb"}, true, true, "", {}, {}, false},
        // The quiet switch where the output file belongs: no output file,
        // and the run is still quiet.
        {{"p.bwv", "/cweb", "/q"}, true, true, "", {}, {}, true},
        {{"p.bwv", "/c32", "/bA;B", "-q"}, true, false, "", 1, "A;B", false},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const TCommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.ProjectFile, c.args.empty() ? "" : c.args[0]);
        EXPECT_EQ(line.Run, c.run);
        EXPECT_EQ(line.WebHelp, c.web);
        EXPECT_EQ(line.WebOutputFile, c.output);
        EXPECT_EQ(line.Compiler ? std::optional<int>(static_cast<int>(*line.Compiler))
                                : std::nullopt,
                  c.compiler);
        EXPECT_EQ(line.BuildTags, c.tags);
        EXPECT_EQ(line.Quiet, c.quiet);
    }
}

class BatchRunTest : public ::testing::Test {
protected:
    platform::TempFolder scratch{"bwcmd"};
    helpproject::TEditingSession session;
    helpproject::TTextStyleList styles;
    helpproject::TCompilerPaths paths;
    editor::TEditorSettings settings;
    std::ostringstream err;

    editor::TCommandLineResult Run(const std::vector<std::string>& args) {
        return editor::RunBatchCommandLine(ParseCommandLine(args), session, &styles, paths,
                                           settings, err);
    }
};

// A damaged shortcut on the command line reports its own fault, not a
// missing project.
TEST_F(BatchRunTest, DamagedShortcutSaysWhatIsWrongWithIt) {
    const std::string link = (scratch.Path() / "project.lnk").string();
    platform::WriteFileAtomic(link, std::string("L\0\0\0broken", 10));
    const auto result = Run({link, "/c32", "/q"});
    EXPECT_EQ(result.ExitCode, editor::kExitBadInput);
    EXPECT_NE(err.str().find("Cannot open the shortcut " + link + ": "), std::string::npos)
        << err.str();
    EXPECT_EQ(err.str().find("Cannot find the project"), std::string::npos) << err.str();
}

TEST_F(BatchRunTest, MissingProjectIsBadInputNamedAsTyped) {
    const auto result = Run({"no/such.bwv", "/c32", "/q"});
    EXPECT_TRUE(result.Quit);
    EXPECT_EQ(result.ExitCode, editor::kExitBadInput);
    EXPECT_NE(err.str().find("Cannot find the project you are trying to open: no/such.bwv"),
              std::string::npos);
}

TEST_F(BatchRunTest, WebHelpWithoutOutputFileIsBadInputWithProjectOpen) {
    const std::string project = projecttest::CopySample(scratch.Path());
    const auto result = Run({project, "/cweb", "/q"});
    EXPECT_EQ(result.ExitCode, editor::kExitBadInput);
    EXPECT_TRUE(result.Quit);
    EXPECT_EQ(session.Project().FileName, project);
    EXPECT_NE(err.str().find("No web help output file specified on the command line"),
              std::string::npos);
}

TEST_F(BatchRunTest, OnlyOpeningStaysOpen) {
    const std::string project = projecttest::CopySample(scratch.Path());
    const auto result = Run({project, "/bX", "/q"});
    EXPECT_FALSE(result.Quit);
    EXPECT_EQ(result.ExitCode, editor::kExitBuilt);
    EXPECT_EQ(session.Project().FileName, project);
}

TEST_F(BatchRunTest, MissingCompilerNeedsAPersonAndShowsWhy) {
    const std::string project = projecttest::CopySample(scratch.Path());
    projecttest::TEnvScope path("PATH", scratch.Path().string()); // no chmcmd
    const auto result = Run({project, "/chtml", "/q"});
    EXPECT_TRUE(result.Quit);
    EXPECT_EQ(result.ExitCode, editor::kExitNeededPerson);
    EXPECT_NE(err.str().find("Before your help project can be compiled"), std::string::npos);
}

TEST_F(BatchRunTest, WebHelpExportSucceedsWithBuildTags) {
    const std::string project = projecttest::CopySample(scratch.Path());
    const std::string output = (scratch.Path() / "web/deep/index.htm").string();
    const auto result = Run({project, "/cweb", output, "/bPro", "/q"});
    EXPECT_EQ(result.ExitCode, editor::kExitBuilt) << err.str();
    EXPECT_TRUE(fs::exists(output));
    EXPECT_TRUE(session.Project().WebUseBuildTags);
    EXPECT_EQ(session.Project().BuildTags, "Pro");
}

TEST_F(BatchRunTest, FailedCompileIsBuildFailed) {
    const std::string project = projecttest::CopySample(scratch.Path());
    paths.HC95Sel = projecttest::FakeCompiler("fake-hcrtf");
    projecttest::TEnvScope mode("FAKE_HCRTF_MODE", "fail");
    const auto result = Run({project, "/c32", "/q"});
    EXPECT_EQ(result.ExitCode, editor::kExitBuildFailed) << err.str();
    EXPECT_NE(err.str().find("The help file was not created."), std::string::npos);
    // The Error Log the message points to follows it: a script sees nothing else.
    const std::string text = err.str();
    const auto compilerLine = text.find("HC1001: Error: the fake compiler was told to fail.");
    ASSERT_NE(compilerLine, std::string::npos) << text;
    EXPECT_GT(compilerLine, text.find("The help file was not created."));
}

// A failing HTML Help make: chmcmd's output, the missing images and the
// broken links all reach stderr after the message.
TEST_F(BatchRunTest, FailedQuietMakeWritesItsErrorLog) {
    const std::string project = projecttest::CopySample(scratch.Path());
    fs::remove(fs::path(project).parent_path() / "cup.bmp");
    {
        // The glossary link points at a topic the project does not hold.
        std::string text = platform::ReadFileBytes(project);
        const auto link = text.find("\\{linkID=110\\}");
        ASSERT_NE(link, std::string::npos);
        text.replace(link, 15, "\\{linkID=9876\\}");
        platform::WriteFileAtomic(project, text);
    }
    const fs::path bin = scratch.Path() / "bin";
    fs::create_directories(bin);
    {
        std::ofstream script(bin / "chmcmd");
        script << "#!/bin/sh\necho 'Error: the stand-in chmcmd fails'\nexit 1\n";
    }
    fs::permissions(bin / "chmcmd", fs::perms::owner_all);
    paths.HCHTMLSel = (bin / "chmcmd").string();
    const auto result = Run({project, "/chtml", "/q"});
    EXPECT_EQ(result.ExitCode, editor::kExitBuildFailed) << err.str();
    const std::string text = err.str();
    const auto message = text.find("The help file was not created.");
    ASSERT_NE(message, std::string::npos) << text;
    const auto compilerLine = text.find("Error: the stand-in chmcmd fails\n", message);
    ASSERT_NE(compilerLine, std::string::npos) << text;
    const auto images = text.find("MISSING IMAGES:\n", compilerLine);
    ASSERT_NE(images, std::string::npos) << text;
    EXPECT_NE(text.find("cup.bmp", images), std::string::npos) << text;
    const auto links = text.find("BROKEN LINKS:\n", compilerLine);
    ASSERT_NE(links, std::string::npos) << text;
    EXPECT_NE(text.find("9876", links), std::string::npos) << text;
}

} // namespace

namespace {

TEST_F(BatchRunTest, RelativeProjectNameIsTakenFromTheCurrentFolder) {
    if (editor::FindOnPath("chmcmd", std::getenv("PATH")).empty())
        GTEST_SKIP() << "chmcmd is not installed";
    projecttest::CopySample(scratch.Path() / "rel");
    const fs::path before = fs::current_path();
    fs::current_path(scratch.Path());
    const auto result = Run({"rel/sample.bwv", "/chtml", "/q"});
    fs::current_path(before);
    EXPECT_EQ(result.ExitCode, editor::kExitBuilt) << err.str();
    EXPECT_GT(fs::file_size(scratch.Path() / "rel" / "sample.chm"), 0u);
}

} // namespace

// Every run that names /q is settled from its arguments alone: it runs
// quietly only when complete and in order, and is refused otherwise. A run
// without /q opens the window, unless it holds a switch the program does
// not know and there is no display to show the window that would ignore it.
TEST(CommandLineDecision, QuietRunsAreSettledFromTheArgumentsAlone) {
    using editor::TRunMode;
    struct Case {
        std::vector<std::string> args;
        bool display;
        TRunMode mode;
        const char* says; // the start of the refusal
    } cases[] = {
        {{"p.bwv", "/chtml", "/q"}, false, TRunMode::Quiet, ""},
        {{"p.bwv", "/CHTML", "/Q"}, true, TRunMode::Quiet, ""},
        {{"p.bwv", "/c32", "/q", "/bX"}, false, TRunMode::Quiet, ""}, // /bX stands past /q
        {{"p.bwv", "/c32", "/q", "extra.bwv"}, false, TRunMode::Quiet, ""},
        {{"p.bwv", "/cfoo", "/q"}, false, TRunMode::Quiet, ""}, // the project's own compiler
        {{"p.bwv", "/cweb", "/tmp/out/index.htm", "/bPro", "/q"}, false, TRunMode::Quiet, ""},
        {{"/tmp/projects/p.bwv", "/c32", "/Q"}, false, TRunMode::Quiet, ""},
        {{"/tmp", "/c32", "/q"}, false, TRunMode::Quiet, ""}, // an existing folder is a path
        {{"/q"}, false, TRunMode::Refused, "No project file"},
        {{"/Q", "p.bwv", "/chtml"}, true, TRunMode::Refused, "No project file"},
        {{"p.bwv", "/q"}, true, TRunMode::Refused, "Nothing to make"},
        {{"p.bwv", "/q", "/cweb"}, false, TRunMode::Refused, "Nothing to make"},
        {{"p.bwv", "/bX", "/q"}, true, TRunMode::Refused, "Nothing to make"},
        {{"p.bwv", "/q", "/chtml", "extra.bwv"}, false, TRunMode::Refused, "Nothing to make"},
        {{"p.bwv", "/chtml", "extra.bwv", "/q"}, true, TRunMode::Refused, "/q is out of its place"},
        {{"p.bwv", "/c32", "/b", "/q"}, false, TRunMode::Refused, "/q is out of its place"},
        {{"p.bwv", "/cweb", "/q"}, true, TRunMode::Refused, "No web help output file"},
        {{"p.bwv", "/xhtml", "/q"}, true, TRunMode::Refused, "Unknown switch /xhtml."},
        {{"p.bwv", "/xhtml"}, false, TRunMode::Refused, "Unknown switch /xhtml."},
        {{"/xhtml"}, false, TRunMode::Refused, "Unknown switch /xhtml."},
        {{"p.bwv", "/xhtml"}, true, TRunMode::Window, ""}, // the window runs and ignores it
        {{"p.bwv", "/chtml"}, false, TRunMode::Window, ""},
        {{"p.bwv", "/bX"}, true, TRunMode::Window, ""},
        {{}, false, TRunMode::Window, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        auto getenv = [&](const char* name) -> const char* {
            return c.display && std::string(name) == "DISPLAY" ? ":0" : nullptr;
        };
        const editor::TRunDecision decision = editor::DecideRun(c.args, getenv);
        EXPECT_EQ(decision.Mode, c.mode) << decision.Message;
        EXPECT_EQ(decision.Message.rfind(c.says, 0), 0u) << decision.Message;
        EXPECT_EQ(decision.Message.empty(), c.mode != TRunMode::Refused);
    }
}
