#include "components/executor.h"

#include <utility>

namespace components {

void TQueuedExecutor::Post(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_all();
}

std::size_t TQueuedExecutor::RunPending() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        batch.swap(tasks_);
    }
    for (auto& task : batch)
        task();
    return batch.size();
}

bool TQueuedExecutor::RunOne(std::chrono::milliseconds timeout) {
    std::function<void()> task;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!posted_.wait_for(lock, timeout, [this] { return !tasks_.empty(); }))
            return false;
        task = std::move(tasks_.front());
        tasks_.pop_front();
    }
    task();
    return true;
}

bool TQueuedExecutor::PumpUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return done();
        RunOne(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now));
    }
    return true;
}

std::size_t TQueuedExecutor::PendingCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return tasks_.size();
}

} // namespace components
