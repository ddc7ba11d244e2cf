#include "hosts/linux/sysfs_block_devices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hosts/linux/linux_host.h"
#include "hosts/linux/scsi_generic_node.h"
#include "temporary_directory.h"

namespace ulvren {
namespace {

namespace fs = std::filesystem;

// A sysfs tree with the disks that a desktop with card readers, a CD drive and loop devices lists.
class FakeSysfs : public ::testing::Test {
  protected:
    void AddBlockDevice(const std::string& name, const std::string& removable,
                        const std::string& peripheral_type = "0") {
        sysfs_.WriteFile("block/" + name + "/removable", removable);
        sysfs_.WriteFile("block/" + name + "/device/type", peripheral_type);
    }

    TemporaryDirectory sysfs_;
};

TEST_F(FakeSysfs, ListsRemovableDisksInKernelNameOrder) {
    AddBlockDevice("sdb", "1\n");
    AddBlockDevice("sda", "1\n");
    AddBlockDevice("sdaa", "1\n");
    AddBlockDevice("sdz", "1\n");
    AddBlockDevice("sdc", "0\n");                        // fixed disk
    AddBlockDevice("loop0", "0\n");                      // loop device
    AddBlockDevice("sr0", "1\n", "5\n");                 // optical drive by name
    AddBlockDevice("sdd", "1\n", "5\n");                 // optical drive by peripheral type
    sysfs_.WriteFile("block/mmcblk0/removable", "1\n");  // no device/type at all

    LinuxHost host(sysfs_.Path().string(), "/fake/dev");
    EXPECT_EQ(host.RemovableDriveRoots(),
              (std::vector<std::string>{"/fake/dev/sda", "/fake/dev/sdb", "/fake/dev/sdz",
                                        "/fake/dev/sdaa", "/fake/dev/mmcblk0"}));
    EXPECT_EQ(host.DevicePathPrefix(), "");
}

TEST_F(FakeSysfs, NoBlockDirectoryGivesNoDrivesAndAReason) {
    LinuxHost host((sysfs_.Path() / "missing").string());
    EXPECT_TRUE(host.RemovableDriveRoots().empty());
    EXPECT_NE(LastHostError().text.find("missing/block"), std::string::npos)
        << LastHostError().text;
}

TEST_F(FakeSysfs, FindsADisksPartitionsThroughItsDeviceNumber) {
    sysfs_.WriteFile("block/sdb/dev", "8:16\n");
    sysfs_.WriteFile("block/sdb/sdb2/partition", "2\n");
    sysfs_.WriteFile("block/sdb/sdb2/dev", "8:18\n");
    sysfs_.WriteFile("block/sdb/sdb1/partition", "1\n");
    sysfs_.WriteFile("block/sdb/sdb1/dev", "8:17\n");
    sysfs_.WriteFile("block/sdb/queue/dev", "9:9\n");  // a directory that is no partition
    fs::create_directories(sysfs_.Path() / "dev/block");
    fs::create_directory_symlink("../../block/sdb", sysfs_.Path() / "dev/block/8:16");

    const auto devices = DiskAndPartitions(sysfs_.Path(), DeviceNumber{8, 16});
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].name, "sdb");
    EXPECT_EQ(devices[0].number, (DeviceNumber{8, 16}));
    EXPECT_EQ(devices[1].name, "sdb1");
    EXPECT_EQ(devices[1].number, (DeviceNumber{8, 17}));
    EXPECT_EQ(devices[2].name, "sdb2");
    EXPECT_EQ(devices[2].number, (DeviceNumber{8, 18}));
}

TEST_F(FakeSysfs, UnknownDeviceNumberStillGivesTheDiskItself) {
    const auto devices = DiskAndPartitions(sysfs_.Path(), DeviceNumber{8, 32});
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, "");
    EXPECT_EQ(devices[0].number, (DeviceNumber{8, 32}));
}

// Vendor commands fall back to the disk's generic node, which sysfs names beside its device.
TEST_F(FakeSysfs, FindsADisksGenericNodeThroughItsDeviceNumber) {
    sysfs_.WriteFile("block/sdc/dev", "8:32\n");
    fs::create_directories(sysfs_.Path() / "block/sdc/device/scsi_generic/sg2");
    fs::create_directories(sysfs_.Path() / "dev/block");
    fs::create_directory_symlink("../../block/sdc", sysfs_.Path() / "dev/block/8:32");

    EXPECT_EQ(ScsiGenericNodeName(sysfs_.Path(), DeviceNumber{8, 32}), "sg2");
    EXPECT_EQ(ScsiGenericNodeName(sysfs_.Path(), DeviceNumber{8, 48}), "");
}

TEST(DeviceNumber, ReadsMajorAndMinor) {
    EXPECT_EQ(ParseDeviceNumber("8:17\n"), (DeviceNumber{8, 17}));
    EXPECT_EQ(ParseDeviceNumber("259:0"), (DeviceNumber{259, 0}));
    for (const char* bad : {"", "8", "8:", ":17", "8:17x", "a:b", "8:-1"}) {
        EXPECT_FALSE(ParseDeviceNumber(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace ulvren
