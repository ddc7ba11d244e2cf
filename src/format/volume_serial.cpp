#include "format/volume_serial.h"

#include <chrono>
#include <random>

namespace ulvren::fat32 {

std::uint32_t DrawVolumeSerial(std::uint64_t seconds_since_epoch) {
    // The engine's modulus is prime, so its low bits are as well spread as its high ones.
    std::minstd_rand generator(static_cast<std::minstd_rand::result_type>(seconds_since_epoch));
    return static_cast<std::uint32_t>(generator() % (kMaxVolumeSerial + 1));
}

std::uint32_t DrawVolumeSerialNow() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now).count();
    return DrawVolumeSerial(static_cast<std::uint64_t>(seconds));
}

}  // namespace ulvren::fat32
