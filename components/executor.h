#pragma once
// Hands work from a worker thread to the thread that owns an object. The Qt
// adapter queues onto the main thread's event loop; batch runs and tests use
// TQueuedExecutor and pump it themselves.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace components {

class IExecutor {
public:
    virtual ~IExecutor() = default;
    // May be called from any thread; the task runs later on the owner's thread.
    virtual void Post(std::function<void()> task) = 0;
};

// A thread-safe queue of tasks that the owner's thread runs when it pumps.
class TQueuedExecutor : public IExecutor {
public:
    void Post(std::function<void()> task) override;

    // Runs every task queued so far (not those they post); returns how many ran.
    std::size_t RunPending();
    // Waits up to `timeout` for one task and runs it; false when none came.
    bool RunOne(std::chrono::milliseconds timeout);
    // Pumps until `done()` holds or `timeout` passes; returns `done()`.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    std::size_t PendingCount() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
};

} // namespace components
