#pragma once
// The processes a started program leads: the program, every process it
// started and every one those started, also one that left the program's
// process group or session (setsid) or lost its parent (a double fork).
// They are found through /proc by their parent (and by the program's
// process group, which holds what it starts unless that leaves). One that lost its parent
// while this process was the child subreaper has this process as its parent
// and is known by an entry of the environment that the program was started
// with and that what it starts inherits.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/processtree.h"

namespace components {

class TProcessFamily {
public:
    // `root`: the started program; `marker`: "NAME=value", an entry of the
    // environment it was started with.
    TProcessFamily(pid_t root, std::string marker);

    // Looks through /proc again: processes whose parent is a member join, so
    // do orphans handed to this process that carry the marker; members that
    // are gone (reaped) leave.
    void Refresh();
    // The resident memory of every member at the last Refresh.
    std::uint64_t ResidentBytes() const;
    // The pids of the members other than the program that have not ended,
    // at the last Refresh.
    std::vector<pid_t> LivingDescendants() const;

    // Sends a signal to every member that has not ended (after a Refresh).
    void Signal(int signalNumber);

    // Ends every member but the program itself (its runner reaps that one):
    // SIGTERM, up to `grace` for them to go, then SIGKILL until none is left,
    // reaping each one that was handed to this process. Gives up after
    // `limit` (a process the kernel holds in an uninterruptible wait cannot
    // be ended at once). True when none is left.
    bool EndDescendants(std::chrono::milliseconds grace, std::chrono::milliseconds limit);

private:
    using TIdentity = std::pair<pid_t, std::uint64_t>; // pid and start time

    void RefreshLocked();
    void SignalLocked(int signalNumber, bool includeRoot);
    // Reaps the members that ended and were handed to this process; true
    // when one was reaped.
    bool ReapLocked();

    mutable std::mutex mutex_;
    const pid_t self_;
    TIdentity root_;
    const std::string marker_;
    std::vector<platform::TProcessEntry> members_;
    std::set<TIdentity> known_;
    // Children of this process already found not to carry the marker.
    std::set<TIdentity> strangers_;
};

} // namespace components
