// A runner that ends descendants: what the program starts, also what leaves
// its process group and session or loses its parent, comes back to this
// process, counts in the program's memory and ends (and is reaped) with the
// program, however the program ends. Other children of this process are
// left alone.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "components/apprunner.h"
#include "platform/fileio.h"
#include "platform/processtree.h"
#include "platform/tempfolder.h"

extern char** environ;

namespace {

using components::TAppRunner;
using components::TQueuedExecutor;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Starts a sleeper that leaves the script's process group and session and
// loses its parent (setsid inside a subshell that ends), and one that stays
// in the group; writes their pids; then `rest`.
std::string FamilyScript(const std::string& rest) {
    return "(setsid sh -c 'echo $$ >\"$0.tmp\"; mv \"$0.tmp\" \"$0\"; exec sleep 60' "
           "\"$0/escaped\" "
           "</dev/null >/dev/null 2>&1 &)\n"
           "sleep 60 </dev/null >/dev/null 2>&1 &\n"
           "echo $! >\"$0/grouped.tmp\"; mv \"$0/grouped.tmp\" \"$0/grouped\"\n"
           "while [ ! -s \"$0/escaped\" ]; do sleep 0.01; done\n" +
           rest;
}

class AppRunnerFamilyTest : public ::testing::Test {
protected:
    pid_t PidIn(const std::string& name) {
        const fs::path file = folder.Path() / name;
        for (int i = 0; i < 1000 && !fs::exists(file); ++i)
            std::this_thread::sleep_for(10ms);
        return fs::exists(file) ? std::stoi(platform::ReadFileBytes(file)) : 0;
    }
    // Gone and reaped: no process and no zombie has the id any more.
    static bool Reaped(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

    void Start(TAppRunner& runner, const std::string& script) {
        runner.SetEndsDescendants(true);
        runner.SetKillGrace(300ms);
        runner.SetCommandLine({"/bin/sh", "-c", script, folder.Path().string()});
        ASSERT_TRUE(runner.Run()) << runner.LastError();
    }

    platform::TempFolder folder{"bwfamily"};
    TQueuedExecutor executor;
};

TEST_F(AppRunnerFamilyTest, DescendantsEndAndAreReapedHoweverTheProgramEnds) {
    struct Case {
        const char* name;
        const char* trap; // before anything
        const char* rest; // after the descendants are started
        std::function<void(TAppRunner&)> act;
        int exitCode;
    };
    const Case cases[] = {
        {"ends by itself", "", "exit 3", nullptr, 3},
        {"cancelled", "", "exec sleep 60", [](TAppRunner& r) { r.Cancel(); }, 128 + SIGTERM},
        // Everything it starts ignores the polite request too.
        {"cancelled twice", "trap '' TERM\n", "sleep 60",
         [](TAppRunner& r) {
             r.Cancel();
             r.Cancel();
         },
         128 + SIGKILL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(folder.Path() / "escaped");
        fs::remove(folder.Path() / "grouped");
        TAppRunner runner(executor);
        Start(runner, c.trap + FamilyScript(c.rest));
        const pid_t escaped = PidIn("escaped");
        const pid_t grouped = PidIn("grouped");
        ASSERT_GT(escaped, 0);
        ASSERT_GT(grouped, 0);
        EXPECT_TRUE(platform::IsChildSubreaper());
        if (c.act) {
            // The escaped one left the group and its parent: it came back here.
            const auto entry = platform::ReadProcess(escaped);
            ASSERT_TRUE(entry.has_value());
            EXPECT_EQ(entry->ParentPid, ::getpid());
            EXPECT_NE(entry->Group, runner.ProcessId());
            c.act(runner);
        }
        ASSERT_TRUE(executor.PumpUntil([&] { return runner.Terminated(); }, 20s));
        EXPECT_EQ(runner.ExitCode(), c.exitCode);
        EXPECT_TRUE(Reaped(escaped));
        EXPECT_TRUE(Reaped(grouped));
        EXPECT_FALSE(platform::IsChildSubreaper());
    }
}

TEST_F(AppRunnerFamilyTest, DestroyingTheRunnerEndsTheDescendantsToo) {
    pid_t escaped = 0;
    {
        TAppRunner runner(executor);
        Start(runner, FamilyScript("exec sleep 60"));
        escaped = PidIn("escaped");
        ASSERT_GT(escaped, 0);
    }
    EXPECT_TRUE(Reaped(escaped));
    EXPECT_FALSE(platform::IsChildSubreaper());
}

// A descendant that left the group and grows counts in the program's memory.
TEST_F(AppRunnerFamilyTest, MemoryOfEveryDescendantCounts) {
    TAppRunner runner(executor);
    Start(runner, "(setsid sh -c 'echo $$ >\"$0/escaped\"; exec tail /dev/zero' \"$0\" "
                  "</dev/null >/dev/null 2>&1 &)\nexec sleep 60");
    const pid_t hog = PidIn("escaped");
    ASSERT_GT(hog, 0);
    const std::uint64_t threshold = std::uint64_t{64} << 20;
    bool counted = false;
    for (int i = 0; i < 1000 && !counted; ++i) {
        counted = runner.FamilyResidentBytes() > threshold;
        if (!counted)
            std::this_thread::sleep_for(10ms);
    }
    runner.Cancel();
    runner.Cancel();
    EXPECT_TRUE(counted);
    ASSERT_TRUE(executor.PumpUntil([&] { return runner.Terminated(); }, 20s));
    EXPECT_TRUE(Reaped(hog));
    EXPECT_EQ(runner.FamilyResidentBytes(), 0u);
}

pid_t SpawnShell(const std::string& script) {
    const char* argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    EXPECT_EQ(::posix_spawn(&pid, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ),
              0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitStatus(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// While the runner is the subreaper, this process's other children (a viewer
// it started, another runner's program) and an orphan of one of them that
// comes back here are neither signalled nor reaped by it: their own waiters
// still see how they ended.
TEST_F(AppRunnerFamilyTest, OtherChildrenAndTheirOrphansAreLeftAlone) {
    TAppRunner family(executor);
    Start(family, FamilyScript("exec sleep 60"));
    ASSERT_GT(PidIn("escaped"), 0);

    const pid_t viewer = SpawnShell("exec sleep 60");
    // A launcher that leaves its program behind, as desktop openers do.
    const fs::path strayFile = folder.Path() / "stray";
    const pid_t launcher =
        SpawnShell("sleep 60 </dev/null >/dev/null 2>&1 & echo $! >'" + strayFile.string() + "'");
    EXPECT_EQ(WEXITSTATUS(WaitStatus(launcher)), 0);
    const pid_t stray = PidIn("stray");
    ASSERT_GT(stray, 0);
    TAppRunner other(executor);
    other.SetCommandLine({"/bin/sh", "-c", "sleep 0.3; exit 7"});
    ASSERT_TRUE(other.Run());

    family.Cancel();
    ASSERT_TRUE(executor.PumpUntil([&] { return family.Terminated() && other.Terminated(); }, 20s));
    EXPECT_EQ(other.ExitCode(), 7);
    // The viewer runs on and its own wait learns how it ended.
    ASSERT_EQ(::kill(viewer, 0), 0);
    ::kill(viewer, SIGUSR1);
    const int status = WaitStatus(viewer);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGUSR1);
    // The launcher's orphan came here and was left running.
    const auto strayEntry = platform::ReadProcess(stray);
    ASSERT_TRUE(strayEntry.has_value());
    EXPECT_NE(strayEntry->State, 'Z');
    EXPECT_EQ(strayEntry->ParentPid, ::getpid());
    ::kill(stray, SIGKILL);
    WaitStatus(stray);
}

// A runner that does not end descendants leaves this process as it was.
TEST_F(AppRunnerFamilyTest, PlainRunnerIsNoSubreaper) {
    TAppRunner runner(executor);
    runner.SetCommandLine({"/bin/sh", "-c", "sleep 0.2"});
    ASSERT_TRUE(runner.Run());
    EXPECT_FALSE(platform::IsChildSubreaper());
    ASSERT_TRUE(executor.PumpUntil([&] { return runner.Terminated(); }, 20s));
    EXPECT_EQ(runner.ExitCode(), 0);
}

} // namespace
