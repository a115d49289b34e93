#include "components/dirsel.h"

#include <filesystem>
#include <system_error>

#include "platform/pathnames.h"
#include "platform/resolvepath.h"
#include "platform/textutil.h"

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

std::string TypedFolderPath(std::string_view typed, const platform::DriveMap& drives) {
    std::string text = platform::Trim(typed);
    auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    const bool drive = !text.empty() && isLetter(text[0]) && (text.size() == 1 || text[1] == ':');
    if (!drive)
        return std::string(typed);
    // "c" and "c:" name the drive's root.
    if (text.size() == 1)
        text += ':';
    if (text.size() == 2)
        text += '\\';
    try {
        return platform::resolvePath(text, "/", drives).string();
    } catch (const std::exception&) {
        return std::string(typed); // a letter the map does not know
    }
}

std::optional<std::string> DeepestExistingFolder(std::string_view typed) {
    const std::string path = TypedFolderPath(typed, platform::DriveMap::Default());
    return DeepestExistingFolder(path, [](const std::string& path) {
        std::error_code error;
        return std::filesystem::is_directory(std::filesystem::path(path), error);
    });
}

} // namespace components
