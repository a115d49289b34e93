#pragma once
// Drives: the mounted file systems of /proc/self/mountinfo with their type,
// label, space and serial, and the drive a path lives on.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class DriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };
const char* DriveTypeName(DriveType type);

// One line of mountinfo, with its escapes (\040 and the like) decoded.
struct MountEntry {
    int mountId = 0;
    int parentId = 0;
    unsigned major = 0;
    unsigned minor = 0;
    std::string root;       // the mount's root inside its file system
    std::string mountPoint; // where it is mounted
    std::string options;
    std::string fsType;
    std::string source; // device or server
    std::string superOptions;
};
// Parses mountinfo text; malformed lines are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);
// Decodes the octal escapes mountinfo uses for blanks, tabs, newlines and "\".
std::string DecodeMountField(std::string_view field);

// The type of a mount from its file-system type, source and the removable
// flag of its block device (nullopt when not a block device or unknown).
DriveType ClassifyMount(const MountEntry& mount, std::optional<bool> blockRemovable);

struct DriveInfo {
    std::filesystem::path root; // the mount point
    std::optional<char> letter; // drive letter when the drive map names this root
    DriveType type = DriveType::Unknown;
    std::string fsType;
    std::string source;
    std::string label;                 // volume label (UTF-8), empty when none
    std::optional<uint64_t> freeBytes; // available to this user
    std::optional<uint64_t> totalBytes;
    std::optional<uint32_t> serial;
};

// Where the drive information comes from; tests point these at fixtures.
struct DriveSources {
    std::filesystem::path mountInfo = "/proc/self/mountinfo";
    std::filesystem::path sysBlock = "/sys/block";
    std::filesystem::path sysDevBlock = "/sys/dev/block";
    std::filesystem::path byLabel = "/dev/disk/by-label";
    std::filesystem::path byUuid = "/dev/disk/by-uuid";
};

// The real drives (pseudo file systems such as proc, sysfs and cgroup left
// out), in mount order.
std::vector<DriveInfo> ListDrives(const DriveSources& sources = {});
// The drive holding `path`: the mount with the longest mount point that
// contains it (after resolving links of the existing part).
std::optional<DriveInfo> DriveOfPath(const std::filesystem::path& path,
                                     const DriveSources& sources = {});
DriveType DriveTypeOfPath(const std::filesystem::path& path, const DriveSources& sources = {});

// Free and total bytes through statvfs; nullopt when it fails.
struct DiskSpace {
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
};
std::optional<DiskSpace> DiskSpaceOf(const std::filesystem::path& path);

// A volume serial from a file-system UUID: a plain "XXXX-XXXX" serial is
// taken as it is; anything else is hashed to 32 bits (FNV-1a of the bytes).
uint32_t SerialFromUuid(std::string_view uuid);
// The serial of the drive holding `path`, or 0xDEADBEEF when unknown.
uint32_t VolumeSerialOfPath(const std::filesystem::path& path, const DriveSources& sources = {});

} // namespace platform
