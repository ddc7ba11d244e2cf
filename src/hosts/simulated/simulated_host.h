#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "hosts/simulated/simulated_device_changes.h"
#include "recorder/device_faults.h"
#include "recorder/recorder_firmware.h"

namespace ulvren {

enum class DriveKind {
    Recorder,        // answers the vendor commands through its firmware model
    PlainRemovable,  // a removable disk that refuses every vendor command (a plain-disk model)
    Fixed,           // a fixed disk: never listed as removable
};

// A request as the simulated host saw it.
struct ObservedRequest {
    std::string device_path;
    std::array<std::uint8_t, ScsiPassThroughRequest::kSize> record{};
    std::vector<std::uint8_t> cdb;
    bool data_in = false;
    std::uint32_t length = 0;
    bool carried_out = false;
};

// Virtual drives, each answering through a disk model (src/recorder): the recorder's firmware for
// a recorder, a plain disk's for the others. Drives are listed in the order of their root paths;
// their device paths are "\\?\" plus the root without its backslash, as on Windows, so that
// discovery runs exactly as it does there. The faults it is told to show apply to every drive.
//
// Thread-safe: workers on several threads may use it at once. It records every request and notes
// when a volume is opened while another one is still open (two device sessions overlapping).
class SimulatedHost final : public Host {
  public:
    SimulatedHost() = default;

    // Configuration. `root` is a drive root such as "E:\".
    void AddRecorder(const std::string& root, std::shared_ptr<RecorderFirmware> firmware);
    void AddDrive(const std::string& root, DriveKind kind);
    void Plug(const std::string& root);
    void Unplug(const std::string& root);
    // Plug and Unplug announce a disk arriving or gone here.
    DeviceChangeSource& DeviceChanges() { return device_changes_; }
    void SetMaxTransferSectors(std::uint32_t sectors);

    // Fault injection. A fault with no opcode applies to every vendor command. NoReply fails the
    // pass-through call, as on a timeout.
    void InjectVendorFault(VendorFault fault, std::optional<std::uint8_t> opcode = std::nullopt);
    // The k-th WRITE(10) from now (1 for the next) and every later one fail at the OS level.
    void FailWritesFrom(std::uint32_t k);
    // The drive is unplugged when someone next tries to open it: it vanishes between discovery
    // and the open.
    void VanishOnNextOpen(const std::string& root);
    // Opening the drive fails for lack of rights, as a disk node that only root may open does.
    void DenyAccess(const std::string& root);

    // Observation.
    std::vector<ObservedRequest> Requests() const;
    // The log is on by default, for tests. A long-running user such as the command line turns it
    // off, since a format of a large drive sends tens of thousands of requests.
    void SetRequestLogging(bool enabled);
    std::size_t OpenCount() const;
    std::size_t OpenHandleCount() const;
    // How often a volume was opened while another volume handle of this host was still open.
    std::size_t OverlapCount() const;

    // Host.
    DeviceHandle Open(const std::string& device_path) override;
    void Close(DeviceHandle handle) override;
    PassThroughOutcome PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) override;
    bool ControlVolume(DeviceHandle handle, VolumeControl control) override;
    std::vector<std::string> RemovableDriveRoots() override;
    std::string DevicePathPrefix() const override { return "\\\\?\\"; }
    std::uint32_t MaxTransferSectors(DeviceHandle handle) override;

  private:
    struct Drive {
        DriveKind kind = DriveKind::PlainRemovable;
        bool plugged = true;
        bool vanish_on_open = false;
        bool access_denied = false;
        bool locked = false;
        bool mounted = true;
        std::shared_ptr<RecorderFirmware> firmware = NewPlainDisk();
    };

    static std::shared_ptr<RecorderFirmware> NewPlainDisk();
    // Applies `change` to the drive at `root`, a new plain removable disk when there is none.
    void ChangeDrive(const std::string& root, const std::function<void(Drive&)>& change);
    Drive* FindDriveByPath(const std::string& device_path);
    Drive* DriveOf(DeviceHandle handle, std::string* device_path = nullptr);
    // Note the reason of a failed call for this thread; always false.
    static bool Fail(std::string reason);
    static PassThroughOutcome Lost(PassThroughCategory category, std::string reason);
    PassThroughOutcome ExecuteOnDrive(Drive& drive, ScsiPassThroughRequest& request);

    mutable std::mutex mutex_;
    std::map<std::string, Drive> drives_;               // by root, in drive order
    std::map<DeviceHandle, std::string> open_handles_;  // handle to device path
    DeviceHandle next_handle_ = 100;
    std::uint32_t max_transfer_sectors_ = kUsbStorageMaxTransferSectors;
    DeviceFaults faults_;
    bool log_requests_ = true;
    std::vector<ObservedRequest> requests_;
    std::size_t open_count_ = 0;
    std::size_t overlap_count_ = 0;
    SimulatedDeviceChanges device_changes_;
};

}  // namespace ulvren
