#include "device/transport.h"

#include <array>
#include <span>

#include "host/host.h"
#include "protocol/byte_order.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {
namespace {

// Timeouts of the pass-through record, in seconds.
constexpr std::uint32_t kSectorWriteTimeout = 20;
constexpr std::uint32_t kVendorCommandTimeout = 10;

// Sense bytes asked for. The sense area of the record holds 32.
constexpr std::uint8_t kSectorWriteSenseLength = 18;
constexpr std::uint8_t kVendorCommandSenseLength = 24;

// Fields that sector writes and vendor commands share.
ScsiPassThroughRequest StartRequest() {
    ScsiPassThroughRequest request;
    request.SetLength(ScsiPassThroughRequest::kPassThroughSize);
    request.SetTargetId(1);
    request.SetSenseInfoOffset(ScsiPassThroughRequest::kSenseOffset);
    return request;
}

}  // namespace

ScsiPassThroughRequest BuildSectorWriteRequest(const void* buffer, std::uint32_t lba,
                                               std::uint32_t count) {
    ScsiPassThroughRequest request = StartRequest();
    std::array<std::uint8_t, kRw10CdbLength> cdb{SCSI_WRITE_10};
    StoreBe32(cdb, kRw10LbaOffset, lba);
    StoreBe16(cdb, kRw10CountOffset, static_cast<std::uint16_t>(count));
    request.SetCdb(cdb);
    request.SetSenseInfoLength(kSectorWriteSenseLength);
    request.SetDataIn(false);
    request.SetDataTransferLength(count * kSectorSize);
    request.SetTimeOutValue(kSectorWriteTimeout);
    // The OS only reads from the buffer of a data-out request.
    request.SetDataBuffer(const_cast<void*>(buffer));
    return request;
}

ScsiPassThroughRequest BuildVendorCommandRequest(void* buffer, TransferDirection direction,
                                                 const std::uint8_t* cdb, std::uint32_t cdb_length,
                                                 std::uint32_t data_length) {
    ScsiPassThroughRequest request = StartRequest();
    request.SetCdb(std::span<const std::uint8_t>(cdb, cdb_length));
    request.SetSenseInfoLength(kVendorCommandSenseLength);
    request.SetDataIn(direction == TransferDirection::FromDevice);
    request.SetDataTransferLength(data_length);
    request.SetTimeOutValue(kVendorCommandTimeout);
    request.SetDataBuffer(buffer);
    return request;
}

int WriteSectors(DeviceHandle handle, const void* buffer, std::uint32_t lba, std::uint32_t count) {
    if (buffer == nullptr || count == 0 || handle == kInvalidDeviceHandle) {
        return 0;
    }
    ScsiPassThroughRequest request = BuildSectorWriteRequest(buffer, lba, count);
    // Only a GOOD status with every byte moved means the sectors are on the device: a CHECK
    // CONDITION (a full or failing medium) or a short transfer is a failed write.
    return CurrentHost().PassThrough(handle, request).Complete() ? 1 : 0;
}

std::uint32_t SendVendorCommand(DeviceHandle handle, void* buffer, TransferDirection direction,
                                const std::uint8_t* cdb, std::uint32_t cdb_length,
                                std::uint32_t data_length) {
    if (buffer == nullptr || cdb_length > ScsiPassThroughRequest::kMaxCdbLength ||
        handle == kInvalidDeviceHandle) {
        return 0;
    }
    ScsiPassThroughRequest request =
        BuildVendorCommandRequest(buffer, direction, cdb, cdb_length, data_length);
    return CurrentHost().PassThrough(handle, request).CarriedOut() ? data_length : 0;
}

int LockVolume(DeviceHandle handle) {
    return CurrentHost().ControlVolume(handle, VolumeControl::Lock) ? 1 : 0;
}

int UnlockVolume(DeviceHandle handle) {
    return CurrentHost().ControlVolume(handle, VolumeControl::Unlock) ? 1 : 0;
}

int ReleaseVolumeFileSystems(DeviceHandle handle) {
    return CurrentHost().ControlVolume(handle, VolumeControl::ReleaseFileSystems) ? 1 : 0;
}

int DismountVolume(DeviceHandle handle) {
    return CurrentHost().ControlVolume(handle, VolumeControl::Dismount) ? 1 : 0;
}

std::uint32_t MaxTransferSectors(DeviceHandle handle) {
    return CurrentHost().MaxTransferSectors(handle);
}

}  // namespace ulvren
