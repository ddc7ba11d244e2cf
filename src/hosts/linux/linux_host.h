#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "hosts/linux/device_number.h"
#include "hosts/linux/mount_table.h"
#include "hosts/linux/sysfs_block_devices.h"

namespace ulvren {

// The Linux host: whole-disk nodes such as /dev/sdb, SG_IO pass-through, removable disks from
// sysfs. Requests (vendor commands and sector writes alike) go through the disk's SCSI generic
// node (/dev/sgN), which takes them from anyone who may open it for writing; the disk node keeps
// the lock and root's flush and re-read. Where udisks runs on the system bus, it unmounts and
// re-reads for callers without the rights to do so themselves.
//
// A handle is the file descriptor of the node that takes the requests. Several threads may use one
// host; the device sessions above it take turns.
class LinuxHost final : public Host {
  public:
    // `sysfs_root` is where the block devices are listed (normally /sys), `dev_root` where their
    // nodes are and `mountinfo_path` the mount table that locking reads; tests pass fake ones.
    explicit LinuxHost(std::string sysfs_root = "/sys", std::string dev_root = "/dev",
                       std::string mountinfo_path = "/proc/self/mountinfo");

    DeviceHandle Open(const std::string& device_path) override;
    void Close(DeviceHandle handle) override;
    PassThroughOutcome PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) override;
    bool ControlVolume(DeviceHandle handle, VolumeControl control) override;
    std::vector<std::string> RemovableDriveRoots() override;
    std::string DevicePathPrefix() const override { return {}; }
    std::uint32_t MaxTransferSectors(DeviceHandle handle) override;

  private:
    // An open device: the descriptors of its generic node (requests) and of its disk node (lock,
    // flush, re-read; opened on first need where the generic node takes the requests).
    struct OpenDevice {
        std::string path;
        std::optional<DeviceNumber> disk;  // the generic node's disk, known from the open
        int block = -1;
        int generic = -1;
    };
    struct DiskNode {
        int fd = -1;
        DeviceNumber number;
    };

    // The disk node behind `handle`, opened read-only on first need; nothing (with the failure
    // noted, as `what` failed) when it cannot be opened, is no block device, or is no longer the
    // disk whose generic node the handle is.
    std::optional<DiskNode> DiskNodeOf(int handle, std::string_view what);
    bool Lock(int fd);
    // Tries `tries` times, 50 ms apart.
    bool TakeExclusiveFlock(int fd, int tries = 20);
    void WaitForGenericNodeLock(int fd);
    bool Unlock(int handle);
    bool Dismount(const DiskNode& disk);
    // Unmounts every file system on the disk `disk` or on one of its partitions.
    bool UnmountFileSystemsOf(const DiskNode& disk);
    bool UnmountThroughUDisks(const DiskNode& disk, const std::vector<BlockDevice>& devices,
                              std::string& refusal);
    std::optional<std::vector<MountEntry>> ReadMounts();
    static bool MountedAmong(const std::vector<MountEntry>& mounts,
                             const std::vector<BlockDevice>& devices);
    // Dismount's way for a caller that may not flush or re-read (`refusal` is the kernel's errno).
    bool RescanThroughUDisks(const DiskNode& disk, int refusal);

    // The descriptor behind `handle`, or nothing (with the failure noted) for a value that cannot
    // be one.
    std::optional<int> DescriptorOf(DeviceHandle handle);
    // The path a descriptor (a handle or a disk node) was opened with, for error texts.
    std::string PathOf(int fd) const;

    // Note the reason of a failed call for this thread's LastHostError(); always false.
    static bool Fail(std::string reason);
    static bool FailWithErrno(std::string_view what, int error);
    // As FailWithErrno, worded and classed as a lack of rights for EACCES and EPERM.
    static bool FailDeviceAccess(std::string_view what, int error);

    std::string sysfs_root_;
    std::string dev_root_;
    std::string mountinfo_path_;
    mutable std::mutex mutex_;
    std::map<int, OpenDevice> open_devices_;  // by handle
};

}  // namespace ulvren
