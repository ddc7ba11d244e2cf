// LinuxHost's release of a disk's file systems before a session rewrites it, and the kernel's new
// look at the disk afterwards: through udisks where it runs (the seated user's way), with
// umount2, BLKFLSBUF and BLKRRPART otherwise (root's).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>

#include <algorithm>
#include <fstream>

#include "hosts/linux/error_text.h"
#include "hosts/linux/linux_host.h"
#include "hosts/linux/mount_table.h"
#include "hosts/linux/sysfs_block_devices.h"
#include "hosts/linux/udisks.h"

namespace ulvren {

// Where udisks runs, it unmounts first: it may unmount what it mounted for the seated user, and
// it forgets those mounts instead of finding them gone. What is left (mounts udisks does not know,
// or no udisks at all) goes with umount2, which only root may call.
bool LinuxHost::UnmountFileSystemsOf(const DiskNode& disk) {
    std::vector<BlockDevice> devices = DiskAndPartitions(sysfs_root_, disk.number);
    std::vector<DeviceNumber> numbers;
    std::vector<std::string> nodes;
    for (const BlockDevice& device : devices) {
        numbers.push_back(device.number);
        if (!device.name.empty()) {
            nodes.push_back(dev_root_ + "/" + device.name);
        }
    }
    std::string udisks_refusal;
    if (!UnmountThroughUDisks(disk, devices, udisks_refusal)) {
        // Another program (udev's probe of what udisks changed is the usual one) keeps the disk
        // now: the session's later commands would no longer be its alone. Said, and the session
        // goes on as it does when the first lock cannot be had.
        const int error = errno;
        return FailWithErrno("cannot lock " + PathOf(disk.fd) + " again after udisks unmounted it",
                             error);
    }
    const auto mounts = ReadMounts();
    if (!mounts) {
        return false;
    }
    bool all_unmounted = true;
    for (const std::string& mount_point : MountPointsToRelease(*mounts, numbers, nodes)) {
        // Every file system is tried; the first refusal is the one reported, udisks's before the
        // kernel's, since that is the one that could have succeeded without root.
        // A mount point under a user's directory could be a link by now: never followed.
        if (::umount2(mount_point.c_str(), UMOUNT_NOFOLLOW) != 0 && all_unmounted) {
            const int error = errno;
            all_unmounted = udisks_refusal.empty()
                                ? FailWithErrno("cannot unmount " + mount_point, error)
                                : Fail(udisks_refusal);
        }
    }
    return all_unmounted;
}

// udisks answers an unmount only once udev has handled the change event it raises for the disk,
// and udev leaves a disk alone while someone holds its exclusive flock: holding it here would
// stall every unmount for udisks's 20 s wait. The lock is let go for the calls and taken again;
// nothing has been written yet, so udev's probe in between reads the old file system. False when
// the lock could not be taken again (within kRelockTries: udev probes the disk after the unmount).
bool LinuxHost::UnmountThroughUDisks(const DiskNode& disk, const std::vector<BlockDevice>& devices,
                                     std::string& refusal) {
    constexpr int kRelockTries = 100;
    const auto mounts = ReadMounts();
    if (!mounts || !MountedAmong(*mounts, devices)) {
        return true;
    }
    const auto udisks = ConnectToRunningUDisks();
    if (!udisks) {
        return true;
    }
    ::flock(disk.fd, LOCK_UN);
    for (const BlockDevice& device : devices) {
        if (!device.name.empty() && MountedAmong(*mounts, {device})) {
            std::string error;
            if (!udisks->Unmount(device.name, error) && refusal.empty()) {
                refusal = std::move(error);
            }
        }
    }
    return TakeExclusiveFlock(disk.fd, kRelockTries);
}

std::optional<std::vector<MountEntry>> LinuxHost::ReadMounts() {
    std::ifstream mountinfo(mountinfo_path_);
    if (!mountinfo) {
        const int error = errno;
        FailWithErrno("cannot read " + mountinfo_path_, error);
        return std::nullopt;
    }
    return ParseMountInfo(mountinfo);
}

bool LinuxHost::MountedAmong(const std::vector<MountEntry>& mounts,
                             const std::vector<BlockDevice>& devices) {
    return std::any_of(mounts.begin(), mounts.end(), [&](const MountEntry& mount) {
        return std::any_of(devices.begin(), devices.end(), [&](const BlockDevice& device) {
            return mount.device == device.number;
        });
    });
}

// Drops the kernel's cached sectors of the disk and has it read the partition table again, so
// that what the device now holds is what the system sees. Both calls need CAP_SYS_ADMIN; without
// it, udisks re-reads the disk for the caller where it runs (which also drops the cached sectors).
bool LinuxHost::Dismount(const DiskNode& disk) {
    if (::ioctl(disk.fd, BLKFLSBUF) != 0) {
        const int error = errno;
        return IsAccessDenied(error)
                   ? RescanThroughUDisks(disk, error)
                   : FailWithErrno("cannot flush the buffers of " + PathOf(disk.fd), error);
    }
    if (::ioctl(disk.fd, BLKRRPART) != 0) {
        const int error = errno;
        return IsAccessDenied(error)
                   ? RescanThroughUDisks(disk, error)
                   : FailWithErrno("cannot re-read the partitions of " + PathOf(disk.fd), error);
    }
    return true;
}

// The cached sectors are clean (the session wrote through the generic node, past the cache), so
// any opener may drop them. udisks reads the disk with udev's help, and udev waits for the
// session's exclusive flock: the session's writes are over, so the lock goes first.
bool LinuxHost::RescanThroughUDisks(const DiskNode& disk, int refusal) {
    const std::vector<BlockDevice> devices = DiskAndPartitions(sysfs_root_, disk.number);
    const auto udisks = ConnectToRunningUDisks();
    if (!udisks || devices.front().name.empty()) {
        return FailWithErrno("cannot re-read the partitions of " + PathOf(disk.fd), refusal);
    }
    ::posix_fadvise(disk.fd, 0, 0, POSIX_FADV_DONTNEED);
    ::flock(disk.fd, LOCK_UN);
    std::string error;
    return udisks->Rescan(devices.front().name, error) || Fail(error);
}

}  // namespace ulvren
