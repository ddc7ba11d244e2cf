#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ulvren::kernel_test {

// The USB Mass Storage Bulk-Only Transport's framing: a 31-byte command block wrapper (CBW) from
// the host, an optional data phase, a 13-byte command status wrapper (CSW) from the device.
inline constexpr std::size_t kCommandBlockSize = 31;
inline constexpr std::size_t kStatusBlockSize = 13;

inline constexpr std::uint8_t kStatusPassed = 0;
inline constexpr std::uint8_t kStatusFailed = 1;

struct CommandBlock {
    std::uint32_t tag = 0;
    std::uint32_t data_length = 0;  // what the host expects to move in the data phase
    bool data_in = false;           // device to host
    std::uint8_t lun = 0;
    std::vector<std::uint8_t> cdb;
};

// Null for anything but a well-formed CBW: 31 bytes, the signature, a CDB of 1 to 16 bytes.
std::optional<CommandBlock> ParseCommandBlock(std::span<const std::uint8_t> bytes);

std::array<std::uint8_t, kStatusBlockSize> StatusBlock(std::uint32_t tag, std::uint32_t residue,
                                                       std::uint8_t status);

}  // namespace ulvren::kernel_test
