#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "hosts/simulated/simulated_host.h"
#include "recorder/recorder_firmware.h"

namespace ulvren {

// A ready-to-use simulated machine: a fixed disk C:, a card reader D: that does not identify,
// and the recorder E: with its storage in an image file and its settings in the state file beside
// it.
struct SimulatedMachine {
    static constexpr std::uint64_t kDefaultSectorCount = 16'777'216;  // 8 GiB
    static constexpr const char* kRecorderRoot = "E:\\";

    std::unique_ptr<SimulatedHost> host;
    std::shared_ptr<RecorderFirmware> recorder;
};

struct SimulatedMachineOptions {
    std::string image_path;
    // The size of a new image; for an existing image it must match, when given.
    std::optional<std::uint64_t> sector_count;
    // Stored in the state file, so later runs keep it.
    std::optional<std::uint32_t> max_transfer_sectors;
};

// Opens the image and its state file, creating both (a sparse image, a public disk with an empty
// password) when the image is missing. Null, with `error` set, when that fails.
std::optional<SimulatedMachine> OpenSimulatedMachine(const SimulatedMachineOptions& options,
                                                     std::string& error);

}  // namespace ulvren
