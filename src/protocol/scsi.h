#pragma once

#include <cstdint>

namespace ulvren {

// The standard SCSI block commands that the tool sends (WRITE(10)) and that the recorder answers
// besides its vendor commands: the ones a kernel sends when it probes and uses a USB disk.
inline constexpr std::uint8_t SCSI_TEST_UNIT_READY = 0x00;
inline constexpr std::uint8_t SCSI_REQUEST_SENSE = 0x03;
inline constexpr std::uint8_t SCSI_INQUIRY = 0x12;
inline constexpr std::uint8_t SCSI_START_STOP_UNIT = 0x1B;
inline constexpr std::uint8_t SCSI_MODE_SENSE_6 = 0x1A;
inline constexpr std::uint8_t SCSI_PREVENT_ALLOW_MEDIUM_REMOVAL = 0x1E;
inline constexpr std::uint8_t SCSI_READ_CAPACITY_10 = 0x25;
inline constexpr std::uint8_t SCSI_READ_10 = 0x28;
inline constexpr std::uint8_t SCSI_WRITE_10 = 0x2A;
inline constexpr std::uint8_t SCSI_SYNCHRONIZE_CACHE_10 = 0x35;

// READ(10) and WRITE(10): LBA in bytes 2 to 5 and block count in bytes 7 and 8, big-endian.
inline constexpr std::uint32_t kRw10CdbLength = 10;
inline constexpr std::size_t kRw10LbaOffset = 2;
inline constexpr std::size_t kRw10CountOffset = 7;
// The most sectors one WRITE(10) can carry: its block count is 16 bits wide.
inline constexpr std::uint32_t kMaxWrite10Sectors = 65535;

inline constexpr std::uint32_t kSectorSize = 512;

// What a Linux usb-storage adapter takes in one request by default (max_sectors_kb 120).
inline constexpr std::uint32_t kUsbStorageMaxTransferSectors = 240;

// SCSI status bytes.
inline constexpr std::uint8_t kScsiStatusGood = 0x00;
inline constexpr std::uint8_t kScsiStatusCheckCondition = 0x02;

// Sense keys and additional sense codes of fixed-format sense data.
inline constexpr std::uint8_t kSenseKeyMediumError = 0x03;
inline constexpr std::uint8_t kSenseKeyIllegalRequest = 0x05;
inline constexpr std::uint8_t kAscWriteError = 0x0C;
inline constexpr std::uint8_t kAscReadError = 0x11;
inline constexpr std::uint8_t kAscInvalidOpcode = 0x20;
inline constexpr std::uint8_t kAscLbaOutOfRange = 0x21;
inline constexpr std::uint8_t kAscInvalidFieldInCdb = 0x24;

}  // namespace ulvren
