#pragma once

#include <memory>

#include "recorder/recorder_firmware.h"
#include "recorder/sector_storage.h"

namespace ulvren::testing {

// A recorder with sparse storage in memory.
inline std::shared_ptr<RecorderFirmware> MakeRecorder(std::uint64_t sectors = 100'000,
                                                      RecorderSettings settings = {}) {
    return std::make_shared<RecorderFirmware>(std::make_unique<MemorySectorStorage>(sectors),
                                              std::move(settings));
}

}  // namespace ulvren::testing
