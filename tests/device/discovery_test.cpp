#include "device/discovery.h"

#include <gtest/gtest.h>

#include "device/command_templates.h"
#include "device/usb_disk.h"
#include "hosts/simulated/simulated_host.h"
#include "protocol/vendor_protocol.h"
#include "support/simulated_recorders.h"

namespace ulvren {
namespace {

using testing::MakeRecorder;

class DiscoveryTest : public ::testing::Test {
  protected:
    std::string Find() { return CUsbDisk().FindDevice(); }

    SimulatedHost host_;
    ScopedHost installed_{host_};
};

TEST_F(DiscoveryTest, NoRemovableDriveGivesTheEmptyPathAndOpensNothing) {
    host_.AddDrive("C:\\", DriveKind::Fixed);
    EXPECT_EQ(Find(), "");
    EXPECT_EQ(host_.OpenCount(), 0u);
}

TEST_F(DiscoveryTest, TheFirstDriveThatIdentifiesWinsInDriveOrder) {
    host_.AddRecorder("G:\\", MakeRecorder());
    host_.AddRecorder("E:\\", MakeRecorder());
    host_.AddDrive("D:\\", DriveKind::PlainRemovable);
    EXPECT_EQ(Find(), "\\\\?\\E:");
    // D and E were opened; G was never looked at.
    EXPECT_EQ(host_.OpenCount(), 2u);
    EXPECT_EQ(host_.OpenHandleCount(), 0u);
}

TEST_F(DiscoveryTest, EveryDriveThatIdentifiesIsFoundOnceInDriveOrder) {
    host_.AddRecorder("G:\\", MakeRecorder());
    host_.AddRecorder("E:\\", MakeRecorder());
    host_.AddDrive("D:\\", DriveKind::PlainRemovable);
    EXPECT_EQ(CUsbDisk().FindDevices(), (std::vector<std::string>{"\\\\?\\E:", "\\\\?\\G:"}));
    EXPECT_EQ(host_.OpenCount(), 3u);
    EXPECT_EQ(host_.OpenHandleCount(), 0u);
}

TEST_F(DiscoveryTest, DrivesThatDoNotIdentifyArePassedOver) {
    struct Case {
        const char* name;
        std::function<void(SimulatedHost&)> arrange;
        const char* found;
    };
    const Case cases[] = {
        {"PlainDiskRefuses",
         [](SimulatedHost& h) { h.AddDrive("E:\\", DriveKind::PlainRemovable); }, "\\\\?\\G:"},
        {"FirstDriveVanishes", [](SimulatedHost& h) { h.VanishOnNextOpen("E:\\"); }, "\\\\?\\G:"},
        {"WrongSignature",
         [](SimulatedHost& h) { h.InjectVendorFault(VendorFault::WrongSignature, CMD_IDENTIFY); },
         ""},
        {"WrongEcho",
         [](SimulatedHost& h) { h.InjectVendorFault(VendorFault::WrongEcho, CMD_IDENTIFY); }, ""},
        {"NoReply",
         [](SimulatedHost& h) { h.InjectVendorFault(VendorFault::NoReply, CMD_IDENTIFY); }, ""},
        // More removable disks than a drive list's 32 slots (Linux lists them all).
        {"FortyPlainDisksFirst",
         [](SimulatedHost& h) {
             for (int i = 0; i < 40; ++i) {
                 h.AddDrive("C" + std::to_string(10 + i) + ":\\", DriveKind::PlainRemovable);
             }
         },
         "\\\\?\\E:"},
    };
    for (const Case& c : cases) {
        SimulatedHost host;
        ScopedHost installed(host);
        host.AddDrive("D:\\", DriveKind::PlainRemovable);
        host.AddRecorder("E:\\", MakeRecorder());
        host.AddRecorder("G:\\", MakeRecorder());
        c.arrange(host);
        EXPECT_EQ(CUsbDisk().FindDevice(), c.found) << c.name;
        EXPECT_EQ(host.OpenHandleCount(), 0u) << c.name;
    }
}

TEST_F(DiscoveryTest, DevicePathsNeverEndInABackslash) {
    EXPECT_EQ(DevicePathFromRoot("\\\\?\\", "E:\\"), "\\\\?\\E:");
    EXPECT_EQ(DevicePathFromRoot("", "/dev/sdb"), "/dev/sdb");
    host_.AddRecorder("Z:\\", MakeRecorder());
    EXPECT_EQ(Find().back(), ':');
}

TEST_F(DiscoveryTest, EnumRemovableDrivesKeepsTheCountUnlessItFindsSome) {
    DriveList list;
    EXPECT_EQ(EnumRemovableDrives(list, nullptr), 0);
    std::int8_t count = 42;
    host_.AddDrive("C:\\", DriveKind::Fixed);
    EXPECT_EQ(EnumRemovableDrives(list, &count), 0);
    EXPECT_EQ(count, 42);

    host_.AddDrive("F:\\", DriveKind::PlainRemovable);
    host_.AddRecorder("E:\\", MakeRecorder());
    EXPECT_EQ(EnumRemovableDrives(list, &count), 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(list[0], "E:\\");
    EXPECT_EQ(list[1], "F:\\");
}

TEST_F(DiscoveryTest, AtMostThirtyTwoDrivesAreListed) {
    for (int i = 0; i < 40; ++i) {
        host_.AddDrive("drive" + std::to_string(100 + i), DriveKind::PlainRemovable);
    }
    DriveList list;
    std::int8_t count = 0;
    EXPECT_EQ(EnumRemovableDrives(list, &count), 1);
    EXPECT_EQ(count, 32);
    EXPECT_EQ(list[31], "drive131");
}

TEST_F(DiscoveryTest, IdentifyLeavesItsTemplateUntouched) {
    ResetCommandTemplates();
    host_.AddRecorder("E:\\", MakeRecorder());
    Find();
    CommandTemplate expected{CMD_IDENTIFY};
    EXPECT_EQ(CommandTemplateFor(CMD_IDENTIFY), expected);
}

}  // namespace
}  // namespace ulvren
