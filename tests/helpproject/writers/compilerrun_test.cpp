// Compiler runs with the fake compilers, the compiler paths in the registry,
// wiping and removing the temporary input, and showing the built help.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "helpproject/brindlewovenerror.h"
#include "helpproject/build/compilerpaths.h"
#include "helpproject/build/compilerrun.h"
#include "helpproject/build/helpviewer.h"
#include "helpproject/build/programrunner.h"
#include "helpproject/writers/winhelpmake.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/registry.h"
#include "winhelp_support.h"

namespace {

namespace fs = std::filesystem;
using namespace helpproject;
using winhelptest::ReadBytes;
using winhelptest::WriteBytes;

const std::string kFakes = BW_SOURCE_DIR "/tests/tools/fakes/";

// Sets an environment variable for one test.
class TEnv {
public:
    TEnv(const char* name, const std::string& value) : name_(name) {
        ::setenv(name, value.c_str(), 1);
    }
    ~TEnv() { ::unsetenv(name_); }

private:
    const char* name_;
};

bool IsEmptyFolder(const fs::path& folder) {
    return fs::is_directory(folder) && fs::is_empty(folder);
}

class CompilerRunTest : public ::testing::Test {
protected:
    winhelptest::TScratch scratch;
    std::unique_ptr<TBrindlewovenProject> project = winhelptest::MakeGuideProject(scratch.Path());
    TCompilerPaths paths;
    THeadlessProgramRunner runner;
    TWinHelpMakeOptions options;
    TBuildRecord build;
    std::string record = scratch / "record";
    TEnv recordEnv{"FAKE_COMPILER_RECORD", record};

    void SetUp() override {
        paths.HC31Sel = kFakes + "fake-hc31";
        paths.HC95Sel = kFakes + "fake-hcrtf";
        paths.KWGen = kFakes + "fake-kwgen";
        options.TempParent = scratch.Path() / "tmp";
        fs::create_directories(options.TempParent);
        project->BuildTags.clear();
    }
    std::string HelpFile() const { return scratch / "guide.hlp"; }
    std::string Recorded() const { return fs::exists(record) ? ReadBytes(record) : ""; }
};

TEST_F(CompilerRunTest, ThirtyTwoBitBuildMovesTheHelpFileAndDropsTheStaleIndex) {
    WriteBytes(scratch.Path() / "guide.GID", "stale");
    const TWinHelpMakeResult result = MakeWinHelpFile(*project, build, paths, runner, options);
    EXPECT_TRUE(result.Compile.Produced);
    EXPECT_EQ(ReadBytes(HelpFile()), "FAKE WINHELP 32\r\nTITLE=Lantern Guide\r\nTOPICS=3\r\n");
    EXPECT_FALSE(fs::exists(scratch.Path() / "guide.GID"));
    EXPECT_NE(result.ErrorLog.find("0 error(s), 0 warning(s)"), std::string::npos);
    EXPECT_TRUE(fs::exists(scratch.Path() / "guide.cnt")); // stays beside the help file
    // The compiler was handed "-x" and the help project in the private folder,
    // which is gone with everything in it.
    const std::string line = Recorded();
    EXPECT_EQ(line.rfind("hcrtf|", 0), 0u) << line;
    EXPECT_NE(line.find("|-x|" + (options.TempParent).string() + "/bwmake"), std::string::npos)
        << line;
    EXPECT_TRUE(IsEmptyFolder(options.TempParent));
    // The record keeps the help file and the contents file, and no name of
    // the input that is gone.
    EXPECT_EQ(build.HelpFileName, HelpFile());
    EXPECT_EQ(build.Report.CntFileName, scratch / "guide.cnt");
    EXPECT_TRUE(build.Written);
    EXPECT_EQ(build.Report.IncludedTopics.size(), 3u);
    EXPECT_TRUE(build.HpjFileName.empty());
    EXPECT_TRUE(build.RtfFileName.empty());
    EXPECT_TRUE(build.ErrorLogFileName.empty());
    EXPECT_TRUE(build.TempFiles.empty());
}

TEST_F(CompilerRunTest, SixteenBitBuildTakesTheFileFromItsWorkingFolder) {
    project->Compiler = helpproject::THelpCompiler::WinHelp16;
    const TWinHelpMakeResult result = MakeWinHelpFile(*project, build, paths, runner, options);
    EXPECT_TRUE(result.Compile.Produced);
    EXPECT_EQ(ReadBytes(HelpFile()).substr(0, 16), "FAKE WINHELP 16\r");
    const std::string line = Recorded();
    EXPECT_EQ(line.rfind("hc31|" + options.TempParent.string() + "/bwmake", 0), 0u) << line;
    EXPECT_TRUE(IsEmptyFolder(options.TempParent));
}

TEST_F(CompilerRunTest, FailedOrEmptyRunKeepsTheOldHelpFile) {
    for (const char* mode : {"fail", "empty", "zero", "crash"}) {
        SCOPED_TRACE(mode);
        WriteBytes(HelpFile(), "old help");
        WriteBytes(scratch.Path() / "guide.GID", "old index");
        TEnv env("FAKE_HCRTF_MODE", mode);
        TBuildRecord failed;
        const TWinHelpMakeResult result = MakeWinHelpFile(*project, failed, paths, runner, options);
        EXPECT_FALSE(result.Compile.Produced);
        EXPECT_EQ(ReadBytes(HelpFile()), "old help");
        EXPECT_EQ(ReadBytes(scratch.Path() / "guide.GID"), "old index");
        EXPECT_TRUE(IsEmptyFolder(options.TempParent));
        if (std::string(mode) == "fail") {
            EXPECT_NE(result.ErrorLog.find("HC1001"), std::string::npos);
        }
    }
}

TEST_F(CompilerRunTest, StartFailureAndWriterErrorLeaveNoTemporaryFiles) {
    paths.HC95Sel = (scratch.Path() / "no-such-compiler").string();
    try {
        MakeWinHelpFile(*project, build, paths, runner, options);
        ADD_FAILURE() << "no error";
    } catch (const EHelpCompilerError& e) {
        EXPECT_STREQ(e.what(), "Error running WinHelp Compiler (2)");
    }
    EXPECT_TRUE(IsEmptyFolder(options.TempParent));
    EXPECT_TRUE(build.Written);
    EXPECT_TRUE(build.HpjFileName.empty());
    EXPECT_TRUE(build.ErrorLogFileName.empty());

    paths.HC95Sel = kFakes + "fake-hcrtf";
    project->TopicByNumber(30)->SetText({"\\pard no tables\\par"});
    TBuildRecord unwritten;
    EXPECT_THROW(MakeWinHelpFile(*project, unwritten, paths, runner, options), EBrindlewoven);
    EXPECT_TRUE(IsEmptyFolder(options.TempParent));
    EXPECT_FALSE(unwritten.Written);
    EXPECT_TRUE(unwritten.HpjFileName.empty());
    EXPECT_TRUE(unwritten.RtfFileName.empty());
    EXPECT_EQ(Recorded(), ""); // nothing ran
}

TEST_F(CompilerRunTest, KeywordGeneratorRunsOnlyForDelphiOneAndTwo) {
    struct Case {
        int kind;
        std::string kwgen;
        bool runs;
    };
    const Case cases[] = {{16, kFakes + "fake-kwgen", true},
                          {32, kFakes + "fake-kwgen", true},
                          {48, kFakes + "fake-kwgen", false},
                          {0, kFakes + "fake-kwgen", false},
                          {16, "", false},
                          {16, kFakes + "missing-kwgen", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        fs::remove(record);
        fs::remove(scratch.Path() / "guide.kwf");
        project->HelpFileKind = c.kind;
        paths.KWGen = c.kwgen;
        TBuildRecord made;
        const TWinHelpMakeResult result = MakeWinHelpFile(*project, made, paths, runner, options);
        EXPECT_EQ(Recorded().find("kwgen|") != std::string::npos, c.runs);
        EXPECT_EQ(result.Compile.KeywordsProduced, c.runs);
        EXPECT_EQ(fs::exists(scratch.Path() / "guide.kwf"), c.runs);
        EXPECT_TRUE(IsEmptyFolder(options.TempParent));
    }
}

TEST(WipeFile, OverwritesWholeBlocksThenDeletes) {
    winhelptest::TScratch scratch;
    // A missing file is not an error.
    EXPECT_FALSE(WipeFile(scratch / "missing"));
    WriteBytes(scratch.Path() / "secret", "topic text");
    EXPECT_TRUE(WipeFile(scratch / "secret"));
    EXPECT_FALSE(fs::exists(scratch.Path() / "secret"));
}

TEST(DeleteBuildTempFiles, GoesOnPastMissingFiles) {
    winhelptest::TScratch scratch;
    TBrindlewovenProject project;
    project.Compiler = helpproject::THelpCompiler::WinHelp32;
    TBuildRecord build;
    build.ErrorLogFileName = scratch / "log";   // missing
    build.RtfFileName = scratch / "topics.rtf"; // missing
    build.HpjFileName = scratch / "project.hpj";
    build.HelpFileName = scratch / "out.hlp";
    WriteBytes(scratch.Path() / "project.hpj", "x");
    WriteBytes(scratch.Path() / "project.ph", "x");
    WriteBytes(scratch.Path() / "out.ph", "x");
    WriteBytes(scratch.Path() / "a.tmp", "x");
    WriteBytes(scratch.Path() / "b.tmp", "x");
    build.TempFiles = {scratch / "a.tmp", scratch / "gone.tmp", scratch / "b.tmp"};
    DeleteBuildTempFiles(project, build);
    EXPECT_TRUE(fs::is_empty(scratch.Path()));
    EXPECT_TRUE(build.TempFiles.empty());
    EXPECT_TRUE(build.HpjFileName.empty());
    EXPECT_TRUE(build.RtfFileName.empty());
    EXPECT_TRUE(build.ErrorLogFileName.empty());
    EXPECT_EQ(build.HelpFileName, scratch / "out.hlp"); // the help file is no input
}

TEST(CompilerPaths, RoundTripAndWriteOnlyWhenChanged) {
    winhelptest::TScratch scratch;
    auto registry = platform::OpenFileRegistry(scratch.Path());
    EXPECT_EQ(LoadCompilerPaths(*registry), TCompilerPaths{});
    TCompilerPaths paths{
        "a;b", "c", "d", "/opt/hc31", "/opt/hcrtf", "/usr/bin/chmcmd", std::string(300, 'k')};
    SaveCompilerPaths(*registry, paths);
    auto reopened = platform::OpenFileRegistry(scratch.Path());
    TCompilerPaths loaded = LoadCompilerPaths(*reopened);
    EXPECT_EQ(loaded.HC95Sel, "/opt/hcrtf");
    EXPECT_EQ(loaded.HCHTMLSel, "/usr/bin/chmcmd");
    EXPECT_EQ(loaded.KWGen, std::string(255, 'k'));
    EXPECT_EQ(reopened->ValueNames(platform::RootKey::CurrentUser, kCompilerPathsKey).size(), 7u);

    // An unchanged set leaves the hive file alone.
    fs::path hive;
    for (const auto& entry : fs::directory_iterator(scratch.Path()))
        if (entry.path().filename().string().find("HKCU") != std::string::npos)
            hive = entry.path();
    ASSERT_FALSE(hive.empty());
    const auto before = fs::last_write_time(hive);
    const std::string bytes = ReadBytes(hive);
    SaveCompilerPaths(*reopened, loaded);
    EXPECT_EQ(fs::last_write_time(hive), before);
    EXPECT_EQ(ReadBytes(hive), bytes);
    loaded.HC31Sel = "/elsewhere/hc31";
    SaveCompilerPaths(*reopened, loaded);
    EXPECT_EQ(LoadCompilerPaths(*platform::OpenFileRegistry(scratch.Path())).HC31Sel,
              "/elsewhere/hc31");
}

class TRecordingViewer : public IHelpViewer {
public:
    void Show(const THelpViewRequest& request) override { calls.push_back(request); }
    std::vector<THelpViewRequest> calls;
};

TEST(ShowBuiltHelp, PicksTheFileOfTheCompilerAndTheRightCommand) {
    winhelptest::TScratch scratch;
    auto project = winhelptest::MakeGuideProject(scratch.Path());
    TRecordingViewer viewer;
    int makes = 0;
    auto make = [&] {
        ++makes;
        WriteBytes(scratch.Path() / "guide.hlp", "built");
    };
    // Nothing built yet: make first, then show the topic.
    project->TopicByNumber(10)->Included = true;
    ShowBuiltHelp(*project, 10, viewer, make);
    EXPECT_EQ(makes, 1);
    ASSERT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(viewer.calls[0].Kind, "hlp");
    EXPECT_EQ(viewer.calls[0].File, scratch / "guide.hlp");
    EXPECT_EQ(viewer.calls[0].Folder, scratch.Path().string());
    EXPECT_EQ(viewer.calls[0].Command, kHelpContext);
    EXPECT_EQ(viewer.calls[0].Context, 10u);

    // A topic the build tags left out opens the contents.
    project->TopicByNumber(20)->Included = false;
    ShowBuiltHelp(*project, 20, viewer, make);
    EXPECT_EQ(viewer.calls.back().Command, kHelpContents);

    // Both files present and HTML Help chosen: the .chm.
    WriteBytes(scratch.Path() / "guide.chm", "chm");
    project->HelpFileName.clear();
    project->ChmFileName.clear();
    project->Compiler = helpproject::THelpCompiler::HtmlHelp;
    ShowBuiltHelp(*project, 30, viewer, make);
    EXPECT_EQ(makes, 1);
    EXPECT_EQ(viewer.calls.back().Kind, "chm");
    EXPECT_EQ(viewer.calls.back().Page, scratch / "guide.chm" + "::/html/oil.htm");
}

// %1 stands for the file, %2 for the page inside a .chm; with neither the
// file is appended.
TEST(RegistryHelpViewer, CommandLineFromTheRegistry) {
    struct TCase {
        std::string Kind;
        std::string CommandLine;
        std::vector<std::string> Argv;
    };
    const TCase cases[] = {
        {"chm", "xchm \"%1\"", {"xchm", "/h/a b.chm"}},
        {"chm", "xchm file:%1#xchm:%2", {"xchm", "file:/h/a b.chm#xchm:/html/x.htm"}},
        {"chm",
         "kchmviewer -showPage %2 %1",
         {"kchmviewer", "-showPage", "/html/x.htm", "/h/a b.chm"}},
        {"chm",
         "\"/opt/my viewer\" --zoom 100%",
         {"/opt/my viewer", "--zoom", "100%", "/h/a b.chm"}},
        {"hlp", "\"/opt/my viewer\" -x", {"/opt/my viewer", "-x", "/h/a b.hlp"}},
        // No page in a WinHelp file: a word that is the page alone goes.
        {"hlp", "viewer %2 %1 at:%2", {"viewer", "/h/a b.hlp", "at:"}},
        {"chm", "", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.CommandLine);
        THelpViewRequest request;
        request.Kind = c.Kind;
        request.File = "/h/a b." + c.Kind;
        request.Page = c.Kind == "chm" ? "/h/a b.chm::/html/x.htm" : "";
        EXPECT_EQ(TRegistryHelpViewer::CommandFor(c.CommandLine, request), c.Argv);
    }
}

// Makes an executable file `name` in `folder`.
void MakeProgram(const fs::path& folder, const std::string& name) {
    fs::create_directories(folder);
    WriteBytes(folder / name, "#!/bin/sh\n");
    fs::permissions(folder / name, fs::perms::owner_all);
}

TEST(RegistryHelpViewer, ViewerChosenFromTheRegistryOrPath) {
    winhelptest::TScratch scratch;
    const fs::path a = scratch.Path() / "a", b = scratch.Path() / "b";
    MakeProgram(a, "okular");
    MakeProgram(a, "xdg-open");
    MakeProgram(b, "xchm");
    MakeProgram(b, "kchmviewer");
    const fs::path d = scratch.Path() / "d";
    MakeProgram(d, "xdg-open");
    // Not executable: never chosen.
    fs::create_directories(scratch.Path() / "c");
    WriteBytes(scratch.Path() / "c" / "xchm", "data");
    const std::string A = a.string(), B = b.string(), C = (scratch.Path() / "c").string(),
                      D = d.string();

    struct TCase {
        const char* Name;
        std::string Kind;
        std::string Registry;
        std::optional<std::string> Path;
        std::vector<std::string> Argv; // empty: an error holding ErrorText
        std::string ErrorText;
    };
    const std::vector<TCase> cases = {
        {"registry wins", "chm", "myviewer %1 %2", B, {"myviewer", "/h/g.chm", "/html/x.htm"}, ""},
        {"xchm first, at the page",
         "chm",
         "",
         C + ":" + A + ":" + B,
         {B + "/xchm", "file:/h/g.chm#xchm:/html/x.htm"},
         ""},
        {"missing folder on PATH skipped",
         "chm",
         "",
         A + ":" + (b / "kchm").string() + ":" + B,
         {B + "/xchm", "file:/h/g.chm#xchm:/html/x.htm"},
         ""},
        {"okular before the opener, the file alone", "chm", "", A, {A + "/okular", "/h/g.chm"}, ""},
        {"the opener, the file alone", "chm", "", D, {D + "/xdg-open", "/h/g.chm"}, ""},
        {"no chm viewer", "chm", "", C, {}, "none of xchm, kchmviewer, okular or xdg-open"},
        {"no PATH at all", "chm", "", std::nullopt, {}, "HKEY_CURRENT_USER\\"},
        {"hlp through the opener", "hlp", "", B + ":" + A, {A + "/xdg-open", "/h/g.hlp"}, ""},
        {"hlp: none known on Linux", "hlp", "", B, {}, "none is known on Linux"},
        {"hlp registry", "hlp", "wine winhlp32.exe", B, {"wine", "winhlp32.exe", "/h/g.hlp"}, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        THelpViewRequest request;
        request.Kind = c.Kind;
        request.File = "/h/g." + c.Kind;
        request.Page = c.Kind == "chm" ? "/h/g.chm::/html/x.htm" : "";
        auto environment = [&](const std::string& name) -> std::optional<std::string> {
            return name == "PATH" ? c.Path : std::nullopt;
        };
        if (!c.Argv.empty()) {
            EXPECT_EQ(HelpViewerCommand(request, c.Registry, environment), c.Argv);
            continue;
        }
        try {
            HelpViewerCommand(request, c.Registry, environment);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.ErrorText), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("value \"" + c.Kind + "\""), std::string::npos)
                << e.what();
        }
    }

    // kchmviewer alone is opened at the page.
    fs::remove(b / "xchm");
    THelpViewRequest request;
    request.Kind = "chm";
    request.File = "/h/g.chm";
    request.Page = "/h/g.chm::/html/x.htm";
    auto onlyB = [&](const std::string&) -> std::optional<std::string> { return B; };
    EXPECT_EQ(
        HelpViewerCommand(request, "", onlyB),
        (std::vector<std::string>{B + "/kchmviewer", "-showPage", "/html/x.htm", "/h/g.chm"}));
    // Without a page every viewer gets the file alone.
    request.Page.clear();
    EXPECT_EQ(HelpViewerCommand(request, "", onlyB),
              (std::vector<std::string>{B + "/kchmviewer", "/h/g.chm"}));

    // The viewer's own lookup: nothing found gives the error before anything starts.
    auto registry = platform::OpenFileRegistry(scratch.Path());
    TRegistryHelpViewer viewer(*registry, [&](const std::string&) { return std::optional(C); });
    request.Kind = "hlp";
    EXPECT_THROW(viewer.Show(request), std::runtime_error);
}

} // namespace
