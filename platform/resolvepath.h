#pragma once
// Paths stored in project data are Windows-1252 bytes, perhaps with drive
// letters and backslashes. resolvePath turns them into a Linux path.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct SystemRoots;

// Drive letter -> folder. Loaded from Wine's dosdevices folder when there is
// one ($WINEPREFIX/dosdevices, else ~/.wine/dosdevices), otherwise from the
// configuration file ${XDG_CONFIG_HOME:-~/.config}/vexlor/drives.conf (lines
// "C=/some/folder"); with neither, C: is the root folder.
class DriveMap {
public:
    DriveMap() = default;
    // The process-wide map used by resolvePath when none is given.
    static DriveMap& Default();
    static DriveMap LoadFromEnvironment();
    // The same for the given roots: Wine's dosdevices under $WINEPREFIX
    // (unless the roots are a sandbox) or the roots' home, else the roots'
    // drives.conf, else C: is the root folder.
    static DriveMap LoadFor(const SystemRoots& roots);
    // Reads "X: -> target" links of a dosdevices folder.
    static DriveMap LoadFromDosDevices(const std::filesystem::path& folder);
    // Reads "X=/folder" lines ("#" comments allowed).
    static DriveMap LoadFromConfig(const std::filesystem::path& file);

    void Set(char letter, std::filesystem::path folder);
    void Remove(char letter);
    void Clear();
    std::optional<std::filesystem::path> Get(char letter) const;
    bool Empty() const;
    // Letters in order ('A'..'Z') that are mapped.
    std::string Letters() const;

private:
    std::array<std::optional<std::filesystem::path>, 26> folders_;
};

// Converts `ansiPath` (Windows-1252) to UTF-8, turns `\` into `/`, maps a
// leading "X:" through the drive map (an unmapped letter throws
// PlatformError), resolves a relative name from `base` (the current folder
// when empty), and matches each component ignoring case (Windows-1252 fold)
// when the exact name does not exist. Components that match nothing are kept
// as written, so the result can name a file still to be created.
std::filesystem::path resolvePath(std::string_view ansiPath,
                                  const std::filesystem::path& base = {});
std::filesystem::path resolvePath(std::string_view ansiPath, const std::filesystem::path& base,
                                  const DriveMap& drives);

} // namespace platform
