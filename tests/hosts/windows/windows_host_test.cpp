// The Windows host under Wine, where no recorder is attached: what it says about drives and files
// that are there, and how it fails on what is not.
#include "hosts/windows/windows_host.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "device/usb_disk.h"

namespace ulvren {
namespace {

TEST(WindowsHost, OpeningWhatIsNotThereFailsWithTheSystemsReason) {
    WindowsHost host;
    EXPECT_EQ(host.Open("\\\\?\\Q:"), kInvalidDeviceHandle);
    EXPECT_EQ(LastHostError().kind, HostErrorKind::Other);
    EXPECT_NE(LastHostError().text.find("cannot open \\\\?\\Q:: "), std::string::npos)
        << LastHostError().text;
    EXPECT_NE(LastHostError().text.find("(error "), std::string::npos);
    host.Close(kInvalidDeviceHandle);  // a no-op
}

// A plain file opens like a volume but answers no SCSI and no volume control; the adapter says
// nothing about it, so the default transfer limit holds.
TEST(WindowsHost, AFileIsNoDevice) {
    const std::string path = ::testing::TempDir() + "ulvren-not-a-device";
    std::ofstream(path) << "x";
    WindowsHost host;
    const DeviceHandle handle = host.Open(path);
    ASSERT_NE(handle, kInvalidDeviceHandle) << LastHostError().text;
    EXPECT_EQ(host.MaxTransferSectors(handle), 128u);

    ScsiPassThroughRequest request;
    const PassThroughOutcome outcome = host.PassThrough(handle, request);
    EXPECT_EQ(outcome.category, PassThroughCategory::OsError);
    EXPECT_NE(outcome.reason.find("SCSI pass-through on " + path + " failed"), std::string::npos)
        << outcome.reason;
    EXPECT_EQ(LastHostError().text, outcome.reason);

    CUsbDisk disk;
    ScopedHost scoped(host);
    EXPECT_EQ(disk.IdentifyDevice(handle), 0);
    EXPECT_FALSE(host.ControlVolume(handle, VolumeControl::Dismount));
    host.Close(handle);
    DeleteFileA(path.c_str());
}

TEST(WindowsHost, FindsNoRecorderWhereThereIsNone) {
    WindowsHost host;
    ScopedHost scoped(host);
    for (const std::string& root : host.RemovableDriveRoots()) {
        EXPECT_EQ(GetDriveTypeA(root.c_str()), static_cast<UINT>(DRIVE_REMOVABLE)) << root;
    }
    CUsbDisk disk;
    EXPECT_EQ(disk.FindDevice(), "");
    EXPECT_EQ(host.DevicePathPrefix(), "\\\\?\\");
}

}  // namespace
}  // namespace ulvren
