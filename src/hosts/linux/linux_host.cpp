#include "hosts/linux/linux_host.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <thread>

#include "hosts/linux/error_text.h"
#include "hosts/linux/scsi_generic_node.h"
#include "hosts/linux/sg_io_request.h"
#include "hosts/linux/sysfs_block_devices.h"
#include "protocol/scsi.h"

namespace ulvren {

LinuxHost::LinuxHost(std::string sysfs_root, std::string dev_root, std::string mountinfo_path)
    : sysfs_root_(std::move(sysfs_root)),
      dev_root_(std::move(dev_root)),
      mountinfo_path_(std::move(mountinfo_path)) {}

DeviceHandle LinuxHost::Open(const std::string& device_path) {
    // A disk with a SCSI generic node is opened there: requests go to it from anyone who may open
    // it for writing, while the disk node refuses vendor opcodes without CAP_SYS_RAWIO. The disk
    // node is opened read-only, and only once the lock, the unmount or the re-read needs it:
    // every open and close of a removable disk's node sends the device the kernel's TEST UNIT
    // READY and PREVENT/ALLOW MEDIUM REMOVAL, which a detection that only identifies can spare.
    // Read-only also because udev probes a disk anew when a node opened for writing is closed:
    // that probe's commands would reach the recorder between two of the next session's (a
    // password change's check and its new password).
    struct stat status {};
    if (::stat(device_path.c_str(), &status) == 0 && S_ISBLK(status.st_mode)) {
        const DeviceNumber disk{major(status.st_rdev), minor(status.st_rdev)};
        const std::string name = ScsiGenericNodeName(sysfs_root_, disk);
        const int generic =
            name.empty() ? -1 : ::open((dev_root_ + "/" + name).c_str(), O_RDWR | O_CLOEXEC);
        if (generic >= 0) {
            std::lock_guard lock(mutex_);
            open_devices_[generic] = OpenDevice{device_path, disk, -1, generic};
            return generic;
        }
    }
    // Without a generic node that it may open, the disk node takes the requests, opened for them.
    const int fd = ::open(device_path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        FailDeviceAccess("cannot open " + device_path, error);
        return kInvalidDeviceHandle;
    }
    WaitForGenericNodeLock(fd);
    std::lock_guard lock(mutex_);
    open_devices_[fd] = OpenDevice{device_path, std::nullopt, fd, -1};
    return fd;
}

void LinuxHost::Close(DeviceHandle handle) {
    if (handle == kInvalidDeviceHandle) {
        return;
    }
    const auto fd = DescriptorOf(handle);
    if (!fd) {
        return;
    }
    OpenDevice device;
    {
        // Only descriptors that this host opened are closed: closing one twice could close a
        // descriptor that another thread has opened meanwhile under the same number.
        std::lock_guard lock(mutex_);
        const auto it = open_devices_.find(*fd);
        if (it == open_devices_.end()) {
            FailWithErrno("cannot close descriptor " + std::to_string(*fd), EBADF);
            return;
        }
        device = std::move(it->second);
        open_devices_.erase(it);
    }
    // Linux releases a descriptor even when close reports an error, so it is never retried.
    bool closed = true;
    int error = 0;
    for (const int node : {device.generic, device.block}) {
        if (node >= 0 && ::close(node) != 0 && closed) {
            closed = false;
            error = errno;
        }
    }
    if (!closed) {
        FailWithErrno("cannot close " + device.path, error);
    }
}

PassThroughOutcome LinuxHost::PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) {
    const auto fd = DescriptorOf(handle);
    if (!fd) {
        return PassThroughOutcome::Failed(PassThroughCategory::OsError, LastHostError().text);
    }
    // The handle is the node that takes the requests: the generic node, or the disk node of a
    // disk without one.
    const int target = *fd;
    sg_io_hdr header = BuildSgIoHeader(request);
    const int result = ::ioctl(target, SG_IO, &header);
    const int error = errno;
    if (result != 0) {
        FailDeviceAccess("SCSI pass-through on " + PathOf(*fd) + " failed", error);
        return PassThroughOutcome::Failed(PassThroughCategory::OsError, LastHostError().text);
    }
    request.SetScsiStatus(header.status);
    std::string lost;
    switch (JudgeSgIoOutcome(header)) {
        case SgIoOutcome::CarriedOut:
            return PassThroughOutcome::Answered(header.status, header.sb_len_wr > 0,
                                                static_cast<std::uint32_t>(header.resid));
        case SgIoOutcome::TimedOut:
            lost = PathOf(*fd) + " did not answer within " +
                   std::to_string(request.TimeOutValue()) + " s";
            break;
        case SgIoOutcome::NotDelivered:
            lost = "SCSI pass-through on " + PathOf(*fd) +
                   " failed: the adapter could not deliver the command (host status " +
                   std::to_string(header.host_status) + ")";
            break;
    }
    Fail(lost);
    return PassThroughOutcome::Failed(PassThroughCategory::TransportError, std::move(lost));
}

bool LinuxHost::ControlVolume(DeviceHandle handle, VolumeControl control) {
    const auto fd = DescriptorOf(handle);
    if (!fd) {
        return false;
    }
    if (control == VolumeControl::Unlock) {
        return Unlock(*fd);
    }
    if (control == VolumeControl::Lock && !TakeExclusiveFlock(*fd)) {
        // The node that takes the requests is flocked too: the generic node's flock is the one
        // that every user's sessions share, the set-clock service's among them. Held by another,
        // the session goes on, as it does without the disk's.
        const int error = errno;
        FailWithErrno("cannot lock " + PathOf(*fd), error);
    }
    const char* what = control == VolumeControl::Lock       ? "cannot lock"
                       : control == VolumeControl::Dismount ? "cannot re-read"
                                                            : "cannot unmount the file systems of";
    const auto disk = DiskNodeOf(*fd, what);
    if (!disk) {
        return false;
    }
    switch (control) {
        case VolumeControl::Lock:
            return Lock(disk->fd);
        case VolumeControl::ReleaseFileSystems:
            // Unmounting makes sure no file system cache writes stale sectors back over the disk
            // after it was rewritten. Tried even when the flock could not be had (udev holds a
            // shared one for a moment while it probes a disk that was just plugged in or
            // re-read): the session goes on either way, and a mounted file system must not
            // outlive a format.
            return UnmountFileSystemsOf(*disk);
        case VolumeControl::Dismount:
            return Dismount(*disk);
        case VolumeControl::Unlock:
            break;
    }
    return Fail("unknown volume control");
}

std::optional<LinuxHost::DiskNode> LinuxHost::DiskNodeOf(int handle, std::string_view what) {
    std::optional<OpenDevice> device;
    {
        std::lock_guard lock(mutex_);
        if (const auto it = open_devices_.find(handle); it != open_devices_.end()) {
            device = it->second;
        }
    }
    if (!device) {
        FailWithErrno(std::string(what) + " descriptor " + std::to_string(handle), EBADF);
        return std::nullopt;
    }
    int fd = device->block;
    if (fd < 0) {
        fd = ::open(device->path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            FailDeviceAccess(std::string(what) + " " + device->path, error);
            return std::nullopt;
        }
    }
    struct stat status {};
    int error = ::fstat(fd, &status) != 0 ? errno : 0;
    const DeviceNumber number{major(status.st_rdev), minor(status.st_rdev)};
    if (error == 0 && !S_ISBLK(status.st_mode)) {
        error = ENOTBLK;
    }
    // The path may lead to another disk by now (an unplug frees its name): the generic node's
    // disk is the one the session speaks to, so only its node is taken.
    if (error == 0 && device->disk && !(*device->disk == number)) {
        error = ENODEV;
    }
    if (error != 0) {
        if (fd != device->block) {
            ::close(fd);
        }
        FailWithErrno(std::string(what) + " " + device->path, error);
        return std::nullopt;
    }
    if (fd != device->block) {
        std::lock_guard lock(mutex_);
        open_devices_[handle].block = fd;
    }
    return DiskNode{fd, number};
}

// The exclusive flock keeps udev and the desktop's probes off the disk while the session uses it.
// It unmounts nothing: every session locks, but only a session that rewrites the recorder, once
// it has identified, lets go of its file systems (ReleaseFileSystems).
bool LinuxHost::Lock(int fd) {
    if (!TakeExclusiveFlock(fd)) {
        const int error = errno;
        return FailWithErrno("cannot lock " + PathOf(fd), error);
    }
    return true;
}

// A generic node named as the device itself (the set-clock service's /dev/sgN, opened where a
// person's window or command may be using the recorder): nothing goes to it before this session
// holds the node's flock, which those sessions hold while they use it (ControlVolume's Lock). It
// waits as long as it takes; the service ends with the node.
void LinuxHost::WaitForGenericNodeLock(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) {
        return;
    }
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

// A probe's shared flock lasts a moment: a few short tries outwait it without hanging the session
// behind a holder that keeps the disk for good.
bool LinuxHost::TakeExclusiveFlock(int fd, int tries) {
    constexpr auto kPause = std::chrono::milliseconds(50);
    for (int attempt = 1;; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || attempt == tries) {
            return false;
        }
        std::this_thread::sleep_for(kPause);
    }
}

// A disk node that was never opened holds no lock.
bool LinuxHost::Unlock(int handle) {
    int fd = -1;
    {
        std::lock_guard lock(mutex_);
        if (const auto it = open_devices_.find(handle); it != open_devices_.end()) {
            fd = it->second.block;
        } else {
            return FailWithErrno("cannot unlock descriptor " + std::to_string(handle), EBADF);
        }
    }
    if (fd >= 0 && ::flock(fd, LOCK_UN) != 0) {
        const int error = errno;
        return FailWithErrno("cannot unlock " + PathOf(fd), error);
    }
    return true;
}

std::vector<std::string> LinuxHost::RemovableDriveRoots() {
    std::error_code error;
    std::vector<std::string> roots;
    for (const std::string& name : RemovableDiskNames(sysfs_root_, error)) {
        roots.push_back(dev_root_ + "/" + name);
    }
    if (error) {
        Fail("cannot list " + sysfs_root_ + "/block: " + error.message());
    }
    return roots;
}

std::uint32_t LinuxHost::MaxTransferSectors(DeviceHandle handle) {
    const auto fd = DescriptorOf(handle);
    if (!fd) {
        return 0;
    }
    // Asked of the disk node: the generic node answers BLKSECTGET in bytes.
    const auto disk = DiskNodeOf(*fd, "cannot read the largest transfer of");
    if (!disk) {
        return 0;
    }
    unsigned short sectors = 0;
    if (::ioctl(disk->fd, BLKSECTGET, &sectors) != 0) {
        const int error = errno;
        FailWithErrno("cannot read the largest transfer of " + PathOf(disk->fd), error);
        return 0;
    }
    return std::clamp<std::uint32_t>(sectors, 1, kMaxWrite10Sectors);
}

std::optional<int> LinuxHost::DescriptorOf(DeviceHandle handle) {
    if (handle < 0 || handle > INT_MAX) {
        FailWithErrno("no open device", EBADF);
        return std::nullopt;
    }
    return static_cast<int>(handle);
}

std::string LinuxHost::PathOf(int fd) const {
    std::lock_guard lock(mutex_);
    for (const auto& [handle, device] : open_devices_) {
        if (handle == fd || device.block == fd) {
            return device.path;
        }
    }
    return "descriptor " + std::to_string(fd);
}

bool LinuxHost::Fail(std::string reason) {
    SetLastHostError(HostErrorKind::Other, std::move(reason));
    return false;
}

bool LinuxHost::FailDeviceAccess(std::string_view what, int error) {
    SetLastHostError(IsAccessDenied(error) ? HostErrorKind::AccessDenied : HostErrorKind::Other,
                     DeviceAccessErrorText(what, error));
    return false;
}

bool LinuxHost::FailWithErrno(std::string_view what, int error) {
    return Fail(ErrnoText(what, error));
}

}  // namespace ulvren
