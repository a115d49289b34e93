#pragma once
// The logic of the folder picker (components/ui/formdirsel.h): which folder
// of the tree a typed path selects.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {
class DriveMap;
}

namespace components {

using TFolderTest = std::function<bool(const std::string& path)>;

// The typed path without its trailing separator when that is an existing
// folder, else the nearest existing folder above it; nullopt when no part of
// the path exists. Paths are native (UTF-8, "/" between folders).
std::optional<std::string> DeepestExistingFolder(std::string_view typed,
                                                 const TFolderTest& isFolder);
// A typed path that starts with a drive letter as a native path through the
// drive map: a lone letter, with or without its colon, is the drive's root;
// "C:\Apps" the folder on it. Any other text (and an unmapped letter)
// comes back as typed.
std::string TypedFolderPath(std::string_view typed, const platform::DriveMap& drives);
// The typed path (drive letters through the process's drive map) against
// the file system.
std::optional<std::string> DeepestExistingFolder(std::string_view typed);

} // namespace components
