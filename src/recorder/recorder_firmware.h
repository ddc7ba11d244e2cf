#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "protocol/scsi.h"
#include "recorder/recorder_settings.h"
#include "recorder/sector_storage.h"

namespace ulvren {

enum class DataDirection { None, ToDevice, FromDevice };

// The direction of a command's data phase: none when it moves no bytes.
constexpr DataDirection DirectionOf(std::uint32_t length, bool data_in) {
    if (length == 0) {
        return DataDirection::None;
    }
    return data_in ? DataDirection::FromDevice : DataDirection::ToDevice;
}

// What the model answers as: the recorder, or a plain USB disk that knows no vendor command.
enum class DiskModel { Recorder, PlainDisk };

struct ScsiCommandResult {
    std::uint8_t status = kScsiStatusGood;
    std::vector<std::uint8_t> sense;  // fixed-format sense data with CHECK CONDITION, else empty
};

// A model of the recorder's firmware: the eight vendor commands, READ(10) and WRITE(10) on its
// storage, what a kernel sends when it probes a USB disk (INQUIRY with the removable bit, TEST
// UNIT READY, READ CAPACITY(10), REQUEST SENSE, MODE SENSE(6)) and what it sends around using
// one (START STOP UNIT, PREVENT ALLOW MEDIUM REMOVAL, SYNCHRONIZE CACHE(10)). Anything else is
// refused with CHECK CONDITION and no data, as a real device refuses an unknown command. As a
// plain disk it answers the same, but refuses every vendor opcode.
//
// Not thread-safe: the host that owns it serialises requests.
class RecorderFirmware {
  public:
    // Keeps changed settings; false when they could not be kept, and then the change is refused.
    using PersistSettings = std::function<bool(const RecorderSettings&)>;
    // Reads the settings as they are kept now; empty when they cannot be read.
    using LoadSettings = std::function<std::optional<RecorderSettings>()>;

    RecorderFirmware(std::unique_ptr<SectorStorage> storage, RecorderSettings settings = {},
                     PersistSettings persist = {});
    RecorderFirmware(DiskModel model, std::unique_ptr<SectorStorage> storage,
                     RecorderSettings settings = {}, PersistSettings persist = {});

    ScsiCommandResult Execute(std::span<const std::uint8_t> cdb, DataDirection direction,
                              std::span<std::uint8_t> data);
    // Refuses the command in hand without carrying it out: CHECK CONDITION with this sense,
    // which the next REQUEST SENSE reports. For faults that stand in for the firmware's answer.
    ScsiCommandResult CheckCondition(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq = 0);

    // Where the settings are kept, when something else (another process's recorder over the same
    // image) may change them between sessions.
    void SetSettingsSource(LoadSettings load) { load_ = std::move(load); }

    // A host opened the device: take up the settings as they are kept now, as a device that was
    // used elsewhere in between would.
    void BeginSession();

    const RecorderSettings& Settings() const { return settings_; }
    SectorStorage& Storage() { return *storage_; }
    // The sector count the capacity command reports (storage beyond 32 bits is not addressable).
    std::uint32_t ReportedSectorCount() const;

  private:
    ScsiCommandResult ExecuteVendor(std::span<const std::uint8_t> cdb,
                                    std::span<std::uint8_t> data);
    ScsiCommandResult ExecuteReadWrite(std::span<const std::uint8_t> cdb, DataDirection direction,
                                       std::span<std::uint8_t> data);
    // Applies `change` when it can be kept. False, with the settings as they were, when persisting
    // it failed: a setting that was not kept is refused, not reported as taken.
    bool ChangeSettings(const std::function<void(RecorderSettings&)>& change);

    DiskModel model_;
    std::unique_ptr<SectorStorage> storage_;
    RecorderSettings settings_;
    PersistSettings persist_;
    LoadSettings load_;
    std::vector<std::uint8_t> last_sense_;
    // A new password is taken only right after the old one was verified.
    bool old_password_verified_ = false;
};

}  // namespace ulvren
