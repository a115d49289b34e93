// The processes of the machine through /proc: who is whose parent, what a
// process started with, signals that never reach a reused id, and the child
// subreaper that orphans come back to.
#include "platform/processtree.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/fileio.h"
#include "platform/tempfolder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

pid_t Spawn(const std::string& program, std::vector<std::string> args,
            std::vector<std::string> env = {}) {
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(),
                            env.empty() ? environ : envp.data()),
              0);
    return pid;
}

int Reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// Waits (at most 10 s) until `file` holds a line.
std::string WaitForFile(const fs::path& file) {
    for (int i = 0; i < 1000; ++i) {
        std::error_code ec;
        if (fs::exists(file, ec) && fs::file_size(file, ec) > 0) {
            const std::string text = platform::ReadFileBytes(file);
            if (text.find('\n') != std::string::npos)
                return text;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

TEST(ProcessTree, ReadsParentGroupAndStartOfEveryProcessWhateverItsName) {
    platform::TempFolder folder("bwproc");
    // A command name with blanks and parentheses, as /proc/PID/stat shows it.
    const fs::path odd = folder.Path() / "a) b (c";
    fs::create_symlink("/bin/sleep", odd);
    const pid_t child = Spawn(odd.string(), {"30"});
    const auto entry = platform::ReadProcess(child);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->ParentPid, ::getpid());
    EXPECT_EQ(entry->Group, ::getpgrp());
    EXPECT_GT(entry->StartTime, 0u);
    EXPECT_NE(entry->State, 'Z');

    bool listed = false;
    for (const platform::TProcessEntry& process : platform::ListProcesses())
        if (process.Pid == child) {
            listed = true;
            EXPECT_EQ(process.ParentPid, ::getpid());
            EXPECT_EQ(process.StartTime, entry->StartTime);
        }
    EXPECT_TRUE(listed);
    const auto self = platform::ReadProcess(::getpid());
    ASSERT_TRUE(self.has_value());
    EXPECT_EQ(self->ParentPid, ::getppid());
    EXPECT_GT(self->ResidentBytes, 0u);

    ::kill(child, SIGKILL);
    Reap(child);
    EXPECT_FALSE(platform::ReadProcess(child).has_value());
    EXPECT_FALSE(platform::ReadProcess(0x7ffffff0).has_value());
    EXPECT_FALSE(platform::ReadProcess(0).has_value());
}

// Waits (at most 10 s) until `pid` runs `program`: a spawned child may still
// be the copy of this process for a moment, with this process's environment.
void WaitForExec(pid_t pid, const std::string& program) {
    const fs::path cmdline = "/proc/" + std::to_string(pid) + "/cmdline";
    for (int i = 0; i < 1000; ++i) {
        const std::string text = platform::ReadFileBytes(cmdline);
        if (text.compare(0, program.size() + 1, program + '\0') == 0)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ADD_FAILURE() << pid << " never ran " << program;
}

TEST(ProcessTree, FindsAnEntryOfTheEnvironmentAProcessStartedWith) {
    const pid_t child =
        Spawn("/bin/sleep", {"30"}, {"PATH=/bin", "RUN_MARK=7-1", std::string(20000, 'L') + "=x"});
    WaitForExec(child, "/bin/sleep");
    for (const char* present : {"RUN_MARK=7-1", "PATH=/bin"})
        EXPECT_TRUE(platform::ProcessEnvironmentHas(child, present)) << present;
    for (const char* absent : {"RUN_MARK=7", "RUN_MARK=7-12", "UN_MARK=7-1", "RUN_MARK", ""})
        EXPECT_FALSE(platform::ProcessEnvironmentHas(child, absent)) << absent;
    ::kill(child, SIGKILL);
    Reap(child);
    EXPECT_FALSE(platform::ProcessEnvironmentHas(child, "RUN_MARK=7-1"));
}

TEST(ProcessTree, SignalsOnlyTheProcessThatStartedThen) {
    const pid_t child = Spawn("/bin/sleep", {"30"});
    const auto entry = platform::ReadProcess(child);
    ASSERT_TRUE(entry.has_value());
    // Another start time stands for a process that once had this id.
    EXPECT_FALSE(platform::SignalProcess(child, entry->StartTime + 1, SIGKILL));
    EXPECT_NE(platform::ReadProcess(child)->State, 'Z');
    EXPECT_TRUE(platform::SignalProcess(child, entry->StartTime, SIGKILL));
    const int status = Reap(child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_FALSE(platform::SignalProcess(child, entry->StartTime, SIGKILL));
}

// A shell that leaves a sleeper behind and ends: the sleeper is an orphan.
// Its parent becomes this process only while this process is the subreaper.
pid_t OrphanParent(const fs::path& pidFile) {
    const pid_t shell =
        Spawn("/bin/sh", {"-c", "/bin/sleep 30 </dev/null >/dev/null 2>&1 & echo $! >\"$0\"",
                          pidFile.string()});
    Reap(shell);
    const pid_t orphan = std::stoi(WaitForFile(pidFile));
    pid_t parent = 0;
    for (int i = 0; i < 500 && parent != ::getpid(); ++i) {
        if (const auto entry = platform::ReadProcess(orphan))
            parent = entry->ParentPid;
        if (parent != ::getpid())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::kill(orphan, SIGKILL);
    if (parent == ::getpid())
        Reap(orphan);
    return parent;
}

TEST(ProcessTree, OrphansComeBackOnlyWhileTheSubreaperScopeLives) {
    platform::TempFolder folder("bwreaper");
    ASSERT_FALSE(platform::IsChildSubreaper());
    {
        platform::TChildSubreaperScope outer;
        {
            platform::TChildSubreaperScope inner;
            EXPECT_TRUE(platform::IsChildSubreaper());
        }
        EXPECT_TRUE(platform::IsChildSubreaper()); // the outer scope still lives
        EXPECT_EQ(OrphanParent(folder.Path() / "adopted.pid"), ::getpid());
    }
    EXPECT_FALSE(platform::IsChildSubreaper());
    EXPECT_NE(OrphanParent(folder.Path() / "elsewhere.pid"), ::getpid());
}

} // namespace
