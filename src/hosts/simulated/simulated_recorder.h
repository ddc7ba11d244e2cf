#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "hosts/simulated/file_error_log.h"
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
    // What went wrong with the image or the state file while the machine ran.
    std::shared_ptr<FileErrorLog> file_errors;
};

struct SimulatedMachineOptions {
    std::string image_path;
    // The size of a new image; for an existing image it must match, when given.
    std::optional<std::uint64_t> sector_count;
    // Stored in the state file by the first device session, so later runs keep it.
    std::optional<std::uint32_t> max_transfer_sectors;
};

struct SimulatedMachineError {
    enum class Kind {
        BadOptions,  // the options do not fit the image (or any image)
        FileError,   // the image or the state file cannot be made, read or written
    };
    Kind kind = Kind::FileError;
    std::string text;
};

// Opens the image, creating it (sparse) when it is missing, and reads the settings of its state
// file (a public disk with an empty password when there is none yet). It writes no settings:
// only device sessions do, since another run over the same image may be in one right now. Two
// runs that find the image missing at once both open the one image that the first of them made.
// Null, with `error` set, when that fails.
std::optional<SimulatedMachine> OpenSimulatedMachine(const SimulatedMachineOptions& options,
                                                     SimulatedMachineError& error);

}  // namespace ulvren
