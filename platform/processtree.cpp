#include "platform/processtree.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace platform {

namespace {

std::uint64_t PageSize() {
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::uint64_t>(size) : 4096;
}

// Reads a whole small file of /proc into `buffer`; the byte count, or -1.
ssize_t ReadProcFile(const std::string& path, char* buffer, std::size_t size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return static_cast<ssize_t>(done);
}

// /proc/PID/stat. The command name (field 2) may hold blanks and
// parentheses, so the fields are counted from its last ")": field 3 is the
// state, 4 the parent, 5 the process group, 22 the start time, 24 the
// resident pages.
std::optional<TProcessEntry> ParseStat(pid_t pid, const char* text) {
    const char* p = std::strrchr(text, ')');
    if (!p)
        return std::nullopt;
    ++p;
    TProcessEntry entry;
    entry.Pid = pid;
    int field = 2;
    bool complete = false;
    while (*p && !complete) {
        while (*p == ' ')
            ++p;
        if (!*p)
            break;
        ++field;
        char* end = nullptr;
        switch (field) {
        case 3:
            entry.State = *p;
            break;
        case 4:
            entry.ParentPid = static_cast<pid_t>(std::strtol(p, &end, 10));
            break;
        case 5:
            entry.Group = static_cast<pid_t>(std::strtol(p, &end, 10));
            break;
        case 22:
            entry.StartTime = std::strtoull(p, &end, 10);
            break;
        case 24:
            entry.ResidentBytes = std::strtoull(p, &end, 10) * PageSize();
            complete = true;
            break;
        default:
            break;
        }
        while (*p && *p != ' ')
            ++p;
    }
    if (!complete)
        return std::nullopt;
    return entry;
}

std::optional<TProcessEntry> ReadProcessNamed(pid_t pid, const char* name) {
    char buffer[1024];
    const ssize_t n =
        ReadProcFile(std::string("/proc/") + name + "/stat", buffer, sizeof buffer - 1);
    if (n <= 0)
        return std::nullopt;
    buffer[n] = '\0';
    return ParseStat(pid, buffer);
}

} // namespace

std::optional<TProcessEntry> ReadProcess(pid_t pid) {
    if (pid <= 0)
        return std::nullopt;
    return ReadProcessNamed(pid, std::to_string(pid).c_str());
}

std::vector<TProcessEntry> ListProcesses() {
    std::vector<TProcessEntry> processes;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return processes;
    while (const dirent* item = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(item->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        if (auto entry = ReadProcessNamed(static_cast<pid_t>(pid), item->d_name))
            processes.push_back(*entry);
    }
    ::closedir(proc);
    return processes;
}

bool ProcessEnvironmentHas(pid_t pid, std::string_view wanted) {
    const int fd =
        ::open(("/proc/" + std::to_string(pid) + "/environ").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Entries are read one buffer at a time; one that spans two buffers is
    // carried over. Nothing longer than the wanted entry needs keeping.
    std::string entry;
    bool found = false;
    bool tooLong = false;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n && !found; ++i) {
            if (buffer[i] == '\0') {
                found = !tooLong && entry == wanted;
                entry.clear();
                tooLong = false;
            } else if (entry.size() <= wanted.size()) {
                entry += buffer[i];
            } else {
                tooLong = true;
            }
        }
        if (found)
            break;
    }
    ::close(fd);
    return found || (!tooLong && !entry.empty() && entry == wanted);
}

int OpenProcessDescriptor(pid_t pid) {
    return pid > 0 ? static_cast<int>(::syscall(SYS_pidfd_open, pid, 0u)) : -1;
}

bool SignalProcess(pid_t pid, std::uint64_t startTime, int signalNumber) {
    if (pid <= 0)
        return false;
    // Held open, the descriptor keeps naming the process it was opened on;
    // the start time then shows that this is the one meant.
    const int fd = OpenProcessDescriptor(pid);
    if (fd < 0 && errno != ENOSYS)
        return false;
    const auto now = ReadProcess(pid);
    bool sent = false;
    if (now && now->StartTime == startTime)
        sent = fd >= 0 ? ::syscall(SYS_pidfd_send_signal, fd, signalNumber, nullptr, 0u) == 0
                       : ::kill(pid, signalNumber) == 0;
    if (fd >= 0)
        ::close(fd);
    return sent;
}

namespace {

std::mutex subreaperMutex;
int subreaperScopes = 0;
int subreaperBefore = 0;

} // namespace

TChildSubreaperScope::TChildSubreaperScope() {
    std::lock_guard<std::mutex> lock(subreaperMutex);
    if (subreaperScopes++ > 0)
        return;
    int before = 0;
    if (::prctl(PR_GET_CHILD_SUBREAPER, &before, 0, 0, 0) != 0)
        before = 0;
    subreaperBefore = before;
    ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);
}

TChildSubreaperScope::~TChildSubreaperScope() {
    std::lock_guard<std::mutex> lock(subreaperMutex);
    if (--subreaperScopes > 0)
        return;
    ::prctl(PR_SET_CHILD_SUBREAPER, subreaperBefore, 0, 0, 0);
}

bool IsChildSubreaper() {
    int value = 0;
    return ::prctl(PR_GET_CHILD_SUBREAPER, &value, 0, 0, 0) == 0 && value != 0;
}

} // namespace platform
