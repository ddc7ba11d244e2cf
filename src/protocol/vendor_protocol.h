#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/scsi.h"

namespace ulvren {

// The recorder's vendor command set. Every command is a 16-byte CDB answered by an 8-byte
// data-in reply whose byte 0 echoes the opcode.
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

// Opcodes from 0xF0 up are the vendor-specific range; the recorder's eight lie in it.
constexpr bool IsVendorOpcode(std::uint8_t opcode) {
    return opcode >= 0xF0;
}

inline constexpr std::uint32_t kVendorCdbLength = 16;
inline constexpr std::uint32_t kVendorReplyLength = 8;

inline constexpr std::uint8_t DISK_TYPE_PUBLIC = 1;
inline constexpr std::uint8_t DISK_TYPE_PASSWORD = 2;

// --- CDB layouts ---

// Set disk type: the type in byte 1.
inline constexpr std::size_t kDiskTypeCdbOffset = 1;
// Set clock: the 15 characters YYYYMMDDhhmmss and "Y" or "N" in bytes 1 to 15.
inline constexpr std::size_t kClockCdbOffset = 1;
inline constexpr std::uint32_t kClockStringLength = 15;
inline constexpr std::uint8_t kClockShowStamp = 'Y';
inline constexpr std::uint8_t kClockHideStamp = 'N';
// Login, verify and set password: the length in byte 1, the password's bytes from byte 2 (at
// most 12, ending by byte 13), and for the login the login mode in byte 14.
inline constexpr std::size_t kPasswordLengthCdbOffset = 1;
inline constexpr std::size_t kPasswordCdbOffset = 2;
inline constexpr std::uint32_t kMaxPasswordLength = 12;
inline constexpr std::size_t kLoginModeCdbOffset = 14;

// --- Reply layouts ---

inline constexpr std::size_t kReplyEchoOffset = 0;
// The confirmation word of most replies, compared as exactly three bytes from byte 1.
inline constexpr std::array<std::uint8_t, 3> kReplyConfirmation = {'Y', 'E', 'S'};
inline constexpr std::size_t kReplyConfirmationOffset = 1;
// Identify: the seven signature bytes from byte 1, with no confirmation word.
inline constexpr std::array<std::uint8_t, 7> kDeviceSignature = {'K', 'A', 'L', 'U', 'M', 'E', 'X'};
inline constexpr std::size_t kSignatureReplyOffset = 1;
// Get capacity: the sector count in bytes 4 to 7, little-endian.
inline constexpr std::size_t kCapacityReplyOffset = 4;
// Get disk type: the type in byte 1, then the confirmation one place later than elsewhere.
inline constexpr std::size_t kDiskTypeReplyOffset = 1;
inline constexpr std::size_t kDiskTypeReplyConfirmationOffset = 2;

}  // namespace ulvren
