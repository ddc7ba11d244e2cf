#include "host/linux/linux_host.h"

namespace ulvren {

LinuxHost::LinuxHost(std::string sysfs_root, std::string dev_root)
    : sysfs_root_(std::move(sysfs_root)), dev_root_(std::move(dev_root)) {}

DeviceHandle LinuxHost::Open(const std::string&) {
    Fail("not implemented");
    return INVALID_HANDLE_VALUE;
}

void LinuxHost::Close(DeviceHandle) {}

bool LinuxHost::PassThrough(DeviceHandle, ScsiPassThroughRequest&) {
    return Fail("not implemented");
}

bool LinuxHost::ControlVolume(DeviceHandle, VolumeControl) {
    return Fail("not implemented");
}

std::vector<std::string> LinuxHost::RemovableDriveRoots() {
    return {};
}

std::uint32_t LinuxHost::MaxTransferSectors(DeviceHandle) {
    return 0;
}

std::string LinuxHost::LastErrorText() const {
    std::lock_guard lock(mutex_);
    return last_error_;
}

bool LinuxHost::Fail(std::string reason) {
    std::lock_guard lock(mutex_);
    last_error_ = std::move(reason);
    return false;
}

}  // namespace ulvren
