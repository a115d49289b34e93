#include "platform/diagnostics.h"

#include <mutex>
#include <utility>

namespace platform {

namespace {

std::mutex& HandlerMutex() {
    static std::mutex mutex;
    return mutex;
}

TWarningHandler& Handler() {
    static TWarningHandler handler;
    return handler;
}

} // namespace

TWarningHandler SetWarningHandler(TWarningHandler handler) {
    std::lock_guard<std::mutex> lock(HandlerMutex());
    return std::exchange(Handler(), std::move(handler));
}

void Warn(const std::string& text) {
    TWarningHandler handler;
    {
        std::lock_guard<std::mutex> lock(HandlerMutex());
        handler = Handler();
    }
    if (handler)
        handler(text);
}

} // namespace platform
