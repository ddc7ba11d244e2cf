#include "hosts/simulated/simulated_recorder.h"

#include <filesystem>

namespace ulvren {
namespace {

// The capacity command reports a 32-bit sector count.
constexpr std::uint64_t kMaxSectorCount = 0xFFFFFFFF;
// Below this the recorder could not hold even the reserved sectors of its file system.
constexpr std::uint64_t kMinSectorCount = 64;

}  // namespace

std::optional<SimulatedMachine> OpenSimulatedMachine(const SimulatedMachineOptions& options,
                                                     std::string& error) {
    const std::string& image = options.image_path;
    const std::string state_path = StateFilePathFor(image);
    std::unique_ptr<SectorStorage> storage;
    RecorderSettings settings;

    if (std::filesystem::exists(image)) {
        auto opened = ImageFileStorage::Open(image, error);
        if (!opened) {
            return std::nullopt;
        }
        if (options.sector_count && *options.sector_count != opened->SectorCount()) {
            error = "image " + image + " already holds " + std::to_string(opened->SectorCount()) +
                    " sectors, not " + std::to_string(*options.sector_count);
            return std::nullopt;
        }
        if (std::filesystem::exists(state_path)) {
            auto loaded = LoadSettingsFile(state_path, error);
            if (!loaded) {
                return std::nullopt;
            }
            settings = *loaded;
        }
        storage = std::move(opened);
    } else {
        const std::uint64_t sectors =
            options.sector_count.value_or(SimulatedMachine::kDefaultSectorCount);
        if (sectors < kMinSectorCount || sectors > kMaxSectorCount) {
            error = "a simulated recorder holds " + std::to_string(kMinSectorCount) + " to " +
                    std::to_string(kMaxSectorCount) + " sectors";
            return std::nullopt;
        }
        auto created = ImageFileStorage::Create(image, sectors, error);
        if (!created) {
            return std::nullopt;
        }
        storage = std::move(created);
    }

    bool settings_changed = !std::filesystem::exists(state_path);
    if (options.max_transfer_sectors) {
        if (*options.max_transfer_sectors < 1 ||
            *options.max_transfer_sectors > kMaxWrite10Sectors) {
            error =
                "the maximum transfer is 1 to " + std::to_string(kMaxWrite10Sectors) + " sectors";
            return std::nullopt;
        }
        settings_changed |= settings.max_transfer_sectors != *options.max_transfer_sectors;
        settings.max_transfer_sectors = *options.max_transfer_sectors;
    }
    // Written only when something changed: another run over the same image may be in a device
    // session right now, and its settings must not be overwritten with older ones.
    if (settings_changed && !SaveSettingsFile(state_path, settings, error)) {
        return std::nullopt;
    }

    SimulatedMachine machine;
    machine.recorder = std::make_shared<RecorderFirmware>(
        std::move(storage), settings, [state_path](const RecorderSettings& changed) {
            std::string ignored;
            SaveSettingsFile(state_path, changed, ignored);
        });
    // Each device session starts from the state file, which the device sessions of other runs
    // over the same image (serialised by the device mutex) may have changed.
    machine.recorder->SetSettingsSource([state_path]() -> std::optional<RecorderSettings> {
        std::string ignored;
        return LoadSettingsFile(state_path, ignored);
    });
    machine.host = std::make_unique<SimulatedHost>();
    // Nobody reads the request log of this machine (--trace records requests), and a format of a
    // large drive would fill it with tens of thousands of entries.
    machine.host->SetRequestLogging(false);
    machine.host->AddDrive("C:\\", DriveKind::Fixed);
    machine.host->AddDrive("D:\\", DriveKind::PlainRemovable);
    machine.host->AddRecorder(SimulatedMachine::kRecorderRoot, machine.recorder);
    machine.host->SetMaxTransferSectors(settings.max_transfer_sectors);
    return machine;
}

}  // namespace ulvren
