#include "components/dirsel.h"

#include <filesystem>
#include <system_error>

#include "platform/pathnames.h"

namespace components {

std::optional<std::string> DeepestExistingFolder(std::string_view typed,
                                                 const TFolderTest& isFolder) {
    using platform::kNativeSeparators;
    std::string path = platform::ExcludeTrailingSeparator(typed, kNativeSeparators);
    while (!path.empty()) {
        if (isFolder(path))
            return path;
        std::string parent = platform::ExcludeTrailingSeparator(
            platform::ExtractFilePath(path, kNativeSeparators), kNativeSeparators);
        if (parent == path)
            break;
        path = std::move(parent);
    }
    return std::nullopt;
}

std::optional<std::string> DeepestExistingFolder(std::string_view typed) {
    return DeepestExistingFolder(typed, [](const std::string& path) {
        std::error_code error;
        return std::filesystem::is_directory(std::filesystem::path(path), error);
    });
}

} // namespace components
