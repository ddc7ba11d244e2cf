#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "hosts/simulated/simulated_host.h"
#include "recorder/image_recorder.h"

namespace ulvren {

// A ready-to-use simulated machine: a fixed disk C:, a card reader D: that does not identify,
// and the recorder E: over an image file and the state file beside it (see OpenImageRecorder).
struct SimulatedMachine {
    static constexpr std::uint64_t kDefaultSectorCount = ImageRecorder::kDefaultSectorCount;
    static constexpr const char* kRecorderRoot = "E:\\";

    std::unique_ptr<SimulatedHost> host;
    std::shared_ptr<RecorderFirmware> recorder;
    // What went wrong with the image or the state file while the machine ran.
    std::shared_ptr<FileErrorLog> file_errors;
};

using SimulatedMachineOptions = ImageRecorderOptions;
using SimulatedMachineError = ImageRecorderError;

// Opens the recorder's image and state file as OpenImageRecorder does, and puts the recorder
// into a machine whose adapter takes the recorder's kept max transfer. Null, with `error` set,
// when the recorder cannot be opened.
std::optional<SimulatedMachine> OpenSimulatedMachine(const SimulatedMachineOptions& options,
                                                     SimulatedMachineError& error);

}  // namespace ulvren
