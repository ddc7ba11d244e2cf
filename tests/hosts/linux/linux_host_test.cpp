#include "hosts/linux/linux_host.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <future>
#include <string>

#include "device/transport.h"
#include "hosts/linux/error_text.h"
#include "temporary_directory.h"

namespace ulvren {
namespace {

constexpr const char* kNotATerminal = "Inappropriate ioctl for device";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(LinuxHost, OpenOfAMissingNodeNamesThePath) {
    LinuxHost host;
    EXPECT_EQ(host.Open("/nonexistent/dev/sdz"), kInvalidDeviceHandle);
    EXPECT_EQ(LastHostError().text, "cannot open /nonexistent/dev/sdz: No such file or directory");
}

TEST(LinuxHost, PermissionErrorsNameTheWayOut) {
    const std::string root_needed =
        "permission denied: run \"ulvren authorize\" once to let this computer's seated users "
        "use the recorder";
    EXPECT_EQ(DeviceAccessErrorText("cannot open /dev/sdb", EACCES), root_needed);
    EXPECT_EQ(DeviceAccessErrorText("cannot open /dev/sdb", EPERM), root_needed);
    EXPECT_EQ(DeviceAccessErrorText("cannot open /dev/sdb", ENOMEDIUM),
              "cannot open /dev/sdb: No medium found");
}

// A character node named as the device (the set-clock service's /dev/sgN) is opened only once no
// one else holds its flock, which every session's lock takes; a node of /dev/null's numbers
// stands in for the generic node.
TEST(LinuxHost, ACharacterNodeIsOpenedOnceItsFlockIsFree) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mknod needs root; CI runs as root";
    }
    TemporaryDirectory directory;
    const std::string node = (directory.Path() / "sg").string();
    ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
    const int holder = ::open(node.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    LinuxHost host;
    auto opened = std::async(std::launch::async, [&host, &node] { return host.Open(node); });
    EXPECT_EQ(opened.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    ::close(holder);
    const DeviceHandle handle = opened.get();
    ASSERT_NE(handle, kInvalidDeviceHandle) << LastHostError().text;
    // Held by the session now: another program's session waits in turn.
    const int other = ::open(node.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    host.Close(handle);
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
}

// A regular file opens like a disk node but answers no block or SCSI ioctl: every device call on
// it must fail with the kernel's reason and leave the record as it was.
class RegularFileHandle : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = (directory_.Path() / "not-a-disk").string();
        directory_.WriteFile("not-a-disk", std::string(4096, '\0'));
        handle_ = host_.Open(path_);
        ASSERT_NE(handle_, kInvalidDeviceHandle) << LastHostError().text;
    }
    void TearDown() override { host_.Close(handle_); }

    TemporaryDirectory directory_;
    LinuxHost host_;
    std::string path_;
    DeviceHandle handle_ = kInvalidDeviceHandle;
};

TEST_F(RegularFileHandle, PassThroughFailsWithTheReason) {
    std::array<std::uint8_t, 512> reply{};
    const std::uint8_t cdb[16] = {0xF6};
    ScsiPassThroughRequest request =
        BuildVendorCommandRequest(reply.data(), TransferDirection::FromDevice, cdb, 16, 8);
    const auto before = request.Bytes();

    EXPECT_FALSE(host_.PassThrough(handle_, request).CarriedOut());
    EXPECT_TRUE(Contains(LastHostError().text, path_)) << LastHostError().text;
    EXPECT_TRUE(Contains(LastHostError().text, kNotATerminal)) << LastHostError().text;
    EXPECT_EQ(request.Bytes(), before);
    EXPECT_EQ(reply, (std::array<std::uint8_t, 512>{}));
}

// Every call that needs the disk node says that the file is none.
TEST_F(RegularFileHandle, VolumeControlsFailWithTheReason) {
    EXPECT_FALSE(host_.ControlVolume(handle_, VolumeControl::Dismount));
    EXPECT_EQ(LastHostError().text, "cannot re-read " + path_ + ": Block device required");

    EXPECT_FALSE(host_.ControlVolume(handle_, VolumeControl::Lock));
    EXPECT_EQ(LastHostError().text, "cannot lock " + path_ + ": Block device required");

    EXPECT_EQ(host_.MaxTransferSectors(handle_), 0u);
    EXPECT_EQ(LastHostError().text,
              "cannot read the largest transfer of " + path_ + ": Block device required");
}

TEST(LinuxHost, CallsOnHandlesItDoesNotHoldFailWithoutHarm) {
    LinuxHost host;
    std::array<std::uint8_t, 1024> data{};
    ScsiPassThroughRequest request = BuildSectorWriteRequest(data.data(), 0, 2);
    for (const DeviceHandle handle : {kInvalidDeviceHandle, DeviceHandle{1} << 40}) {
        SCOPED_TRACE(handle);
        EXPECT_FALSE(host.PassThrough(handle, request).CarriedOut());
        EXPECT_TRUE(Contains(LastHostError().text, "Bad file descriptor"));
        EXPECT_FALSE(host.ControlVolume(handle, VolumeControl::Lock));
        EXPECT_FALSE(host.ControlVolume(handle, VolumeControl::Unlock));
        EXPECT_FALSE(host.ControlVolume(handle, VolumeControl::Dismount));
        EXPECT_EQ(host.MaxTransferSectors(handle), 0u);
        host.Close(handle);
    }
}

TEST_F(RegularFileHandle, ClosingTwiceLeavesAReusedDescriptorAlone) {
    host_.Close(handle_);
    // The number is free again; whatever opens next may get it.
    const DeviceHandle next = host_.Open(path_);
    ASSERT_EQ(next, handle_);
    LinuxHost other_host;
    other_host.Close(handle_);  // not this host's descriptor: nothing is closed
    EXPECT_TRUE(Contains(LastHostError().text, "Bad file descriptor"));
    EXPECT_TRUE(host_.ControlVolume(next, VolumeControl::Unlock)) << LastHostError().text;
}

}  // namespace
}  // namespace ulvren
