#include "hosts/simulated/simulated_host.h"

#include <algorithm>

#include "protocol/scsi.h"

namespace ulvren {
namespace {

// What a plain disk holds: it only has to answer, nobody writes it.
constexpr std::uint64_t kPlainDiskSectors = 131'072;  // 64 MiB

}  // namespace

std::shared_ptr<RecorderFirmware> SimulatedHost::NewPlainDisk() {
    return std::make_shared<RecorderFirmware>(
        DiskModel::PlainDisk, std::make_unique<MemorySectorStorage>(kPlainDiskSectors));
}

void SimulatedHost::ChangeDrive(const std::string& root,
                                const std::function<void(Drive&)>& change) {
    std::lock_guard lock(mutex_);
    change(drives_[root]);
}

void SimulatedHost::AddRecorder(const std::string& root,
                                std::shared_ptr<RecorderFirmware> firmware) {
    ChangeDrive(root, [&firmware](Drive& drive) {
        drive.kind = DriveKind::Recorder;
        drive.firmware = std::move(firmware);
    });
}

void SimulatedHost::AddDrive(const std::string& root, DriveKind kind) {
    ChangeDrive(root, [kind](Drive& drive) {
        drive.kind = kind;
        drive.firmware = NewPlainDisk();
    });
}

void SimulatedHost::Plug(const std::string& root) {
    ChangeDrive(root, [](Drive& drive) { drive.plugged = true; });
    device_changes_.Announce(DeviceChange::DiskArrived);
}

void SimulatedHost::Unplug(const std::string& root) {
    ChangeDrive(root, [](Drive& drive) { drive.plugged = false; });
    device_changes_.Announce(DeviceChange::DiskGone);
}

void SimulatedHost::DenyAccess(const std::string& root) {
    ChangeDrive(root, [](Drive& drive) { drive.access_denied = true; });
}

void SimulatedHost::VanishOnNextOpen(const std::string& root) {
    ChangeDrive(root, [](Drive& drive) { drive.vanish_on_open = true; });
}

void SimulatedHost::SetMaxTransferSectors(std::uint32_t sectors) {
    std::lock_guard lock(mutex_);
    max_transfer_sectors_ = std::clamp<std::uint32_t>(sectors, 1, kMaxWrite10Sectors);
}

void SimulatedHost::InjectVendorFault(VendorFault fault, std::optional<std::uint8_t> opcode) {
    std::lock_guard lock(mutex_);
    faults_.InjectVendorFault(fault, opcode);
}

void SimulatedHost::FailWritesFrom(std::uint32_t k) {
    std::lock_guard lock(mutex_);
    faults_.FailWritesFrom(k, WriteFailure::NoAnswer);
}

std::vector<ObservedRequest> SimulatedHost::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void SimulatedHost::SetRequestLogging(bool enabled) {
    std::lock_guard lock(mutex_);
    log_requests_ = enabled;
}

std::size_t SimulatedHost::OpenCount() const {
    std::lock_guard lock(mutex_);
    return open_count_;
}

std::size_t SimulatedHost::OpenHandleCount() const {
    std::lock_guard lock(mutex_);
    return open_handles_.size();
}

std::size_t SimulatedHost::OverlapCount() const {
    std::lock_guard lock(mutex_);
    return overlap_count_;
}

bool SimulatedHost::Fail(std::string reason) {
    SetLastHostError(HostErrorKind::Other, std::move(reason));
    return false;
}

PassThroughOutcome SimulatedHost::Lost(PassThroughCategory category, std::string reason) {
    Fail(reason);
    return PassThroughOutcome::Failed(category, std::move(reason));
}

SimulatedHost::Drive* SimulatedHost::FindDriveByPath(const std::string& device_path) {
    for (auto& [root, drive] : drives_) {
        if (DevicePathFromRoot(DevicePathPrefix(), root) == device_path) {
            return &drive;
        }
    }
    return nullptr;
}

SimulatedHost::Drive* SimulatedHost::DriveOf(DeviceHandle handle, std::string* device_path) {
    const auto open = open_handles_.find(handle);
    if (open == open_handles_.end()) {
        return nullptr;
    }
    if (device_path != nullptr) {
        *device_path = open->second;
    }
    return FindDriveByPath(open->second);
}

DeviceHandle SimulatedHost::Open(const std::string& device_path) {
    std::lock_guard lock(mutex_);
    Drive* drive = FindDriveByPath(device_path);
    if (drive != nullptr && drive->vanish_on_open) {
        drive->vanish_on_open = false;
        drive->plugged = false;
    }
    if (drive == nullptr || !drive->plugged) {
        Fail("no such device: " + device_path);
        return kInvalidDeviceHandle;
    }
    if (drive->access_denied) {
        SetLastHostError(HostErrorKind::AccessDenied, "permission denied: " + device_path);
        return kInvalidDeviceHandle;
    }
    ++open_count_;
    if (!open_handles_.empty()) {
        ++overlap_count_;
    }
    const DeviceHandle handle = next_handle_++;
    open_handles_[handle] = device_path;
    drive->firmware->BeginSession();
    return handle;
}

void SimulatedHost::Close(DeviceHandle handle) {
    std::lock_guard lock(mutex_);
    std::string path;
    if (Drive* drive = DriveOf(handle, &path)) {
        drive->locked = false;
    }
    open_handles_.erase(handle);
}

bool SimulatedHost::ControlVolume(DeviceHandle handle, VolumeControl control) {
    std::lock_guard lock(mutex_);
    Drive* drive = DriveOf(handle);
    if (drive == nullptr) {
        return Fail("invalid handle");
    }
    if (!drive->plugged) {
        return Fail("the device is gone");
    }
    switch (control) {
        case VolumeControl::Lock:
            drive->locked = true;
            break;
        case VolumeControl::Unlock:
            drive->locked = false;
            break;
        case VolumeControl::ReleaseFileSystems:
        case VolumeControl::Dismount:
            drive->mounted = false;
            break;
    }
    return true;
}

std::vector<std::string> SimulatedHost::RemovableDriveRoots() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> roots;
    for (const auto& [root, drive] : drives_) {
        if (drive.plugged && drive.kind != DriveKind::Fixed) {
            roots.push_back(root);
        }
    }
    return roots;
}

std::uint32_t SimulatedHost::MaxTransferSectors(DeviceHandle) {
    std::lock_guard lock(mutex_);
    return max_transfer_sectors_;
}

PassThroughOutcome SimulatedHost::ExecuteOnDrive(Drive& drive, ScsiPassThroughRequest& request) {
    const auto cdb = request.Cdb();
    const std::uint8_t opcode = cdb.empty() ? 0 : cdb[0];
    const std::uint32_t length = request.DataTransferLength();
    auto* data = static_cast<std::uint8_t*>(request.DataBuffer());

    if (opcode == SCSI_WRITE_10 || opcode == SCSI_READ_10) {
        if (length > std::uint64_t{max_transfer_sectors_} * kSectorSize) {
            // As a kernel refuses a request above the adapter's limit before sending anything.
            return Lost(PassThroughCategory::OsError,
                        "transfer of " + std::to_string(length / kSectorSize) +
                            " sectors exceeds the adapter's maximum of " +
                            std::to_string(max_transfer_sectors_));
        }
    }
    const DeviceAnswer answer =
        faults_.Execute(*drive.firmware, cdb, DirectionOf(length, request.DataIn()),
                        std::span<std::uint8_t>(data, data ? length : 0));
    switch (answer.kind) {
        case DeviceAnswer::Kind::Answered:
            break;
        case DeviceAnswer::Kind::NoAnswer:
            return Lost(PassThroughCategory::TransportError,
                        opcode == SCSI_WRITE_10 ? "write failed: the device did not answer"
                                                : "the device did not answer (timeout)");
        case DeviceAnswer::Kind::Unplugged:
            drive.plugged = false;
            return Lost(PassThroughCategory::TransportError, "the device is gone");
    }
    const ScsiCommandResult& result = answer.result;
    request.SetScsiStatus(result.status);
    auto sense_area = request.SenseArea();
    const std::size_t sense_length =
        std::min<std::size_t>({result.sense.size(), request.SenseInfoLength(), sense_area.size()});
    std::copy_n(result.sense.begin(), sense_length, sense_area.begin());
    return PassThroughOutcome::Answered(result.status, sense_length > 0);
}

PassThroughOutcome SimulatedHost::PassThrough(DeviceHandle handle,
                                              ScsiPassThroughRequest& request) {
    std::lock_guard lock(mutex_);
    ObservedRequest observed;
    observed.record = request.Bytes();
    observed.cdb.assign(request.Cdb().begin(), request.Cdb().end());
    observed.data_in = request.DataIn();
    observed.length = request.DataTransferLength();

    Drive* drive = DriveOf(handle, &observed.device_path);
    PassThroughOutcome outcome;
    if (drive == nullptr) {
        outcome = Lost(PassThroughCategory::OsError, "invalid handle");
    } else if (!drive->plugged) {
        outcome = Lost(PassThroughCategory::TransportError, "the device is gone");
    } else {
        outcome = ExecuteOnDrive(*drive, request);
    }
    observed.carried_out = outcome.CarriedOut();
    if (log_requests_) {
        requests_.push_back(std::move(observed));
    }
    return outcome;
}

}  // namespace ulvren
