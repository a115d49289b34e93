#pragma once
// Starts another program and reports its end on the owner's thread.
//
// The program is started with an explicit argument vector (never through a
// shell), stdin from /dev/null, stdout and stderr inherited, in a process
// group of its own, so that a cancel reaches everything it started. A
// watcher thread waits until the program ends and hands its exit to the
// owner through the executor; events therefore always run on the thread
// that pumps that executor.
//
// A runner that ends descendants (SetEndsDescendants) also follows what the
// program starts, also what leaves its process group or session or loses
// its parent: while the program runs this process is the child subreaper,
// the program's descendants count in FamilyResidentBytes, a cancel reaches
// them, and when the program ends they are ended and reaped before
// OnTerminated fires. Other children of this process are never signalled or
// reaped by the runner.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "components/executor.h"

namespace components {

// Finds the file a program name stands for as Run does: a name with "/" as
// it is (a relative one against the current folder), any other on PATH.
// False when there is no executable file of that name (`errorNumber` says
// why). `searchPath` stands in for PATH when given.
bool ResolveProgram(const std::string& program, std::string& path, int& errorNumber,
                    const char* searchPath = nullptr);

class TAppRunner {
public:
    using TNotifyEvent = std::function<void(TAppRunner&)>;

    // What `ExitCode` holds before the first run ends. It is only a starting
    // value: whether the program still runs is `Running`, never this number.
    static constexpr int StillActive = 259;
    // A run that a signal ended reports this plus the signal number, as
    // shells do.
    static constexpr int SignalExitBase = 128;

    // The executor must outlive the runner.
    explicit TAppRunner(IExecutor& executor);
    // Destroying the runner while a program runs ends that program's process
    // group (a polite signal first, then a kill) and reaps it; no event fires.
    ~TAppRunner();
    TAppRunner(const TAppRunner&) = delete;
    TAppRunner& operator=(const TAppRunner&) = delete;

    // The program to start; empty takes the first element of `CommandLine`.
    // A name without "/" is looked up on PATH; a relative path is taken from
    // the caller's current folder, not from `CurrentDirectory`.
    const std::string& ApplicationName() const { return applicationName_; }
    void SetApplicationName(std::string name) { applicationName_ = std::move(name); }
    // The program's argument vector, element 0 being the name the program
    // sees. Every element reaches the program verbatim.
    const std::vector<std::string>& CommandLine() const { return commandLine_; }
    void SetCommandLine(std::vector<std::string> argv) { commandLine_ = std::move(argv); }
    // Working folder of the program; empty keeps the caller's.
    const std::string& CurrentDirectory() const { return currentDirectory_; }
    void SetCurrentDirectory(std::string folder) { currentDirectory_ = std::move(folder); }
    // Time a cancelled or abandoned program gets to end after the polite
    // signal before its process group is killed.
    std::chrono::milliseconds KillGrace() const { return killGrace_; }
    void SetKillGrace(std::chrono::milliseconds grace) { killGrace_ = grace; }
    // Whether the program's descendants end with it (see above); off by
    // default. Takes effect at the next Run.
    bool EndsDescendants() const { return endsDescendants_; }
    void SetEndsDescendants(bool ends) { endsDescendants_ = ends; }
    // The name of the environment entry by which the program's descendants
    // are known; its value is unique to each run.
    static constexpr const char* FamilyVariable = "BRINDLE_RUN_FAMILY";

    // A program on this platform has no "waiting for input" state that can be
    // observed, so OnIdle never fires and IdleReported stays false. Kept so
    // that owners written for both kinds of platform compile unchanged.
    TNotifyEvent OnIdle;
    // Fires once per run, on the executor's thread, after Terminated and
    // ExitCode are set. It must not destroy the runner.
    TNotifyEvent OnTerminated;

    // Starts the program. Terminated and ExitCode are reset first (to false
    // and StillActive), whether or not the program starts. False when it
    // cannot be started or a program of this runner still runs; LastError
    // then says why and nothing else changes.
    bool Run();
    // Ends the running program's process group (and, when it ends
    // descendants, every one of them): SIGTERM, then SIGKILL after KillGrace
    // (at once on a second call). OnTerminated still fires, with 128 + the
    // signal number unless the program chose its own exit code. False when
    // no program runs.
    bool Cancel();

    // From a successful Run until OnTerminated has been delivered.
    bool Running() const { return running_; }
    bool Terminated() const { return terminated_; }
    bool IdleReported() const { return false; }
    // The exit code of the last run that ended: the program's exit status,
    // or 128 + the signal number when a signal ended it.
    int ExitCode() const { return exitCode_; }
    // Process id (and process-group id) of the running program; 0 when none.
    pid_t ProcessId() const;
    // The resident memory of the running program and, when it ends
    // descendants, of all of them, as last looked at (a fraction of a second
    // ago); 0 when no program runs.
    std::uint64_t FamilyResidentBytes() const;

    const std::string& LastError() const { return lastError_; }
    // The errno of the last failed Run (0 when it failed for another reason).
    int LastErrorNumber() const { return lastErrorNumber_; }

    // The exit code for a status reported by waitpid.
    static int ExitCodeFromWaitStatus(int status);

private:
    struct Shared;

    bool Fail(std::string message, int errorNumber);
    void JoinHelpers();
    void Finish(int exitCode);
    static void Watch(std::shared_ptr<Shared> shared, pid_t pid, IExecutor* executor,
                      TAppRunner* runner);

    IExecutor& executor_;
    std::string applicationName_;
    std::vector<std::string> commandLine_;
    std::string currentDirectory_;
    std::chrono::milliseconds killGrace_{1000};
    bool endsDescendants_ = false;

    bool running_ = false;
    bool terminated_ = false;
    bool cancelled_ = false;
    int exitCode_ = StillActive;
    std::string lastError_;
    int lastErrorNumber_ = 0;

    std::shared_ptr<Shared> shared_;
    std::thread watcher_;
    std::thread escalation_;
};

} // namespace components
