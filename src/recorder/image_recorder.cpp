#include "recorder/image_recorder.h"

#include <filesystem>
#include <system_error>

namespace ulvren {
namespace {

// The capacity command reports a 32-bit sector count.
constexpr std::uint64_t kMaxSectorCount = 0xFFFFFFFF;
// Below this the recorder could not hold even the reserved sectors of its file system.
constexpr std::uint64_t kMinSectorCount = 64;

using ErrorKind = ImageRecorderError::Kind;

// The image at `path`, created with `options`' size when it is missing.
std::unique_ptr<ImageFileStorage> OpenOrCreateImage(const ImageRecorderOptions& options,
                                                    std::shared_ptr<FileErrorLog> file_errors,
                                                    ImageRecorderError& error) {
    const std::string& image = options.image_path;
    std::error_code code;
    const bool exists = std::filesystem::exists(image, code);
    if (code) {
        error = {ErrorKind::FileError, "cannot open image " + image + ": " + code.message()};
        return nullptr;
    }
    if (!exists) {
        const std::uint64_t sectors =
            options.sector_count.value_or(ImageRecorder::kDefaultSectorCount);
        if (sectors < kMinSectorCount || sectors > kMaxSectorCount) {
            error = {ErrorKind::BadOptions, "a simulated recorder holds " +
                                                std::to_string(kMinSectorCount) + " to " +
                                                std::to_string(kMaxSectorCount) + " sectors"};
            return nullptr;
        }
        if (!ImageFileStorage::Create(image, sectors, error.text)) {
            error.kind = ErrorKind::FileError;
            return nullptr;
        }
    }
    auto storage = ImageFileStorage::Open(
        image, error.text, [file_errors](const std::string& text) { file_errors->Note(text); });
    if (!storage) {
        error.kind = ErrorKind::FileError;
        return nullptr;
    }
    if (options.sector_count && *options.sector_count != storage->SectorCount()) {
        error = {ErrorKind::BadOptions,
                 "image " + image + " already holds " + std::to_string(storage->SectorCount()) +
                     " sectors, not " + std::to_string(*options.sector_count)};
        return nullptr;
    }
    return storage;
}

}  // namespace

std::optional<ImageRecorder> OpenImageRecorder(const ImageRecorderOptions& options,
                                               ImageRecorderError& error, DiskModel model) {
    const std::optional<std::uint32_t> max_transfer = options.max_transfer_sectors;
    if (max_transfer && (*max_transfer < 1 || *max_transfer > kMaxWrite10Sectors)) {
        error = {ErrorKind::BadOptions,
                 "the maximum transfer is 1 to " + std::to_string(kMaxWrite10Sectors) + " sectors"};
        return std::nullopt;
    }
    auto file_errors = std::make_shared<FileErrorLog>();
    auto storage = OpenOrCreateImage(options, file_errors, error);
    if (!storage) {
        return std::nullopt;
    }
    const std::string state_path = StateFilePathFor(options.image_path);
    auto settings = LoadKeptSettings(state_path, error.text);
    if (!settings) {
        error.kind = ErrorKind::FileError;
        return std::nullopt;
    }
    settings->max_transfer_sectors = max_transfer.value_or(settings->max_transfer_sectors);

    ImageRecorder recorder;
    recorder.file_errors = file_errors;
    recorder.firmware = std::make_shared<RecorderFirmware>(
        model, std::move(storage), *settings,
        [state_path, file_errors](const RecorderSettings& changed) {
            std::string save_error;
            if (SaveSettingsFile(state_path, changed, save_error)) {
                return true;
            }
            file_errors->Note(save_error);
            return false;
        });
    // Each device session starts from the state file, which the device sessions of other runs
    // over the same image (serialised by the device mutex) may have changed. This run's own
    // adapter limit goes into the file there too, inside the session, and never outside one.
    recorder.firmware->SetSettingsSource(
        [state_path, max_transfer, file_errors]() -> std::optional<RecorderSettings> {
            std::string session_error;
            auto kept = LoadKeptSettings(state_path, session_error);
            if (!kept) {
                file_errors->Note(session_error);
                return std::nullopt;
            }
            if (max_transfer && kept->max_transfer_sectors != *max_transfer) {
                kept->max_transfer_sectors = *max_transfer;
                if (!SaveSettingsFile(state_path, *kept, session_error)) {
                    file_errors->Note(session_error);
                }
            }
            return kept;
        });
    return recorder;
}

}  // namespace ulvren
