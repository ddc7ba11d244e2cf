#include "hosts/linux/mount_table.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ulvren {
namespace {

// Lines as the kernel writes them: optional fields before the "-", octal escapes in paths.
constexpr const char* kMountInfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 22 8:17 / /media/user/REC\\040CARD rw,nosuid shared:20 master:3 - vfat /dev/sdb1 rw\n"
    "31 22 8:17 /DCIM /mnt/photos rw - vfat /dev/sdb1 rw\n"
    "32 30 0:45 / /media/user/REC\\040CARD/sub rw - btrfs /dev/sdb2 rw\n"
    "33 22 8:33 / /media/other rw - vfat /dev/sdc1 rw\n"
    // A user's FUSE mounts, named after the disk: never the disk's, whatever they say.
    "35 22 0:50 / /home/u/fake rw,nosuid,nodev - fuse.sshfs /dev/sdb1 rw\n"
    "36 22 0:51 / /home/u/fake2 rw,nosuid,nodev - fuse /dev/sdb rw\n"
    "not a mount line\n"
    "34 22 8:18 / /broken rw shared:5\n";

TEST(MountInfo, ParsesDeviceMountPointAndSource) {
    std::istringstream text(kMountInfo);
    const auto mounts = ParseMountInfo(text);
    ASSERT_EQ(mounts.size(), 7u);
    EXPECT_EQ(mounts[1].device, (DeviceNumber{8, 17}));
    EXPECT_EQ(mounts[1].mount_point, "/media/user/REC CARD");
    EXPECT_EQ(mounts[1].source, "/dev/sdb1");
    EXPECT_EQ(mounts[1].type, "vfat");
    EXPECT_EQ(mounts[5].type, "fuse.sshfs");
    EXPECT_EQ(mounts[3].device, (DeviceNumber{0, 45}));
    EXPECT_EQ(mounts[3].source, "/dev/sdb2");
}

TEST(MountInfo, ReleasesTheDisksFileSystemsLatestFirst) {
    std::istringstream text(kMountInfo);
    const auto mounts = ParseMountInfo(text);
    // The disk sdb (8:16) with partitions sdb1 and sdb2; the btrfs on sdb2 shows an anonymous
    // device number, so only its source names the disk.
    const auto mount_points = MountPointsToRelease(mounts, {{8, 16}, {8, 17}, {8, 18}},
                                                   {"/dev/sdb", "/dev/sdb1", "/dev/sdb2"});
    EXPECT_EQ(mount_points, (std::vector<std::string>{"/media/user/REC CARD/sub", "/mnt/photos",
                                                      "/media/user/REC CARD"}));
    EXPECT_TRUE(MountPointsToRelease(mounts, {{8, 48}}, {"/dev/sdd"}).empty());
}

TEST(MountInfo, DecodesEveryEscapeTheKernelWrites) {
    std::istringstream text("40 22 8:17 / /a\\040b\\011c\\012d\\134e\\04 rw - vfat /dev/sdb1 rw\n");
    const auto mounts = ParseMountInfo(text);
    ASSERT_EQ(mounts.size(), 1u);
    EXPECT_EQ(mounts[0].mount_point, "/a b\tc\nd\\e\\04");
}

}  // namespace
}  // namespace ulvren
