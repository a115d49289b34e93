#pragma once
// Where the core's warnings go. The core never writes to stderr itself: the
// programs route warnings to their messenger (a window, or stderr in batch
// runs); with no handler installed a warning is dropped.
#include <functional>
#include <string>

namespace platform {

using TWarningHandler = std::function<void(const std::string&)>;

// Installs `handler` for the whole process and returns the previous one.
TWarningHandler SetWarningHandler(TWarningHandler handler);
void Warn(const std::string& text);

// Installs a handler for the life of a scope (tests, nested runs).
class TWarningScope {
public:
    explicit TWarningScope(TWarningHandler handler)
        : previous_(SetWarningHandler(std::move(handler))) {}
    ~TWarningScope() { SetWarningHandler(std::move(previous_)); }
    TWarningScope(const TWarningScope&) = delete;
    TWarningScope& operator=(const TWarningScope&) = delete;

private:
    TWarningHandler previous_;
};

} // namespace platform
