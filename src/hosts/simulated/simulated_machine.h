#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hosts/simulated/simulated_host.h"
#include "recorder/image_recorder.h"

namespace ulvren {

// A ready-to-use simulated machine: a fixed disk C:, a card reader D: that does not identify,
// and the recorder E: over an image file and the state file beside it (see OpenImageRecorder);
// more recorders, each over an image of its own, take the next letters (F:, G:, ...).
struct SimulatedMachine {
    static constexpr std::uint64_t kDefaultSectorCount = ImageRecorder::kDefaultSectorCount;
    static constexpr const char* kRecorderRoot = "E:\\";

    std::unique_ptr<SimulatedHost> host;
    std::shared_ptr<RecorderFirmware> recorder;
    // What went wrong with the image or the state file while the machine ran.
    std::shared_ptr<FileErrorLog> file_errors;
    // The recorders after the first, in drive-letter order.
    std::vector<ImageRecorder> further_recorders;

    // The root of the recorder at `index` (0 is the first, E:).
    static std::string RecorderRoot(std::size_t index);
    // The first thing that went wrong with any recorder's files.
    std::optional<std::string> FirstFileError() const;
};

using SimulatedMachineOptions = ImageRecorderOptions;
using SimulatedMachineError = ImageRecorderError;

// Opens the recorder's image and state file as OpenImageRecorder does, and puts the recorder
// into a machine whose adapter takes the recorder's kept max transfer. Null, with `error` set,
// when the recorder cannot be opened.
std::optional<SimulatedMachine> OpenSimulatedMachine(const SimulatedMachineOptions& options,
                                                     SimulatedMachineError& error);

// Opens one more recorder as OpenSimulatedMachine opens the first and plugs it in at the next
// drive letter. False, with `error` set, when it cannot be opened, or when no letter is left.
bool AddSimulatedRecorder(SimulatedMachine& machine, const SimulatedMachineOptions& options,
                          SimulatedMachineError& error);

}  // namespace ulvren
