#pragma once
// The error the platform layer throws. Its message is meant for the user: it
// names the file or key involved and, where an operating-system call failed,
// the system's own explanation.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const std::string& message) : std::runtime_error(message) {}
};

// "<what> "<path>": <strerror(err)>", for failed system calls.
[[noreturn]] void ThrowSystemError(std::string_view what, const std::filesystem::path& path,
                                   int err);
// The same message without throwing (for logs and destructors).
std::string SystemErrorMessage(std::string_view what, const std::filesystem::path& path, int err);

} // namespace platform
