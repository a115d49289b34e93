#include <gtest/gtest.h>

#include <fstream>

#include "platform/drives.h"
#include "platform/tempfolder.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

// A mountinfo as the kernel writes it: optional fields before "-", escaped
// blanks, and a malformed line that must be skipped.
constexpr const char* kMountInfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro\n"
    "23 22 0:21 / /proc rw,nosuid shared:12 - proc proc rw\n"
    "30 22 8:17 / /media/user/My\\040Stick rw,nosuid shared:40 master:2 - vfat /dev/sdb1 rw\n"
    "31 22 11:0 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
    "32 22 0:50 / /mnt/share rw - nfs4 server:/export rw,vers=4.2\n"
    "33 22 0:51 / /mnt/ssh rw - fuse.sshfs user@host:/home rw\n"
    "34 22 0:52 / /mnt/cloud rw - fuse.rclone remote: rw\n"
    "35 22 0:53 / /mnt/win rw - cifs //nas/public rw\n"
    "36 22 0:54 / /tmp rw - tmpfs tmpfs rw\n"
    "37 32 0:50 /sub /mnt/share/deep rw - nfs4 server:/export rw\n"
    "garbage without enough fields\n"
    "38 22 8:2 / /data rw no-dash-here ext4 /dev/sda2 rw\n"
    "39 22 8:3 / /home\\134x\\011y rw - ext4 /dev/sda3 rw\n";

TEST(MountInfo, ParsesFieldsAndEscapes) {
    std::vector<MountEntry> mounts = ParseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 11u);
    EXPECT_EQ(mounts[0].mountId, 22);
    EXPECT_EQ(mounts[0].parentId, 1);
    EXPECT_EQ(mounts[0].major, 8u);
    EXPECT_EQ(mounts[0].minor, 1u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[0].fsType, "ext4");
    EXPECT_EQ(mounts[0].source, "/dev/sda1");
    EXPECT_EQ(mounts[0].superOptions, "rw,errors=remount-ro");
    EXPECT_EQ(mounts[2].mountPoint, "/media/user/My Stick");
    EXPECT_EQ(mounts[2].fsType, "vfat");
    EXPECT_EQ(mounts[9].root, "/sub");
    EXPECT_EQ(mounts[10].mountPoint, "/home\\x\ty");
    EXPECT_EQ(DecodeMountField("a\\040b\\012c\\\\d\\9"), "a b\nc\\\\d\\9");
}

TEST(MountInfo, ClassifiesDriveTypes) {
    std::vector<MountEntry> mounts = ParseMountInfo(kMountInfo);
    struct Case {
        size_t index;
        std::optional<bool> removable;
        DriveType expected;
    } cases[] = {
        {0, false, DriveType::Fixed},
        {0, std::nullopt, DriveType::Fixed},
        {1, std::nullopt, DriveType::NoRootDir},
        {2, true, DriveType::Removable},
        {3, true, DriveType::CdRom},
        {4, std::nullopt, DriveType::Remote},
        {5, std::nullopt, DriveType::Remote},
        {6, std::nullopt, DriveType::Remote},
        {7, std::nullopt, DriveType::Remote},
        {8, std::nullopt, DriveType::RamDisk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(mounts[c.index].mountPoint);
        EXPECT_EQ(ClassifyMount(mounts[c.index], c.removable), c.expected);
    }
    MountEntry localFuse;
    localFuse.fsType = "fuse.encfs";
    localFuse.source = "/home/user/.crypt";
    EXPECT_EQ(ClassifyMount(localFuse, std::nullopt), DriveType::Fixed);
}

TEST(MountInfo, SerialFromUuid) {
    EXPECT_EQ(SerialFromUuid("1234-ABCD"), 0x1234ABCDu);
    EXPECT_EQ(SerialFromUuid("0A1B2C3D4E5F6789"), 0x4E5F6789u);
    const uint32_t a = SerialFromUuid("0b5e3f1c-8f2d-4c6b-9a1e-3d2c1b0a9f8e");
    const uint32_t b = SerialFromUuid("0b5e3f1c-8f2d-4c6b-9a1e-3d2c1b0a9f8f");
    EXPECT_NE(a, b);
    EXPECT_EQ(a, SerialFromUuid("0b5e3f1c-8f2d-4c6b-9a1e-3d2c1b0a9f8e"));
    EXPECT_NE(SerialFromUuid("12345-ABC"), 0x12345ABCu); // not the FAT form: hashed
}

// A fake /sys and /dev/disk: a removable stick (partition 8:17 of disk
// 8:16), labelled "My Stick" with a FAT serial.
class DriveSourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path root = temp.Path();
        fs::create_directories(root / "sys/devices/sdb/sdb1");
        std::ofstream(root / "sys/devices/sdb/removable") << "1\n";
        fs::create_directories(root / "sys/devices/sda/sda1");
        std::ofstream(root / "sys/devices/sda/removable") << "0\n";
        fs::create_directories(root / "sys/dev/block");
        fs::create_symlink("../../devices/sdb/sdb1", root / "sys/dev/block/8:17");
        fs::create_symlink("../../devices/sda/sda1", root / "sys/dev/block/8:1");
        fs::create_directories(root / "dev/disk/by-label");
        fs::create_directories(root / "dev/disk/by-uuid");
        std::ofstream(root / "dev/sdb1") << "";
        std::ofstream(root / "dev/sda1") << "";
        fs::create_symlink("../../sdb1", root / "dev/disk/by-label/My\\x20Stick");
        fs::create_symlink("../../sdb1", root / "dev/disk/by-uuid/1234-ABCD");
        fs::create_symlink("../../sda1",
                           root / "dev/disk/by-uuid/0b5e3f1c-8f2d-4c6b-9a1e-3d2c1b0a9f8e");

        const std::string dev = (root / "dev").string();
        std::ofstream(root / "mountinfo") << "22 1 8:1 / / rw - ext4 " << dev << "/sda1 rw\n"
                                          << "23 22 0:21 / /proc rw - proc proc rw\n"
                                          << "30 22 8:17 / " << (root / "media").string()
                                          << "/My\\040Stick rw - vfat " << dev << "/sdb1 rw\n";
        fs::create_directories(root / "media/My Stick/folder");

        sources.mountInfo = root / "mountinfo";
        sources.sysBlock = root / "sys/block";
        sources.sysDevBlock = root / "sys/dev/block";
        sources.byLabel = root / "dev/disk/by-label";
        sources.byUuid = root / "dev/disk/by-uuid";
    }
    TempFolder temp{"bw-drives"};
    DriveSources sources;
};

TEST_F(DriveSourcesTest, DriveOfPathFindsTheInnermostMount) {
    std::optional<DriveInfo> stick =
        DriveOfPath(temp.Path() / "media/My Stick/folder/file.txt", sources);
    ASSERT_TRUE(stick.has_value());
    EXPECT_EQ(stick->root, temp.Path() / "media/My Stick");
    EXPECT_EQ(stick->type, DriveType::Removable);
    EXPECT_EQ(stick->label, "My Stick");
    EXPECT_EQ(stick->serial, 0x1234ABCDu);
    ASSERT_TRUE(stick->totalBytes.has_value());
    EXPECT_GT(*stick->totalBytes, 0u);

    std::optional<DriveInfo> system = DriveOfPath("/usr/bin", sources);
    ASSERT_TRUE(system.has_value());
    EXPECT_EQ(system->root, fs::path("/"));
    EXPECT_EQ(system->type, DriveType::Fixed);
    EXPECT_EQ(system->label, "");
    EXPECT_EQ(system->serial, SerialFromUuid("0b5e3f1c-8f2d-4c6b-9a1e-3d2c1b0a9f8e"));

    // "/media/My Stickier" is not inside "/media/My Stick".
    EXPECT_EQ(DriveOfPath(temp.Path() / "media/My Stickier", sources)->root, fs::path("/"));
    EXPECT_EQ(DriveTypeOfPath("/proc/self", sources), DriveType::NoRootDir);
    EXPECT_EQ(VolumeSerialOfPath(temp.Path() / "media/My Stick", sources), 0x1234ABCDu);
}

TEST_F(DriveSourcesTest, ListDrivesLeavesOutKernelFileSystems) {
    std::vector<DriveInfo> drives = ListDrives(sources);
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].root, fs::path("/"));
    EXPECT_EQ(drives[1].type, DriveType::Removable);

    DriveSources missing = sources;
    missing.mountInfo = temp.Path() / "no-such-file";
    EXPECT_TRUE(ListDrives(missing).empty());
    EXPECT_EQ(VolumeSerialOfPath("/", missing), 0xDEADBEEFu);
}

TEST(Drives, RealSystemHasARootDrive) {
    std::optional<DriveInfo> root = DriveOfPath("/");
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(root->root, fs::path("/"));
    std::optional<DiskSpace> space = DiskSpaceOf("/");
    ASSERT_TRUE(space.has_value());
    EXPECT_LE(space->freeBytes, space->totalBytes);
    EXPECT_FALSE(DiskSpaceOf("/no/such/folder").has_value());
}

} // namespace
