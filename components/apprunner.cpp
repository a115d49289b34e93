#include "components/apprunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>

#include "components/processfamily.h"
#include "platform/processmemory.h"
#include "platform/processtree.h"

extern char** environ;

namespace components {

namespace {

// How often the program's descendants are looked for while it runs.
constexpr std::chrono::milliseconds kFamilyInterval{50};
// How long ending them may take after their grace (a process in an
// uninterruptible wait cannot be ended at once).
constexpr std::chrono::milliseconds kFamilyEndLimit{5000};

} // namespace

struct TAppRunner::Shared {
    std::mutex mutex;
    std::condition_variable exitedChanged;
    pid_t pid = 0;
    // Set once the program has ended, before it is reaped: while it is unset
    // the process id cannot have been reused, so signalling the group is safe.
    bool exited = false;
    bool abandoned = false;
    // SIGKILL was sent: the descendants get no more grace.
    bool killing = false;
    // Cleared on the owner's thread when the runner goes away, so that an
    // exit report already queued on the executor finds nobody to tell.
    std::atomic<bool> alive{true};
    // Set before the watcher starts and not changed after: the program's
    // descendants, and this process's time as their subreaper (ended by the
    // watcher once they are gone).
    std::shared_ptr<TProcessFamily> family;
    std::unique_ptr<platform::TChildSubreaperScope> subreaper;
    std::chrono::milliseconds grace{0};

    void Signal(int signalNumber) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (pid > 0 && !exited)
                ::kill(-pid, signalNumber);
            killing = killing || signalNumber == SIGKILL;
        }
        if (family)
            family->Signal(signalNumber);
    }
    bool WaitExited(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex);
        return exitedChanged.wait_for(lock, timeout, [this] { return exited; });
    }
};

namespace {

std::string ErrorText(int errorNumber) {
    return std::error_code(errorNumber, std::generic_category()).message();
}

bool IsExecutableFile(const std::string& path, int& errorNumber) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        errorNumber = errno;
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        errorNumber = EACCES;
        return false;
    }
    if (::access(path.c_str(), X_OK) != 0) {
        errorNumber = errno;
        return false;
    }
    return true;
}

} // namespace

// The working folder of the child changes before the program is loaded, so
// relative names are fixed here, against the caller's folder, where the user
// meant them.
bool ResolveProgram(const std::string& program, std::string& path, int& errorNumber,
                    const char* searchPathValue) {
    if (program.find('/') != std::string::npos) {
        path = program;
        if (program[0] != '/') {
            std::string cwd(4096, '\0');
            if (::getcwd(cwd.data(), cwd.size()) == nullptr) {
                errorNumber = errno;
                return false;
            }
            cwd.resize(cwd.find('\0'));
            path = cwd + "/" + program;
        }
        return IsExecutableFile(path, errorNumber);
    }
    const char* pathVariable = searchPathValue ? searchPathValue : std::getenv("PATH");
    const std::string searchPath = pathVariable ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    errorNumber = ENOENT;
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string::npos)
            end = searchPath.size();
        std::string folder = searchPath.substr(start, end - start);
        if (folder.empty())
            folder = ".";
        const std::string candidate = folder + "/" + program;
        int candidateError = 0;
        if (IsExecutableFile(candidate, candidateError)) {
            if (candidate[0] != '/')
                return ResolveProgram(candidate, path, errorNumber);
            path = candidate;
            return true;
        }
        // A file that is there but cannot be run tells more than "not found".
        if (candidateError != ENOENT && candidateError != ENOTDIR)
            errorNumber = candidateError;
        start = end + 1;
    }
    return false;
}

namespace {

class SpawnSetup {
public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions);
        ::posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    int Prepare(const std::string& folder) {
        if (int rc = ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null",
                                                        O_RDONLY, 0))
            return rc;
        // Nothing of ours but the three standard streams reaches the child.
        if (int rc = ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1))
            return rc;
        if (!folder.empty())
            if (int rc = ::posix_spawn_file_actions_addchdir_np(&actions, folder.c_str()))
                return rc;
        // The child leads a new process group (id = its pid) with a clean
        // signal state, whatever the calling thread had blocked or ignored.
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int s : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGCHLD, SIGUSR1, SIGUSR2,
                      SIGTSTP, SIGTTIN, SIGTTOU})
            sigaddset(&defaults, s);
        if (int rc = ::posix_spawnattr_setpgroup(&attributes, 0))
            return rc;
        if (int rc = ::posix_spawnattr_setsigmask(&attributes, &none))
            return rc;
        if (int rc = ::posix_spawnattr_setsigdefault(&attributes, &defaults))
            return rc;
        return ::posix_spawnattr_setflags(
            &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

} // namespace

TAppRunner::TAppRunner(IExecutor& executor) : executor_(executor) {}

TAppRunner::~TAppRunner() {
    if (shared_) {
        shared_->alive = false;
        if (watcher_.joinable()) {
            {
                std::lock_guard<std::mutex> lock(shared_->mutex);
                shared_->abandoned = true;
            }
            shared_->Signal(SIGTERM);
            if (!shared_->WaitExited(killGrace_))
                shared_->Signal(SIGKILL);
        }
    }
    JoinHelpers();
}

pid_t TAppRunner::ProcessId() const {
    if (!running_ || !shared_)
        return 0;
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->pid;
}

std::uint64_t TAppRunner::FamilyResidentBytes() const {
    if (!running_ || !shared_)
        return 0;
    if (shared_->family)
        return shared_->family->ResidentBytes();
    return platform::ProcessResidentBytes(ProcessId());
}

bool TAppRunner::Fail(std::string message, int errorNumber) {
    lastError_ = std::move(message);
    lastErrorNumber_ = errorNumber;
    return false;
}

void TAppRunner::JoinHelpers() {
    if (escalation_.joinable())
        escalation_.join();
    if (watcher_.joinable())
        watcher_.join();
}

int TAppRunner::ExitCodeFromWaitStatus(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return SignalExitBase + WTERMSIG(status);
    return -1;
}

bool TAppRunner::Run() {
    if (running_)
        return Fail("A program started earlier is still running", 0);
    // A new run forgets the last one's end before it starts, so that a run
    // that cannot start never leaves the previous program's result standing.
    terminated_ = false;
    exitCode_ = StillActive;
    const std::string program = !applicationName_.empty()
                                    ? applicationName_
                                    : (commandLine_.empty() ? std::string() : commandLine_[0]);
    if (program.empty())
        return Fail("No program to run", 0);

    std::string path;
    int errorNumber = 0;
    if (!ResolveProgram(program, path, errorNumber))
        return Fail("Cannot run \"" + program + "\": " + ErrorText(errorNumber), errorNumber);
    if (!currentDirectory_.empty()) {
        struct stat info {};
        const int folderError = ::stat(currentDirectory_.c_str(), &info) != 0 ? errno
                                : !S_ISDIR(info.st_mode)                      ? ENOTDIR
                                                                              : 0;
        if (folderError != 0) {
            return Fail("Cannot run \"" + program + "\" in the folder \"" + currentDirectory_ +
                            "\": " + ErrorText(folderError),
                        folderError);
        }
    }

    // The previous run has been delivered; its threads have nothing left to do.
    JoinHelpers();

    std::vector<std::string> argvStrings = commandLine_;
    if (argvStrings.empty())
        argvStrings.push_back(program);
    std::vector<char*> argv;
    argv.reserve(argvStrings.size() + 1);
    for (auto& argument : argvStrings)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // The program and what it starts carry an entry of their own in the
    // environment, by which an orphan handed back to this process is known.
    std::string marker;
    std::vector<char*> envp;
    std::unique_ptr<platform::TChildSubreaperScope> subreaper;
    if (endsDescendants_) {
        static std::atomic<unsigned> runs{0};
        const std::string prefix = std::string(FamilyVariable) + "=";
        marker = prefix + std::to_string(::getpid()) + "-" + std::to_string(++runs);
        for (char** entry = environ; entry && *entry; ++entry)
            if (std::strncmp(*entry, prefix.c_str(), prefix.size()) != 0)
                envp.push_back(*entry);
        envp.push_back(marker.data());
        envp.push_back(nullptr);
        // Before the start: an orphan the program makes at once comes back too.
        subreaper = std::make_unique<platform::TChildSubreaperScope>();
    }

    SpawnSetup setup;
    if (int rc = setup.Prepare(currentDirectory_))
        return Fail("Cannot run \"" + program + "\": " + ErrorText(rc), rc);
    pid_t pid = 0;
    if (int rc = ::posix_spawn(&pid, path.c_str(), &setup.actions, &setup.attributes, argv.data(),
                               endsDescendants_ ? envp.data() : environ))
        return Fail("Cannot run \"" + program + "\": " + ErrorText(rc), rc);

    auto shared = std::make_shared<Shared>();
    shared->pid = pid;
    shared->grace = killGrace_;
    if (endsDescendants_) {
        shared->family = std::make_shared<TProcessFamily>(pid, marker);
        shared->subreaper = std::move(subreaper);
    }
    try {
        watcher_ = std::thread(&TAppRunner::Watch, shared, pid, &executor_, this);
    } catch (const std::system_error& error) {
        // Without a watcher nobody would ever reap the child.
        ::kill(-pid, SIGKILL);
        int status = 0;
        while (::waitpid(pid, &status, 0) == -1 && errno == EINTR) {
        }
        if (shared->family)
            shared->family->EndDescendants(std::chrono::milliseconds(0), kFamilyEndLimit);
        return Fail("Cannot watch \"" + program + "\": " + error.what(), error.code().value());
    }
    shared_ = std::move(shared);
    running_ = true;
    cancelled_ = false;
    lastError_.clear();
    lastErrorNumber_ = 0;
    return true;
}

bool TAppRunner::Cancel() {
    if (!running_ || !shared_)
        return false;
    if (cancelled_) {
        shared_->Signal(SIGKILL);
        return true;
    }
    cancelled_ = true;
    shared_->Signal(SIGTERM);
    if (!escalation_.joinable()) {
        try {
            escalation_ = std::thread([shared = shared_, grace = killGrace_] {
                if (!shared->WaitExited(grace))
                    shared->Signal(SIGKILL);
            });
        } catch (const std::system_error&) {
            shared_->Signal(SIGKILL);
        }
    }
    return true;
}

namespace {

// Keeps the family's picture fresh until the program ends (without reaping
// it), so that a descendant is known before it can lose its parent.
void FollowUntilEnded(pid_t pid, TProcessFamily& family) {
    const int fd = platform::OpenProcessDescriptor(pid);
    for (;;) {
        family.Refresh();
        if (fd >= 0) {
            pollfd ready{fd, POLLIN, 0};
            const int rc = ::poll(&ready, 1, static_cast<int>(kFamilyInterval.count()));
            if (rc > 0 || (rc < 0 && errno != EINTR))
                break;
            continue;
        }
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT | WNOHANG) != 0 &&
            errno != EINTR)
            break;
        if (info.si_pid == pid)
            break;
        std::this_thread::sleep_for(kFamilyInterval);
    }
    if (fd >= 0)
        ::close(fd);
}

} // namespace

void TAppRunner::Watch(std::shared_ptr<Shared> shared, pid_t pid, IExecutor* executor,
                       TAppRunner* runner) {
    if (shared->family)
        FollowUntilEnded(pid, *shared->family);
    // Wait without reaping first: the group may be signalled until the flag is
    // set, and an unreaped child keeps its id from being reused.
    siginfo_t info{};
    int rc;
    do {
        rc = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
    } while (rc == -1 && errno == EINTR);
    bool killing;
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->exited = true;
        killing = shared->killing;
    }
    if (shared->family) {
        // Nothing the program started outlives its end.
        const auto grace = killing ? std::chrono::milliseconds(0) : shared->grace;
        shared->family->EndDescendants(grace, grace + kFamilyEndLimit);
        shared->subreaper.reset();
    }
    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(pid, &status, 0);
    } while (reaped == -1 && errno == EINTR);
    const int exitCode = reaped == pid ? ExitCodeFromWaitStatus(status) : -1;
    shared->exitedChanged.notify_all();

    bool abandoned;
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        abandoned = shared->abandoned;
    }
    if (abandoned)
        return;
    executor->Post([shared, runner, exitCode] {
        if (shared->alive)
            runner->Finish(exitCode);
    });
}

void TAppRunner::Finish(int exitCode) {
    running_ = false;
    terminated_ = true;
    exitCode_ = exitCode;
    if (OnTerminated)
        OnTerminated(*this);
}

} // namespace components
