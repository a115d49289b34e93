// Brindle run from a build script: a separate process with no display, under
// `timeout`, in a sandbox; the exit status tells what happened and nothing
// waits for a person.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/fileio.h"

#include "platform/tempfolder.h"

namespace {

namespace fs = std::filesystem;

const std::string kBrindle = BW_BINARY_DIR "/apps/Brindle/Brindle";

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class BrindleBatchTest : public ::testing::Test {
public:
    platform::TempFolder scratch{"bwbatch"};
    fs::path project = scratch.Path() / "project" / "sample.bwv";
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    std::string stderrText;
    // Empty: no display at all.
    std::string display;
    // What `timeout` gives Brindle before it ends it (status 124).
    int deadlineSeconds = 120;

    void SetUp() override {
        if (!fs::exists(kBrindle))
            GTEST_SKIP() << kBrindle << " is not built";
        fs::create_directories(project.parent_path());
        const fs::path sample = BW_SOURCE_DIR "/examples/sample";
        for (const auto& entry : fs::directory_iterator(sample))
            fs::copy_file(entry.path(), project.parent_path() / entry.path().filename());
        fs::create_directories(scratch.Path() / "sandbox");
    }

    void SetRegistryCompiler(const std::string& name, const std::string& program) {
        fs::create_directories(scratch.Path() / "sandbox" / "registry");
        std::ofstream(scratch.Path() / "sandbox" / "registry" / "HKCU.reg")
            << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vexlor\\Brindlewoven\\Compiler "
               "paths]\r\n\""
            << name << "\"=\"" << program << "\"\r\n";
    }

    std::string CommandFor(const std::string& args, const std::string& extraEnv) const {
        std::string env =
            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH=" + Quote(path) +
            " VEXLOR_SANDBOX=" + Quote((scratch.Path() / "sandbox").string());
        if (!display.empty())
            env += " DISPLAY=" + Quote(display);
        if (fs::exists(scratch.Path() / "sandbox" / "registry"))
            env +=
                " VEXLOR_REGISTRY_DIR=" + Quote((scratch.Path() / "sandbox" / "registry").string());
        return env + " " + extraEnv + " /usr/bin/timeout " + std::to_string(deadlineSeconds) + " " +
               Quote(kBrindle) + " " + args + " </dev/null >/dev/null 2>" +
               Quote((scratch.Path() / "stderr.txt").string());
    }

    void ReadStderr() {
        std::ifstream in(scratch.Path() / "stderr.txt");
        std::stringstream text;
        text << in.rdbuf();
        stderrText = text.str();
    }

    // Runs Brindle as Run does, but sends it `stopSignal` once the file
    // `started` exists (the fake compiler writes it when it runs). The exit
    // status, 128 + the signal number when a signal ended it.
    int RunAndStop(const std::string& args, const std::string& extraEnv, const fs::path& started,
                   int stopSignal) {
        const std::string command = "exec " + CommandFor(args, extraEnv);
        const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
        pid_t pid = 0;
        if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) !=
            0)
            return -1;
        // `timeout` hands the signal on to Brindle.
        int status = 0;
        bool ended = false;
        for (int tries = 0; tries < 1200 && !ended; ++tries) {
            if (fs::exists(started)) {
                ::kill(pid, stopSignal);
                break;
            }
            ended = ::waitpid(pid, &status, WNOHANG) == pid;
            if (!ended)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!ended)
            ::waitpid(pid, &status, 0);
        ReadStderr();
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Runs Brindle with `args`, no display, at most 120 s; its exit status.
    int Run(const std::string& args, const std::string& extraEnv = "") {
        const int status = std::system(CommandFor(args, extraEnv).c_str());
        ReadStderr();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string P() const { return Quote(project.string()); }

    const fs::path& ProjectPath() const { return project; }
    const fs::path& Scratch() const { return scratch.Path(); }
};

TEST_F(BrindleBatchTest, MissingProjectIsBadInput) {
    EXPECT_EQ(Run(Quote((scratch.Path() / "none.bwv").string()) + " /chtml /q"), 2);
    EXPECT_NE(stderrText.find("Cannot find the project you are trying to open"), std::string::npos);
}

TEST_F(BrindleBatchTest, WebHelpWithoutOutputFileIsBadInput) {
    EXPECT_EQ(Run(P() + " /cweb /q"), 2);
    EXPECT_NE(stderrText.find("No web help output file"), std::string::npos) << stderrText;
}

TEST_F(BrindleBatchTest, CompiledHtmlHelpThroughChmcmd) {
    if (std::system("command -v chmcmd >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "chmcmd is not installed";
    EXPECT_EQ(Run(P() + " /chtml /q"), 0) << stderrText;
    const fs::path chm = fs::path(project).replace_extension(".chm");
    ASSERT_TRUE(fs::exists(chm));
    EXPECT_GT(fs::file_size(chm), 0u);
}

TEST_F(BrindleBatchTest, WebHelp) {
    const fs::path out = scratch.Path() / "out" / "web" / "index.htm";
    EXPECT_EQ(Run(P() + " /cweb " + Quote(out.string()) + " /q"), 0) << stderrText;
    EXPECT_TRUE(fs::exists(out));
}

TEST_F(BrindleBatchTest, NoCompilerNeedsAPerson) {
    path = (scratch.Path() / "sandbox").string(); // no chmcmd on PATH
    EXPECT_EQ(Run(P() + " /chtml /q"), 3);
    EXPECT_NE(stderrText.find("Before your help project can be compiled"), std::string::npos)
        << stderrText;
}

TEST_F(BrindleBatchTest, FailingCompilerIsBuildFailed) {
    SetRegistryCompiler("HC95Sel", BW_SOURCE_DIR "/tests/tools/fakes/fake-hcrtf");
    EXPECT_EQ(Run(P() + " /c32 /q", "FAKE_HCRTF_MODE=fail"), 1) << stderrText;
    EXPECT_NE(stderrText.find("The help file was not created."), std::string::npos);
    SetRegistryCompiler("HC95Sel", BW_SOURCE_DIR "/tests/tools/fakes/fake-hcrtf");
    EXPECT_EQ(Run(P() + " /c32 /q"), 0) << stderrText;
}

// ---- the table of hostile and unlucky runs ----------------------------------

// A project whose topic 10 holds text nested deeper than the RTF engine takes.
void MakeDeepProject(const fs::path& project) {
    std::string bytes = platform::ReadFileBytes(project);
    const std::string topicText = "\r\n{\\rtf";
    const std::size_t header = bytes.find(topicText);
    ASSERT_NE(header, std::string::npos);
    const std::size_t body = bytes.find("\r\n", header + 2) + 2;
    bytes.insert(body, std::string(1100, '{') + "deep" + std::string(1100, '}') + "\\par\r\n");
    // The topic's line count grows by one.
    const std::size_t countEnd = header;
    const std::size_t countStart = bytes.rfind("\r\n", countEnd - 1) + 2;
    const int lines = std::stoi(bytes.substr(countStart, countEnd - countStart));
    bytes.replace(countStart, countEnd - countStart, std::to_string(lines + 1));
    platform::WriteFileAtomic(project, bytes);
}

// A topic ID of 300 characters.
void GiveLongTopicID(const fs::path& project) {
    std::string bytes = platform::ReadFileBytes(project);
    const std::size_t at = bytes.find("\r\nwelcome\r\n");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at + 2, 7, "welcome" + std::string(293, 'w'));
    platform::WriteFileAtomic(project, bytes);
}

struct TBatchRow {
    const char* Name;
    std::function<void(BrindleBatchTest&)> Prepare; // may be null
    std::string Args;                               // "{P}" the project, "{S}" the scratch folder
    std::string Env;
    int StopSignal; // sent to Brindle once the compiler runs; 0: none
    int Exit;
    const char* Stderr;                           // a part of what stderr says; null: anything
    std::function<void(BrindleBatchTest&)> Check; // may be null
};

std::string Expand(std::string text, const BrindleBatchTest& test, const fs::path& scratch) {
    for (const auto& [key, value] :
         {std::pair<std::string, std::string>{"{P}", Quote(test.ProjectPath().string())},
          std::pair<std::string, std::string>{"{S}", scratch.string()}}) {
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key))
            text.replace(at, key.size(), value);
    }
    return text;
}

const std::string kFakeHcrtf = BW_SOURCE_DIR "/tests/tools/fakes/fake-hcrtf";

void UseFakeCompilers(BrindleBatchTest& test) {
    test.SetRegistryCompiler("HC95Sel", kFakeHcrtf);
}

bool ProcessAlive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

class BrindleBatchRows : public BrindleBatchTest,
                         public ::testing::WithParamInterface<TBatchRow> {};

TEST_P(BrindleBatchRows, EndsWithItsStatusAndHarmsNothing) {
    const TBatchRow& row = GetParam();
    if (row.Prepare)
        row.Prepare(*this);
    if (::testing::Test::HasFatalFailure())
        return;
    const fs::path tmp = Scratch() / "tmp";
    fs::create_directories(tmp);
    const fs::path started = Scratch() / "compiler.pid";
    const fs::path escaped = Scratch() / "escaped.pid";
    const std::string env = Expand(row.Env, *this, Scratch()) + " TMPDIR=" + Quote(tmp.string()) +
                            " FAKE_COMPILER_PID=" + Quote(started.string()) +
                            " FAKE_COMPILER_CHILD_PID=" + Quote(escaped.string());
    const std::string args = Expand(row.Args, *this, Scratch());
    const int status =
        row.StopSignal ? RunAndStop(args, env, started, row.StopSignal) : Run(args, env);
    EXPECT_EQ(status, row.Exit) << stderrText;
    if (row.Stderr) {
        EXPECT_NE(stderrText.find(row.Stderr), std::string::npos) << stderrText;
    }
    // Nothing of the make is left: no temporary folder, no compiler, nothing
    // the compiler started, not even what left its process group.
    EXPECT_TRUE(fs::is_empty(tmp)) << fs::directory_iterator(tmp)->path();
    for (const fs::path& pidFile : {started, escaped}) {
        if (!fs::exists(pidFile))
            continue;
        const pid_t process = std::stoi(platform::ReadFileBytes(pidFile));
        EXPECT_FALSE(ProcessAlive(process)) << pidFile;
        if (ProcessAlive(process))
            ::kill(process, SIGKILL);
    }
    if (row.Check)
        row.Check(*this);
}

const TBatchRow kBatchRows[] = {
    {"DeepTopicMakesWinHelp",
     [](auto& t) {
         MakeDeepProject(t.ProjectPath());
         UseFakeCompilers(t);
     },
     "{P} /c32 /q", "", 0, 0, nullptr,
     [](auto& t) { EXPECT_TRUE(fs::exists(fs::path(t.ProjectPath()).replace_extension(".hlp"))); }},
    {"DeepTopicHtmlHelpNamesTheTopic",
     [](auto& t) {
         MakeDeepProject(t.ProjectPath());
         t.SetRegistryCompiler("HCHTMLSel", kFakeHcrtf);
     },
     "{P} /chtml /q", "", 0, 1, "nested more than 1000 groups deep", nullptr},
    {"DeepTopicWebHelpNamesTheTopic", [](auto& t) { MakeDeepProject(t.ProjectPath()); },
     "{P} /cweb {S}/web/index.htm /q", "", 0, 1, "Topic 10", nullptr},
    {"HangingCompilerStopsAtTheTimeLimit", UseFakeCompilers, "{P} /c32 /q",
     "FAKE_HCRTF_MODE=hang BRINDLE_COMPILER_TIME_LIMIT=1", 0, 1, "did not finish within 1 second",
     nullptr},
    {"CompilerStopsAtTheMemoryLimit", UseFakeCompilers, "{P} /c32 /q",
     "FAKE_HCRTF_MODE=hog BRINDLE_COMPILER_MEMORY_LIMIT=64", 0, 1, "used more than 64 MB of memory",
     nullptr},
    {"SigtermDuringACompileLeavesNothing", UseFakeCompilers, "{P} /c32 /q", "FAKE_HCRTF_MODE=hang",
     SIGTERM, 128 + SIGTERM, nullptr, nullptr},
    // What the compiler starts outside its process group and session, with
    // no parent left, ends with it and counts in its memory.
    {"EscapedChildEndsAtTheTimeLimit", UseFakeCompilers, "{P} /c32 /q",
     "FAKE_HCRTF_MODE=escape BRINDLE_COMPILER_TIME_LIMIT=1", 0, 1, "did not finish within 1 second",
     nullptr},
    {"EscapedChildCountsAgainstTheMemoryLimit", UseFakeCompilers, "{P} /c32 /q",
     "FAKE_HCRTF_MODE=escapehog BRINDLE_COMPILER_MEMORY_LIMIT=64", 0, 1,
     "used more than 64 MB of memory", nullptr},
    {"SigtermEndsTheEscapedChild", UseFakeCompilers, "{P} /c32 /q", "FAKE_HCRTF_MODE=escape",
     SIGTERM, 128 + SIGTERM, nullptr, nullptr},
    {"SigintEndsTheEscapedChild", UseFakeCompilers, "{P} /c32 /q", "FAKE_HCRTF_MODE=escape", SIGINT,
     128 + SIGINT, nullptr, nullptr},
    {"SighupEndsTheEscapedChild", UseFakeCompilers, "{P} /c32 /q", "FAKE_HCRTF_MODE=escape", SIGHUP,
     128 + SIGHUP, nullptr, nullptr},
    {"WebHelpOntoTheProjectIsRefused", nullptr, "{P} /cweb {P} /q", "", 0, 2,
     "that is the project file",
     [](auto& t) {
         EXPECT_EQ(platform::ReadFileBytes(t.ProjectPath()).substr(0, 26),
                   "Brindlewoven project file.");
     }},
    {"WebHelpOntoAFifoIsRefused",
     [](auto& t) { ASSERT_EQ(::mkfifo((t.Scratch() / "fifo").c_str(), 0600), 0); },
     "{P} /cweb {S}/fifo /q", "", 0, 2, "not a regular file",
     [](auto& t) { EXPECT_TRUE(fs::is_fifo(t.Scratch() / "fifo")); }},
    {"WebHelpThroughALinkWritesItsTarget",
     [](auto& t) { fs::create_symlink("target.htm", t.Scratch() / "link.htm"); },
     "{P} /cweb {S}/link.htm /q", "", 0, 0, nullptr,
     [](auto& t) {
         EXPECT_TRUE(fs::is_symlink(t.Scratch() / "link.htm"));
         EXPECT_NE(platform::ReadFileBytes(t.Scratch() / "target.htm").find("<HTML>"),
                   std::string::npos);
     }},
    {"WebHelpOntoALinkToTheProjectIsRefused",
     [](auto& t) { fs::create_symlink(t.ProjectPath(), t.Scratch() / "link.htm"); },
     "{P} /cweb {S}/link.htm /q", "", 0, 2, "that is the project file",
     [](auto& t) { EXPECT_TRUE(fs::is_symlink(t.Scratch() / "link.htm")); }},
    {"WebHelpOntoAPictureItShowsIsRefused", nullptr, "{P} /cweb {S}/project/cup.bmp /q", "", 0, 2,
     "which the export reads",
     [](auto& t) {
         EXPECT_EQ(platform::ReadFileBytes(t.Scratch() / "project/cup.bmp"),
                   platform::ReadFileBytes(BW_SOURCE_DIR "/examples/sample/cup.bmp"));
     }},
    {"LongTopicIdExportsWebHelp", [](auto& t) { GiveLongTopicID(t.ProjectPath()); },
     "{P} /cweb {S}/web/index.htm /q", "", 0, 0, nullptr,
     [](auto& t) {
         bool longPage = false;
         for (const auto& entry : fs::directory_iterator(t.Scratch() / "web")) {
             const std::string name = entry.path().filename().string();
             EXPECT_LE(name.size(), 200u) << name;
             longPage = longPage || name.rfind("welcomewww", 0) == 0;
         }
         EXPECT_TRUE(longPage);
     }},
    {"MistypedSwitchIsRefused", nullptr, "{P} /xhtml /q", "", 0, 2, "Unknown switch /xhtml",
     nullptr},
};

INSTANTIATE_TEST_SUITE_P(Hostile, BrindleBatchRows, ::testing::ValuesIn(kBatchRows),
                         [](const ::testing::TestParamInfo<TBatchRow>& info) {
                             return std::string(info.param.Name);
                         });

// ---- every /q run ends by itself with its status ------------------------------

struct TQuietRow {
    const char* Name;
    std::string Args; // "{P}" the project, "{S}" the scratch folder
    std::string Env;
    int Exit;
    const char* Stderr; // a part of what stderr says
    bool Usage;         // the usage follows the message
};

class BrindleQuietRows : public BrindleBatchTest,
                         public ::testing::WithParamInterface<TQuietRow> {};

// Whether or not a display is at hand (here one that does not exist, which a
// run that tried to reach it would die of), and with no Qt platform chosen,
// a /q run decides from its arguments and ends on its own within 5 s.
TEST_P(BrindleQuietRows, EndsWithItsStatusWithoutTouchingADisplay) {
    const TQuietRow& row = GetParam();
    SetRegistryCompiler("HC95Sel", kFakeHcrtf);
    deadlineSeconds = 5;
    for (const char* screen : {"", ":1999"}) {
        SCOPED_TRACE(std::string("DISPLAY=") + screen);
        display = screen;
        const std::string args = Expand(row.Args, *this, Scratch());
        EXPECT_EQ(Run(args, Expand(row.Env, *this, Scratch())), row.Exit) << stderrText;
        EXPECT_NE(stderrText.find(row.Stderr), std::string::npos) << stderrText;
        EXPECT_EQ(stderrText.find("Usage: Brindle PROJECT.bwv") != std::string::npos, row.Usage)
            << stderrText;
    }
}

const TQuietRow kQuietRows[] = {
    {"NothingToMake", "{P} /q", "", 2, "Nothing to make", true},
    {"QuietBeforeWebHelp", "{P} /q /cweb", "", 2, "Nothing to make", true},
    {"QuietBeforeTheSwitchAndAnExtraFile", "{P} /q /chtml {S}/extra.bwv", "", 2, "Nothing to make",
     true},
    {"OnlyBuildTags", "{P} /bRelease /q", "", 2, "Nothing to make", true},
    {"NoProject", "/q", "", 2, "No project file", true},
    {"QuietOutOfItsPlace", "{P} /chtml {S}/extra.bwv /q", "", 2, "/q is out of its place", true},
    {"WebHelpWithoutItsFile", "{P} /cweb /q", "", 2, "No web help output file", true},
    {"UnknownSwitch", "{P} /xhtml /q", "", 2, "Unknown switch /xhtml", true},
    {"MissingProject", "{S}/none.bwv /c32 /q", "", 2,
     "Cannot find the project you are trying to open", false},
    {"NoCompilerNeedsAPerson", "{P} /c16 /q", "", 3, "Before your help project can be compiled",
     false},
    {"FailingCompiler", "{P} /c32 /q", "FAKE_HCRTF_MODE=fail", 1, "The help file was not created.",
     false},
    {"Made", "{P} /C32 /Q", "", 0, "", false},
};

INSTANTIATE_TEST_SUITE_P(Arguments, BrindleQuietRows, ::testing::ValuesIn(kQuietRows),
                         [](const ::testing::TestParamInfo<TQuietRow>& info) {
                             return std::string(info.param.Name);
                         });

} // namespace
