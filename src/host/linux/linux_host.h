#pragma once

#include <mutex>
#include <string>

#include "host/host.h"

namespace ulvren {

// The Linux host: whole-disk nodes such as /dev/sdb, SG_IO pass-through, removable disks from
// sysfs. Vendor commands need CAP_SYS_RAWIO (root).
class LinuxHost final : public Host {
  public:
    // `sysfs_root` is where the block devices are listed (normally /sys); tests pass a fake tree.
    explicit LinuxHost(std::string sysfs_root = "/sys", std::string dev_root = "/dev");

    DeviceHandle Open(const std::string& device_path) override;
    void Close(DeviceHandle handle) override;
    bool PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) override;
    bool ControlVolume(DeviceHandle handle, VolumeControl control) override;
    std::vector<std::string> RemovableDriveRoots() override;
    std::string DevicePathPrefix() const override { return {}; }
    std::uint32_t MaxTransferSectors(DeviceHandle handle) override;
    std::string LastErrorText() const override;

  private:
    bool Fail(std::string reason);

    std::string sysfs_root_;
    std::string dev_root_;
    mutable std::mutex mutex_;
    std::string last_error_;
};

}  // namespace ulvren
