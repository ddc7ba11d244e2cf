#pragma once

#include <map>
#include <mutex>
#include <string>

#include "host/host.h"
#include "hosts/windows/transfer_limits.h"

namespace ulvren {

// The Windows host: volume handles of drive letters ("\\?\E:"), IOCTL_SCSI_PASS_THROUGH_DIRECT
// in the layout of the process's ABI, the FSCTL volume controls, removable drives by letter.
//
// A handle is the volume's HANDLE. Several threads may use one host; the device sessions above
// it take turns. Every failing call leaves the system's words in the thread's LastHostError().
class WindowsHost final : public Host {
  public:
    DeviceHandle Open(const std::string& device_path) override;
    void Close(DeviceHandle handle) override;
    PassThroughOutcome PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) override;
    bool ControlVolume(DeviceHandle handle, VolumeControl control) override;
    std::vector<std::string> RemovableDriveRoots() override;
    std::string DevicePathPrefix() const override { return "\\\\?\\"; }
    std::uint32_t MaxTransferSectors(DeviceHandle handle) override;

  private:
    struct OpenDevice {
        std::string path;
        TransferLimits limits;
    };

    // What Open noted about `handle`; the default limits for a handle this host did not open.
    OpenDevice DeviceOf(DeviceHandle handle) const;

    mutable std::mutex mutex_;
    std::map<DeviceHandle, OpenDevice> open_devices_;
};

}  // namespace ulvren
