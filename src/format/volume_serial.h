#pragma once

#include <cstdint>

namespace ulvren::fat32 {

inline constexpr std::uint32_t kMaxVolumeSerial = 32'767;

// The first draw, 0 to 32,767, of a pseudo-random generator seeded with `seconds_since_epoch`.
// Two formats within the same second get the same serial.
std::uint32_t DrawVolumeSerial(std::uint64_t seconds_since_epoch);

// The same, seeded with the current calendar time in whole seconds.
std::uint32_t DrawVolumeSerialNow();

}  // namespace ulvren::fat32
