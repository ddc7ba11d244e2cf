#include "hosts/simulated/simulated_recorder.h"

#include <filesystem>
#include <system_error>

namespace ulvren {
namespace {

// The capacity command reports a 32-bit sector count.
constexpr std::uint64_t kMaxSectorCount = 0xFFFFFFFF;
// Below this the recorder could not hold even the reserved sectors of its file system.
constexpr std::uint64_t kMinSectorCount = 64;

using ErrorKind = SimulatedMachineError::Kind;

// The image at `path`, created with `options`' size when it is missing.
std::unique_ptr<ImageFileStorage> OpenOrCreateImage(const SimulatedMachineOptions& options,
                                                    std::shared_ptr<FileErrorLog> file_errors,
                                                    SimulatedMachineError& error) {
    const std::string& image = options.image_path;
    std::error_code code;
    const bool exists = std::filesystem::exists(image, code);
    if (code) {
        error = {ErrorKind::FileError, "cannot open image " + image + ": " + code.message()};
        return nullptr;
    }
    if (!exists) {
        const std::uint64_t sectors =
            options.sector_count.value_or(SimulatedMachine::kDefaultSectorCount);
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

std::optional<SimulatedMachine> OpenSimulatedMachine(const SimulatedMachineOptions& options,
                                                     SimulatedMachineError& error) {
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

    SimulatedMachine machine;
    machine.file_errors = file_errors;
    machine.recorder = std::make_shared<RecorderFirmware>(
        std::move(storage), *settings, [state_path, file_errors](const RecorderSettings& changed) {
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
    machine.recorder->SetSettingsSource(
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
    machine.host = std::make_unique<SimulatedHost>();
    // Nobody reads the request log of this machine (--trace records requests), and a format of a
    // large drive would fill it with tens of thousands of entries.
    machine.host->SetRequestLogging(false);
    machine.host->AddDrive("C:\\", DriveKind::Fixed);
    machine.host->AddDrive("D:\\", DriveKind::PlainRemovable);
    machine.host->AddRecorder(SimulatedMachine::kRecorderRoot, machine.recorder);
    machine.host->SetMaxTransferSectors(settings->max_transfer_sectors);
    return machine;
}

}  // namespace ulvren
