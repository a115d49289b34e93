#pragma once
// The processes of the machine as /proc shows them, for following what a
// started program starts in turn: every process knows its parent, and a
// process that loses its parent is handed to the nearest "child subreaper"
// among its ancestors (else to init). A program that keeps track of what it
// starts becomes that subreaper for as long as it needs to.
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

struct TProcessEntry {
    pid_t Pid = 0;
    pid_t ParentPid = 0;
    pid_t Group = 0;
    char State = '?'; // 'Z' for a process that ended and waits to be reaped
    // Clock ticks from boot to the process's start: with the id it names one
    // process, also once the id has been given to another one.
    std::uint64_t StartTime = 0;
    std::uint64_t ResidentBytes = 0;
};

// The process `pid`; nullopt when there is none (or /proc does not say).
std::optional<TProcessEntry> ReadProcess(pid_t pid);

// Every process /proc shows; those that end while they are read are left out.
std::vector<TProcessEntry> ListProcesses();

// Whether the environment a process started with holds `entry`
// ("NAME=value", exactly). False when it cannot be read (another user's
// process, one that is gone).
bool ProcessEnvironmentHas(pid_t pid, std::string_view entry);

// A descriptor that stays bound to the process `pid` (it never passes to a
// process that gets the id later) and becomes readable when that process
// ends; -1 when there is no such process or the system has no such
// descriptors (errno says which). The caller closes it.
int OpenProcessDescriptor(pid_t pid);

// Sends `signalNumber` to the process `pid` only while it is still the one
// that started at `startTime`, so that an id given to a new process is never
// signalled. False when that process is gone.
bool SignalProcess(pid_t pid, std::uint64_t startTime, int signalNumber);

// While one of these lives, this process is the child subreaper: processes
// that lose their parent below it come to it rather than to init, and it
// must reap them. Scopes nest and may live on several threads; the last one
// to end restores what the process had before the first.
class TChildSubreaperScope {
public:
    TChildSubreaperScope();
    ~TChildSubreaperScope();
    TChildSubreaperScope(const TChildSubreaperScope&) = delete;
    TChildSubreaperScope& operator=(const TChildSubreaperScope&) = delete;
};

// Whether this process is the child subreaper now.
bool IsChildSubreaper();

} // namespace platform
