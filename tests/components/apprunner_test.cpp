#include "components/apprunner.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using components::TAppRunner;
using components::TQueuedExecutor;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

class AppRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bwrunner.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    // Pumps the executor the way the owner's message loop would.
    bool PumpUntilTerminated(TAppRunner& runner, std::chrono::milliseconds timeout = 10s) {
        return executor.PumpUntil([&] { return runner.Terminated(); }, timeout);
    }
    static std::string ReadFile(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static bool ProcessGone(pid_t pid) {
        if (::kill(pid, 0) != 0)
            return errno == ESRCH;
        // Reparented children of a container without an init that reaps stay
        // as zombies: ended all the same.
        std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
        const auto close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
    }
    static bool WaitForFile(const fs::path& path) {
        for (int i = 0; i < 500; ++i) {
            if (fs::exists(path) && fs::file_size(path) > 0)
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    TQueuedExecutor executor;
    fs::path folder;
};

TEST_F(AppRunnerTest, ReportsExitCodesAndSignals) {
    struct Case {
        const char* script;
        int exitCode;
    };
    const Case cases[] = {
        {"exit 0", 0},
        {"exit 1", 1},
        {"exit 3", 3},
        {"exit 255", 255},
        {"kill -TERM $$", 128 + SIGTERM},
        {"kill -KILL $$", 128 + SIGKILL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        TAppRunner runner(executor);
        int terminatedEvents = 0;
        int idleEvents = 0;
        std::thread::id eventThread;
        runner.OnTerminated = [&](TAppRunner& sender) {
            EXPECT_EQ(&sender, &runner);
            ++terminatedEvents;
            eventThread = std::this_thread::get_id();
        };
        runner.OnIdle = [&](TAppRunner&) { ++idleEvents; };
        runner.SetCommandLine({"/bin/sh", "-c", c.script});
        ASSERT_TRUE(runner.Run()) << runner.LastError();
        EXPECT_TRUE(runner.Running());
        ASSERT_TRUE(PumpUntilTerminated(runner));
        EXPECT_FALSE(runner.Running());
        EXPECT_EQ(runner.ExitCode(), c.exitCode);
        EXPECT_EQ(terminatedEvents, 1);
        EXPECT_EQ(eventThread, std::this_thread::get_id());
        // A program here never reports waiting for input.
        EXPECT_EQ(idleEvents, 0);
        EXPECT_FALSE(runner.IdleReported());
    }
}

TEST_F(AppRunnerTest, EndIsDeliveredOnlyWhenTheOwnerPumps) {
    TAppRunner runner(executor);
    runner.SetCommandLine({"true"}); // found on PATH
    ASSERT_TRUE(runner.Run()) << runner.LastError();
    for (int i = 0; i < 1000 && executor.PendingCount() == 0; ++i)
        std::this_thread::sleep_for(5ms);
    ASSERT_EQ(executor.PendingCount(), 1u);
    EXPECT_FALSE(runner.Terminated());
    EXPECT_TRUE(runner.Running());
    EXPECT_EQ(runner.ExitCode(), TAppRunner::StillActive);
    executor.RunPending();
    EXPECT_TRUE(runner.Terminated());
    EXPECT_EQ(runner.ExitCode(), 0);
}

TEST_F(AppRunnerTest, RefusesProgramsThatCannotStart) {
    const fs::path notExecutable = folder / "data.txt";
    std::ofstream(notExecutable) << "not a program\n";
    ::chmod(notExecutable.c_str(), 0644);
    struct Case {
        std::string program;
        std::string folder;
        int errorNumber;
        std::string text;
    };
    const Case cases[] = {
        {(folder / "no-such-compiler").string(), "", ENOENT, "No such file or directory"},
        {"bw-no-such-program-on-path", "", ENOENT, "No such file or directory"},
        {notExecutable.string(), "", EACCES, "Permission denied"},
        {folder.string(), "", EACCES, "Permission denied"},
        {"/bin/true", (folder / "missing").string(), ENOENT, "No such file or directory"},
        {"/bin/true", notExecutable.string(), ENOTDIR, "Not a directory"},
    };
    for (const auto& c : cases)
        for (bool ranBefore : {false, true}) {
            SCOPED_TRACE(c.program + " in " + c.folder + (ranBefore ? " after a run" : ""));
            TAppRunner runner(executor);
            if (ranBefore) {
                // The earlier run's end does not survive a run that cannot start.
                runner.SetCommandLine({"/bin/sh", "-c", "exit 3"});
                ASSERT_TRUE(runner.Run()) << runner.LastError();
                ASSERT_TRUE(PumpUntilTerminated(runner));
                ASSERT_TRUE(runner.Terminated());
                ASSERT_EQ(runner.ExitCode(), 3);
            }
            bool fired = false;
            runner.OnTerminated = [&](TAppRunner&) { fired = true; };
            runner.SetCommandLine({c.program, "x"});
            runner.SetCurrentDirectory(c.folder);
            EXPECT_FALSE(runner.Run());
            EXPECT_EQ(runner.LastErrorNumber(), c.errorNumber);
            EXPECT_NE(runner.LastError().find(c.text), std::string::npos) << runner.LastError();
            EXPECT_NE(runner.LastError().find(c.program), std::string::npos) << runner.LastError();
            EXPECT_FALSE(runner.Running());
            EXPECT_FALSE(runner.Terminated());
            EXPECT_EQ(runner.ExitCode(), TAppRunner::StillActive);
            EXPECT_EQ(executor.RunPending(), 0u);
            EXPECT_FALSE(fired);
        }
    TAppRunner empty(executor);
    EXPECT_FALSE(empty.Run());
    EXPECT_EQ(empty.LastError(), "No program to run");
}

TEST_F(AppRunnerTest, PassesArgumentsVerbatimInItsFolderWithoutInput) {
    const std::vector<std::string> arguments = {
        "plain", "with space", "\"double quoted\"", "'single'",  ";$(touch pwned)`id`|&<>",
        "",      "*",          "back\\slash",       "tab\there", "ümlaut\xE9"};
    const fs::path work = folder / "work dir";
    fs::create_directory(work);
    std::vector<std::string> argv = {
        "/bin/sh", "-c",
        "printf '[%s]\\n' \"$@\" > args.txt; pwd > pwd.txt; readlink /proc/$$/fd/0 > stdin.txt",
        "sh"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    TAppRunner runner(executor);
    runner.SetCommandLine(argv);
    runner.SetCurrentDirectory(work.string());
    ASSERT_TRUE(runner.Run()) << runner.LastError();
    ASSERT_TRUE(PumpUntilTerminated(runner));
    EXPECT_EQ(runner.ExitCode(), 0);

    std::string expected;
    for (const auto& a : arguments)
        expected += "[" + a + "]\n";
    EXPECT_EQ(ReadFile(work / "args.txt"), expected);
    EXPECT_EQ(ReadFile(work / "pwd.txt"), fs::canonical(work).string() + "\n");
    EXPECT_EQ(ReadFile(work / "stdin.txt"), "/dev/null\n");
    EXPECT_FALSE(fs::exists(work / "pwned"));
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST_F(AppRunnerTest, ApplicationNameOverridesTheProgramButNotArgvZero) {
    TAppRunner runner(executor);
    runner.SetApplicationName("/bin/sh");
    runner.SetCommandLine({"shown-name", "-c", "printf '%s' \"$0\" > name.txt", "arg0"});
    runner.SetCurrentDirectory(folder.string());
    ASSERT_TRUE(runner.Run()) << runner.LastError();
    ASSERT_TRUE(PumpUntilTerminated(runner));
    EXPECT_EQ(ReadFile(folder / "name.txt"), "arg0");
}

TEST_F(AppRunnerTest, RelativeProgramIsTakenFromTheCallersFolder) {
    const fs::path script = folder / "tool.sh";
    std::ofstream(script) << "#!/bin/sh\nexit 7\n";
    fs::permissions(script, fs::perms::owner_all);
    const fs::path other = folder / "elsewhere";
    fs::create_directory(other);
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    TAppRunner runner(executor);
    runner.SetCommandLine({"./tool.sh"});
    runner.SetCurrentDirectory(other.string());
    const bool started = runner.Run();
    fs::current_path(before);
    ASSERT_TRUE(started) << runner.LastError();
    ASSERT_TRUE(PumpUntilTerminated(runner));
    EXPECT_EQ(runner.ExitCode(), 7);
}

TEST_F(AppRunnerTest, RunsTwiceInARowAndRefusesASecondRunWhileRunning) {
    TAppRunner runner(executor);
    std::vector<int> ends;
    runner.OnTerminated = [&](TAppRunner& sender) { ends.push_back(sender.ExitCode()); };

    runner.SetCommandLine({"/bin/sh", "-c", "exit 4"});
    ASSERT_TRUE(runner.Run()) << runner.LastError();
    ASSERT_TRUE(PumpUntilTerminated(runner));

    runner.SetCommandLine({"/bin/sh", "-c", "sleep 5"});
    ASSERT_TRUE(runner.Run()) << runner.LastError();
    EXPECT_FALSE(runner.Terminated());
    const pid_t pid = runner.ProcessId();
    ASSERT_GT(pid, 0);
    EXPECT_EQ(::getpgid(pid), pid); // leads its own process group

    runner.SetCommandLine({"/bin/sh", "-c", "exit 9"});
    EXPECT_FALSE(runner.Run());
    EXPECT_NE(runner.LastError().find("still running"), std::string::npos);
    EXPECT_EQ(runner.ProcessId(), pid); // the refused run changed nothing

    ASSERT_TRUE(runner.Cancel());
    ASSERT_TRUE(PumpUntilTerminated(runner));
    runner.SetCommandLine({"/bin/sh", "-c", "exit 6"});
    ASSERT_TRUE(runner.Run()) << runner.LastError();
    ASSERT_TRUE(PumpUntilTerminated(runner));
    EXPECT_EQ(ends, (std::vector<int>{4, 128 + SIGTERM, 6}));
}

TEST_F(AppRunnerTest, DestroyDuringARunReturnsAtOnceAndLeavesNoProcess) {
    const fs::path pidFile = folder / "child.pid";
    pid_t pid = 0;
    bool fired = false;
    const auto start = std::chrono::steady_clock::now();
    {
        TAppRunner runner(executor);
        runner.OnTerminated = [&](TAppRunner&) { fired = true; };
        runner.SetCommandLine(
            {"/bin/sh", "-c", "sleep 5 & echo $! > \"$1\"; wait", "sh", pidFile.string()});
        ASSERT_TRUE(runner.Run()) << runner.LastError();
        pid = runner.ProcessId();
        ASSERT_TRUE(WaitForFile(pidFile));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    // Reaped by the runner: not our child any more, not a zombie.
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_TRUE(ProcessGone(pid));
    const pid_t sleeper = std::atoi(ReadFile(pidFile).c_str());
    ASSERT_GT(sleeper, 0);
    for (int i = 0; i < 200 && !ProcessGone(sleeper); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(ProcessGone(sleeper));
    executor.RunPending();
    EXPECT_FALSE(fired);
}

TEST_F(AppRunnerTest, DestroyWithoutARunAndAfterOneIsClean) {
    { TAppRunner idle(executor); }
    TAppRunner runner(executor);
    runner.SetCommandLine({"true"});
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(PumpUntilTerminated(runner));
}

TEST_F(AppRunnerTest, CancelEndsTheWholeProcessGroup) {
    const fs::path pidFile = folder / "child.pid";
    TAppRunner runner(executor);
    runner.SetCommandLine(
        {"/bin/sh", "-c", "sleep 5 & echo $! > \"$1\"; wait", "sh", pidFile.string()});
    ASSERT_TRUE(runner.Run()) << runner.LastError();
    ASSERT_TRUE(WaitForFile(pidFile));
    const pid_t sleeper = std::atoi(ReadFile(pidFile).c_str());
    ASSERT_TRUE(runner.Cancel());
    ASSERT_TRUE(PumpUntilTerminated(runner, 3s));
    EXPECT_EQ(runner.ExitCode(), 128 + SIGTERM);
    for (int i = 0; i < 200 && !ProcessGone(sleeper); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(ProcessGone(sleeper));
    EXPECT_FALSE(runner.Cancel()); // nothing runs any more
}

TEST_F(AppRunnerTest, CancelKillsAProgramThatIgnoresTheRequest) {
    const fs::path ready = folder / "ready";
    TAppRunner runner(executor);
    runner.SetKillGrace(100ms);
    runner.SetCommandLine(
        {"/bin/sh", "-c", "trap '' TERM; echo x > \"$1\"; sleep 5", "sh", ready.string()});
    ASSERT_TRUE(runner.Run()) << runner.LastError();
    ASSERT_TRUE(WaitForFile(ready));
    ASSERT_TRUE(runner.Cancel());
    ASSERT_TRUE(PumpUntilTerminated(runner, 3s));
    EXPECT_EQ(runner.ExitCode(), 128 + SIGKILL);
}

} // namespace
