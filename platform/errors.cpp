#include "platform/errors.h"

#include <cstring>

namespace platform {

std::string SystemErrorMessage(std::string_view what, const std::filesystem::path& path, int err) {
    std::string message(what);
    if (!path.empty()) {
        message += " \"";
        message += path.string();
        message += "\"";
    }
    if (err != 0) {
        message += ": ";
        message += std::strerror(err);
    }
    return message;
}

void ThrowSystemError(std::string_view what, const std::filesystem::path& path, int err) {
    throw PlatformError(SystemErrorMessage(what, path, err));
}

} // namespace platform
