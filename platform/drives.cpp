#include "platform/drives.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/resolvepath.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

// File systems that are not drives: kernel interfaces and the like.
const std::set<std::string, std::less<>> kPseudoFileSystems = {
    "proc",      "sysfs",       "cgroup",          "cgroup2", "devpts",   "mqueue",     "debugfs",
    "tracefs",   "securityfs",  "pstore",          "bpf",     "autofs",   "configfs",   "fusectl",
    "hugetlbfs", "binfmt_misc", "devtmpfs",        "nsfs",    "efivarfs", "rpc_pipefs", "selinuxfs",
    "ramfs",     "fuse.portal", "fuse.gvfsd-fuse", "tmpfs",   "squashfs", "overlay",    "shm"};

// File systems reached over a network.
const std::set<std::string, std::less<>> kNetworkFileSystems = {
    "nfs",           "nfs4",       "cifs",           "smb3",           "smbfs",
    "ncpfs",         "afs",        "ceph",           "glusterfs",      "9p",
    "sshfs",         "fuse.sshfs", "fuse.rclone",    "fuse.s3fs",      "fuse.gcsfuse",
    "fuse.davfs",    "davfs",      "fuse.curlftpfs", "fuse.glusterfs", "fuse.cephfs",
    "fuse.smbnetfs", "lustre",     "gpfs",           "beegfs"};

const std::set<std::string, std::less<>> kOpticalFileSystems = {"iso9660", "udf"};

std::string ReadSmallFile(const fs::path& path) {
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    return text;
}

// udev writes unsafe bytes of labels as \xHH.
std::string DecodeUdevName(std::string_view name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            out += static_cast<char>(std::stoi(std::string(name.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

// device path -> name, from a /dev/disk/by-* folder of links.
std::map<std::string, std::string> ReadDiskLinks(const fs::path& folder) {
    std::map<std::string, std::string> byDevice;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return byDevice;
    }
    for (const fs::directory_entry& entry : it) {
        fs::path target = fs::read_symlink(entry.path(), ec);
        if (ec) {
            ec.clear();
            continue;
        }
        if (target.is_relative()) {
            target = (folder / target).lexically_normal();
        }
        byDevice[target.string()] = DecodeUdevName(entry.path().filename().string());
    }
    return byDevice;
}

std::optional<bool> BlockRemovable(const MountEntry& mount, const DriveSources& sources) {
    if (mount.major == 0) {
        return std::nullopt; // not a block device
    }
    const fs::path dev =
        sources.sysDevBlock / (std::to_string(mount.major) + ":" + std::to_string(mount.minor));
    std::error_code ec;
    // A partition has no "removable" of its own; its disk is the parent.
    for (const fs::path& candidate : {dev / "removable", dev / ".." / "removable"}) {
        if (fs::exists(candidate, ec)) {
            return ReadSmallFile(candidate) == "1";
        }
    }
    // Fall back to /sys/block/<name>/removable for a source such as /dev/sdb1.
    std::string name = fs::path(mount.source).filename().string();
    while (!name.empty()) {
        fs::path file = sources.sysBlock / name / "removable";
        if (fs::exists(file, ec)) {
            return ReadSmallFile(file) == "1";
        }
        if (!std::isdigit(static_cast<unsigned char>(name.back()))) {
            break;
        }
        name.pop_back();
        if (!name.empty() && name.back() == 'p') {
            name.pop_back(); // nvme0n1p1 -> nvme0n1
        }
    }
    return std::nullopt;
}

bool IsPseudo(const MountEntry& mount) {
    return kPseudoFileSystems.count(mount.fsType) > 0;
}

bool Contains(const fs::path& folder, const fs::path& path) {
    auto f = folder.begin();
    auto p = path.begin();
    for (; f != folder.end(); ++f, ++p) {
        if (f->empty()) {
            continue; // a trailing separator
        }
        if (p == path.end() || *f != *p) {
            return false;
        }
    }
    return true;
}

DriveInfo Describe(const MountEntry& mount, const DriveSources& sources,
                   const std::map<std::string, std::string>& labels,
                   const std::map<std::string, std::string>& uuids) {
    DriveInfo info;
    info.root = mount.mountPoint;
    info.fsType = mount.fsType;
    info.source = mount.source;
    info.type = ClassifyMount(mount, BlockRemovable(mount, sources));
    std::error_code ec;
    std::string device = mount.source;
    if (!device.empty() && device[0] == '/') {
        fs::path canonical = fs::canonical(device, ec);
        if (!ec) {
            device = canonical.string();
        }
    }
    if (auto it = labels.find(device); it != labels.end()) {
        info.label = it->second;
    }
    if (auto it = uuids.find(device); it != uuids.end()) {
        info.serial = SerialFromUuid(it->second);
    }
    if (std::optional<DiskSpace> space = DiskSpaceOf(info.root)) {
        info.freeBytes = space->freeBytes;
        info.totalBytes = space->totalBytes;
    }
    const DriveMap& drives = DriveMap::Default();
    for (char letter : drives.Letters()) {
        std::optional<fs::path> folder = drives.Get(letter);
        if (folder && folder->lexically_normal() == info.root.lexically_normal()) {
            info.letter = letter;
            break;
        }
    }
    return info;
}

std::vector<MountEntry> ReadMounts(const DriveSources& sources) {
    std::string text;
    try {
        text = ReadFileBytes(sources.mountInfo);
    } catch (const PlatformError&) {
        return {};
    }
    return ParseMountInfo(text);
}

} // namespace

const char* DriveTypeName(DriveType type) {
    switch (type) {
    case DriveType::Unknown:
        return "unknown";
    case DriveType::NoRootDir:
        return "no root folder";
    case DriveType::Removable:
        return "removable";
    case DriveType::Fixed:
        return "fixed";
    case DriveType::Remote:
        return "network";
    case DriveType::CdRom:
        return "CD-ROM";
    case DriveType::RamDisk:
        return "RAM disk";
    }
    return "unknown";
}

std::string DecodeMountField(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;

        std::vector<std::string_view> fields;
        size_t p = 0;
        while (p < line.size()) {
            while (p < line.size() && line[p] == ' ') {
                ++p;
            }
            if (p >= line.size()) {
                break;
            }
            size_t q = line.find(' ', p);
            if (q == std::string_view::npos) {
                q = line.size();
            }
            fields.push_back(line.substr(p, q - p));
            p = q;
        }
        // id parent major:minor root mountpoint options [optional...] - type source superoptions
        auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 6 || dash == fields.end() || dash - fields.begin() < 6 ||
            fields.end() - dash < 3) {
            continue;
        }
        MountEntry m;
        try {
            m.mountId = std::stoi(std::string(fields[0]));
            m.parentId = std::stoi(std::string(fields[1]));
            std::string_view dev = fields[2];
            size_t colon = dev.find(':');
            if (colon == std::string_view::npos) {
                continue;
            }
            m.major = static_cast<unsigned>(std::stoul(std::string(dev.substr(0, colon))));
            m.minor = static_cast<unsigned>(std::stoul(std::string(dev.substr(colon + 1))));
        } catch (const std::exception&) {
            continue;
        }
        m.root = DecodeMountField(fields[3]);
        m.mountPoint = DecodeMountField(fields[4]);
        m.options = std::string(fields[5]);
        m.fsType = DecodeMountField(*(dash + 1));
        m.source = DecodeMountField(*(dash + 2));
        m.superOptions = dash + 3 < fields.end() ? std::string(*(dash + 3)) : std::string();
        mounts.push_back(std::move(m));
    }
    return mounts;
}

DriveType ClassifyMount(const MountEntry& mount, std::optional<bool> blockRemovable) {
    const std::string& fs = mount.fsType;
    if (kOpticalFileSystems.count(fs)) {
        return DriveType::CdRom;
    }
    if (kNetworkFileSystems.count(fs)) {
        return DriveType::Remote;
    }
    // A user-space file system whose source names a server (host:path or
    // //host/share) is a network drive whatever its helper is called.
    if (fs.rfind("fuse", 0) == 0 &&
        (mount.source.rfind("//", 0) == 0 ||
         (mount.source.find(':') != std::string::npos && mount.source[0] != '/'))) {
        return DriveType::Remote;
    }
    if (fs == "tmpfs" || fs == "ramfs") {
        return DriveType::RamDisk;
    }
    if (kPseudoFileSystems.count(fs) && fs != "overlay" && fs != "squashfs") {
        return DriveType::NoRootDir;
    }
    if (blockRemovable.value_or(false)) {
        return DriveType::Removable;
    }
    return DriveType::Fixed;
}

std::vector<DriveInfo> ListDrives(const DriveSources& sources) {
    std::vector<MountEntry> mounts = ReadMounts(sources);
    const auto labels = ReadDiskLinks(sources.byLabel);
    const auto uuids = ReadDiskLinks(sources.byUuid);
    // A folder mounted over hides what was mounted there before: keep the last.
    std::map<std::string, size_t> lastAt;
    for (size_t i = 0; i < mounts.size(); ++i) {
        lastAt[mounts[i].mountPoint] = i;
    }
    std::vector<DriveInfo> drives;
    for (size_t i = 0; i < mounts.size(); ++i) {
        const MountEntry& m = mounts[i];
        if (lastAt[m.mountPoint] != i || (IsPseudo(m) && m.mountPoint != "/")) {
            continue;
        }
        // Single files bound into containers are not drives.
        std::error_code ec;
        if (fs::exists(m.mountPoint, ec) && !fs::is_directory(m.mountPoint, ec)) {
            continue;
        }
        drives.push_back(Describe(m, sources, labels, uuids));
    }
    return drives;
}

std::optional<DriveInfo> DriveOfPath(const fs::path& path, const DriveSources& sources) {
    std::error_code ec;
    fs::path full = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec) {
        full = fs::absolute(path, ec).lexically_normal();
    }
    std::vector<MountEntry> mounts = ReadMounts(sources);
    const MountEntry* best = nullptr;
    size_t bestLength = 0;
    for (const MountEntry& m : mounts) {
        fs::path point(m.mountPoint);
        if (!Contains(point, full)) {
            continue;
        }
        size_t length = m.mountPoint.size();
        if (!best || length >= bestLength) {
            best = &m;
            bestLength = length;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return Describe(*best, sources, ReadDiskLinks(sources.byLabel), ReadDiskLinks(sources.byUuid));
}

DriveType DriveTypeOfPath(const fs::path& path, const DriveSources& sources) {
    std::optional<DriveInfo> drive = DriveOfPath(path, sources);
    return drive ? drive->type : DriveType::NoRootDir;
}

std::optional<DiskSpace> DiskSpaceOf(const fs::path& path) {
    struct statvfs st {};
    if (::statvfs(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    DiskSpace space;
    space.freeBytes = static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
    space.totalBytes = static_cast<uint64_t>(st.f_blocks) * st.f_frsize;
    return space;
}

uint32_t SerialFromUuid(std::string_view uuid) {
    auto allHex = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        });
    };
    // FAT and exFAT: "1234-ABCD" is the serial itself.
    if (uuid.size() == 9 && uuid[4] == '-' && allHex(uuid.substr(0, 4)) && allHex(uuid.substr(5))) {
        return static_cast<uint32_t>(
            std::stoul(std::string(uuid.substr(0, 4)) + std::string(uuid.substr(5)), nullptr, 16));
    }
    // NTFS: a 64-bit serial of which the low 32 bits are the one shown.
    if (uuid.size() == 16 && allHex(uuid)) {
        return static_cast<uint32_t>(std::stoul(std::string(uuid.substr(8)), nullptr, 16));
    }
    uint32_t hash = 2166136261u;
    for (char c : uuid) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

uint32_t VolumeSerialOfPath(const fs::path& path, const DriveSources& sources) {
    std::optional<DriveInfo> drive = DriveOfPath(path, sources);
    if (drive && drive->serial) {
        return *drive->serial;
    }
    return 0xDEADBEEFu;
}

} // namespace platform
