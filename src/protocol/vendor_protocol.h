#pragma once

#include <array>
#include <cstdint>

namespace ulvren {

// The recorder's vendor opcodes. Each is a 16-byte CDB answered by an 8-byte data-in reply whose
// first byte echoes the opcode.
inline constexpr std::uint8_t CMD_SET_PASSWORD = 0xF2;
inline constexpr std::uint8_t CMD_VERIFY_PASSWORD = 0xF3;
inline constexpr std::uint8_t CMD_SET_CLOCK = 0xF5;
inline constexpr std::uint8_t CMD_IDENTIFY = 0xF6;
inline constexpr std::uint8_t CMD_SET_DISK_TYPE = 0xF8;
inline constexpr std::uint8_t CMD_GET_DISK_TYPE = 0xF9;
inline constexpr std::uint8_t CMD_LOGIN = 0xFA;
inline constexpr std::uint8_t CMD_GET_CAPACITY = 0xFB;

inline constexpr std::array<std::uint8_t, 8> kVendorOpcodes = {
    CMD_SET_PASSWORD,  CMD_VERIFY_PASSWORD, CMD_SET_CLOCK, CMD_IDENTIFY,
    CMD_SET_DISK_TYPE, CMD_GET_DISK_TYPE,   CMD_LOGIN,     CMD_GET_CAPACITY};

inline constexpr std::uint8_t SCSI_WRITE_10 = 0x2A;
inline constexpr std::uint8_t SCSI_READ_10 = 0x28;

inline constexpr std::uint8_t DISK_TYPE_PUBLIC = 1;
inline constexpr std::uint8_t DISK_TYPE_PASSWORD = 2;

inline constexpr std::uint32_t kVendorCdbLength = 16;
inline constexpr std::uint32_t kVendorReplyLength = 8;
inline constexpr std::uint32_t kSectorSize = 512;

// The confirmation word of most replies, compared as exactly three bytes.
inline constexpr std::array<std::uint8_t, 3> kReplyConfirmation = {'Y', 'E', 'S'};

// What the recorder answers to the identify command in reply bytes 1 to 7.
inline constexpr std::array<std::uint8_t, 7> kDeviceSignature = {'K', 'A', 'L', 'U', 'M', 'E', 'X'};

// Timeouts of the pass-through record, in seconds.
inline constexpr std::uint32_t kSectorWriteTimeout = 20;
inline constexpr std::uint32_t kVendorCommandTimeout = 10;

// Sense bytes asked for. The sense area of the record holds 32.
inline constexpr std::uint8_t kSectorWriteSenseLength = 18;
inline constexpr std::uint8_t kVendorCommandSenseLength = 24;

// The most sectors one WRITE(10) can carry: its block count is 16 bits wide.
inline constexpr std::uint32_t kMaxWrite10Sectors = 65535;

inline constexpr std::uint32_t kMaxPasswordLength = 12;
inline constexpr std::uint32_t kClockStringLength = 15;

}  // namespace ulvren
