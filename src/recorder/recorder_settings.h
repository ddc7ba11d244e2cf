#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/scsi.h"

namespace ulvren {

// What the recorder keeps besides its storage. A simulated recorder keeps it in a small text file
// beside its image, so that it behaves the same across runs, like a real device.
struct RecorderSettings {
    std::uint8_t disk_type = 1;  // 1 public disk, 2 password disk
    std::string password;        // raw bytes, as the commands carry them
    std::string clock;           // the last 14 clock digits the recorder took, YYYYMMDDhhmmss
    bool time_stamp = false;
    bool logged_in = false;
    // The largest transfer the simulated USB adapter takes, in sectors (1 to 65,535).
    std::uint32_t max_transfer_sectors = kUsbStorageMaxTransferSectors;

    bool operator==(const RecorderSettings&) const = default;
};

// The state file that goes with an image: the image path with ".state" appended.
std::string StateFilePathFor(const std::string& image_path);

std::string SerializeSettings(const RecorderSettings& settings);
// Null, with `error` set, for a malformed file.
std::optional<RecorderSettings> ParseSettings(const std::string& text, std::string& error);

// Null, with `error` set, when the file cannot be read or is malformed.
std::optional<RecorderSettings> LoadSettingsFile(const std::string& path, std::string& error);
// The settings kept in `path`, or a new recorder's when there is no file there yet. Null, with
// `error` set, when the file cannot be read or is malformed.
std::optional<RecorderSettings> LoadKeptSettings(const std::string& path, std::string& error);
// Replaces the file in one step: written whole into a new file of its own beside it (see
// WriteNewFileBeside), then renamed over it. False, with `error` set and the old file as it was,
// when any of that fails.
bool SaveSettingsFile(const std::string& path, const RecorderSettings& settings,
                      std::string& error);

}  // namespace ulvren
