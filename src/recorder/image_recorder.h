#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "recorder/file_error_log.h"
#include "recorder/recorder_firmware.h"

namespace ulvren {

// A simulated recorder with its storage in an image file and its settings in the state file
// beside it, so that it behaves the same across runs and processes, like a real device.
struct ImageRecorder {
    static constexpr std::uint64_t kDefaultSectorCount = 16'777'216;  // 8 GiB

    std::shared_ptr<RecorderFirmware> firmware;
    // What went wrong with the image or the state file while the recorder ran.
    std::shared_ptr<FileErrorLog> file_errors;
};

struct ImageRecorderOptions {
    std::string image_path;
    // The size of a new image; for an existing image it must match, when given.
    std::optional<std::uint64_t> sector_count;
    // The USB adapter's largest transfer, kept in the state file by the first device session,
    // so later runs keep it.
    std::optional<std::uint32_t> max_transfer_sectors;
};

struct ImageRecorderError {
    enum class Kind {
        BadOptions,  // the options do not fit the image (or any image)
        FileError,   // the image or the state file cannot be made, read or written
    };
    Kind kind = Kind::FileError;
    std::string text;
};

// Opens the image, creating it (sparse) when it is missing, and reads the settings of its state
// file (a public disk with an empty password when there is none yet). It writes no settings:
// only device sessions (BeginSession and the commands after it) do, since another run over the
// same image may be in one right now. Two runs that find the image missing at once both open the
// one image that the first of them made. Null, with `error` set, when that fails.
std::optional<ImageRecorder> OpenImageRecorder(const ImageRecorderOptions& options,
                                               ImageRecorderError& error,
                                               DiskModel model = DiskModel::Recorder);

}  // namespace ulvren
