#pragma once
// The command-line file-argument normalisation (file: URLs, real names and
// letter case, shortcuts) and the table of the standard shell folders.
#include <string>

namespace platform {
class Registry;
struct SystemRoots;
} // namespace platform

namespace components {

// A file: URL as a path. Percent escapes are decoded ("%00" is refused with
// std::invalid_argument); "+" stays a plus sign. A drive path
// ("file:///C|/x") becomes "C:\x"; a Linux path ("file:///home/x") keeps
// its root and its slashes.
std::string FileUrlToPath(const std::string& url);
// The path with each existing component in the case the file system has
// (matched without regard to case where the exact name does not exist).
std::string LongPathOf(const std::string& path);
// The project argument of the command line as a path: a file: URL decoded,
// a network path kept, a drive-letter path taken through the drive map,
// anything else made absolute with its real names; then a shortcut (".lnk")
// replaced by its target.
std::string NormalizeFileArgument(const std::string& argument);

class TSystemFolders {
public:
    // Reads the shell folders from the registry's "Shell Folders" keys, with
    // defaults below the Windows folder of `roots`.
    TSystemFolders(platform::Registry& registry, const platform::SystemRoots& roots);

    // Each with a trailing separator; the common folders may be empty.
    std::string Windows, Personal, AppData, Desktop, StartMenu, Programs, Startup, SendTo,
        QuickLaunch, CommonAppData, CommonDesktop, CommonStartMenu, CommonPrograms, CommonStartup,
        Temp;
};

} // namespace components
