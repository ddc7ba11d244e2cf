#pragma once

#include <cstdint>

#include "host/device_handle.h"
#include "host/scsi_pass_through_request.h"

namespace ulvren {

// Builds the record of a WRITE(10) of `count` sectors at `lba` from `buffer`.
ScsiPassThroughRequest BuildSectorWriteRequest(const void* buffer, std::uint32_t lba,
                                               std::uint32_t count);

// Which way a vendor command's data phase goes.
enum class TransferDirection { ToDevice, FromDevice };

// Builds the record of a vendor command. `cdb_length` must be at most 16.
ScsiPassThroughRequest BuildVendorCommandRequest(void* buffer, TransferDirection direction,
                                                 const std::uint8_t* cdb, std::uint32_t cdb_length,
                                                 std::uint32_t data_length);

// Writes `count` whole sectors from `buffer` at `lba` with one WRITE(10). Non-zero only when the
// request was carried out with SCSI status GOOD and nothing left over; 0 without I/O for a null
// buffer, a zero count or the invalid handle.
int WriteSectors(DeviceHandle handle, const void* buffer, std::uint32_t lba, std::uint32_t count);

// Sends a CDB of up to 16 bytes with a data phase of `data_length` bytes. Returns `data_length`
// when the OS carried the request out and 0 otherwise; 0 without I/O for a null buffer, a CDB
// longer than 16 bytes or the invalid handle. The SCSI status and sense are not looked at.
std::uint32_t SendVendorCommand(DeviceHandle handle, void* buffer, TransferDirection direction,
                                const std::uint8_t* cdb, std::uint32_t cdb_length,
                                std::uint32_t data_length);

// The volume controls: the OS's success flag. They do not test the handle first.
int LockVolume(DeviceHandle handle);
int UnlockVolume(DeviceHandle handle);
int ReleaseVolumeFileSystems(DeviceHandle handle);
int DismountVolume(DeviceHandle handle);

// The most sectors one request may carry on this handle, as the host reports it.
std::uint32_t MaxTransferSectors(DeviceHandle handle);

}  // namespace ulvren
