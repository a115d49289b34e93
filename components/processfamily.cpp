#include "components/processfamily.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <thread>

namespace components {

namespace {

bool Ended(const platform::TProcessEntry& process) {
    return process.State == 'Z' || process.State == 'X';
}

} // namespace

TProcessFamily::TProcessFamily(pid_t root, std::string marker)
    : self_(::getpid()), root_(root, 0), marker_(std::move(marker)) {
    if (const auto entry = platform::ReadProcess(root))
        root_.second = entry->StartTime;
    known_.insert(root_);
}

void TProcessFamily::Refresh() {
    std::lock_guard<std::mutex> lock(mutex_);
    RefreshLocked();
}

void TProcessFamily::RefreshLocked() {
    const std::vector<platform::TProcessEntry> processes = platform::ListProcesses();
    std::multimap<pid_t, const platform::TProcessEntry*> children;
    std::vector<const platform::TProcessEntry*> found;
    std::set<TIdentity> strangers;
    for (const platform::TProcessEntry& process : processes) {
        const TIdentity identity{process.Pid, process.StartTime};
        children.emplace(process.ParentPid, &process);
        // The program's process group cannot pass to another while the
        // program is not reaped: what is in it is the program's, even a
        // process that ended before it was seen.
        if (known_.count(identity) || process.Group == root_.first) {
            found.push_back(&process);
        } else if (process.ParentPid == self_ && process.Pid != root_.first) {
            // An orphan handed to this process, or a child of its own that
            // has nothing to do with the program: only the marker tells.
            if (strangers_.count(identity)) {
                strangers.insert(identity);
            } else if (platform::ProcessEnvironmentHas(process.Pid, marker_)) {
                found.push_back(&process);
            } else {
                strangers.insert(identity);
            }
        }
    }
    strangers_ = std::move(strangers);
    // Whatever a member started is a member, down to the last generation.
    std::set<TIdentity> members;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (!members.insert({found[i]->Pid, found[i]->StartTime}).second)
            continue;
        const auto [first, last] = children.equal_range(found[i]->Pid);
        for (auto it = first; it != last; ++it)
            found.push_back(it->second);
    }
    members_.clear();
    for (const platform::TProcessEntry* process : found)
        if (members.erase({process->Pid, process->StartTime}))
            members_.push_back(*process);
    known_.clear();
    known_.insert(root_);
    for (const platform::TProcessEntry& member : members_)
        known_.insert({member.Pid, member.StartTime});
}

std::uint64_t TProcessFamily::ResidentBytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::uint64_t bytes = 0;
    for (const platform::TProcessEntry& member : members_)
        bytes += member.ResidentBytes;
    return bytes;
}

std::vector<pid_t> TProcessFamily::LivingDescendants() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<pid_t> pids;
    for (const platform::TProcessEntry& member : members_)
        if (member.Pid != root_.first && !Ended(member))
            pids.push_back(member.Pid);
    return pids;
}

void TProcessFamily::Signal(int signalNumber) {
    std::lock_guard<std::mutex> lock(mutex_);
    RefreshLocked();
    SignalLocked(signalNumber, true);
}

void TProcessFamily::SignalLocked(int signalNumber, bool includeRoot) {
    for (const platform::TProcessEntry& member : members_)
        if ((includeRoot || member.Pid != root_.first) && !Ended(member))
            platform::SignalProcess(member.Pid, member.StartTime, signalNumber);
}

bool TProcessFamily::ReapLocked() {
    bool reaped = false;
    for (const platform::TProcessEntry& member : members_) {
        // Only an ended member whose parent is this process: its id cannot
        // pass to another process before it is reaped, and nobody else here
        // waits for it (the program itself is its runner's).
        if (member.Pid == root_.first || member.ParentPid != self_ || !Ended(member))
            continue;
        int status = 0;
        pid_t done;
        do {
            done = ::waitpid(member.Pid, &status, WNOHANG);
        } while (done < 0 && errno == EINTR);
        reaped = reaped || done == member.Pid;
    }
    return reaped;
}

bool TProcessFamily::EndDescendants(std::chrono::milliseconds grace,
                                    std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto politeUntil = start + grace;
    const auto giveUpAt = start + std::max(grace, limit);
    bool polite = grace.count() > 0;
    std::unique_lock<std::mutex> lock(mutex_);
    RefreshLocked();
    if (polite)
        SignalLocked(SIGTERM, false);
    for (;;) {
        ReapLocked();
        RefreshLocked();
        const bool left = std::any_of(members_.begin(), members_.end(), [this](const auto& member) {
            return member.Pid != root_.first;
        });
        if (!left)
            return true;
        const auto now = Clock::now();
        if (now >= giveUpAt)
            return false;
        if (polite && now >= politeUntil)
            polite = false;
        // A member that started another while the signal was on its way is
        // found by the next pass and signalled too.
        if (!polite)
            SignalLocked(SIGKILL, false);
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(polite ? 10 : 2));
        lock.lock();
    }
}

} // namespace components
