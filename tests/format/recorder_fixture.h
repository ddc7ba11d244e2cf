#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

#include "host/host.h"
#include "hosts/simulated/simulated_host.h"
#include "protocol/vendor_protocol.h"
#include "recorder/recorder_firmware.h"
#include "recorder/sector_storage.h"

namespace ulvren::testing {

inline constexpr const char* kRecorderPath = "\\\\?\\E:";

// A WRITE(10) as the device saw it.
struct SectorWrite {
    std::uint32_t lba = 0;
    std::uint32_t count = 0;
    bool carried_out = true;

    bool operator==(const SectorWrite&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const SectorWrite& write) {
    return out << "{" << write.lba << ", " << write.count << (write.carried_out ? "" : ", failed")
               << "}";
}

// A simulated recorder of a given size over sparse memory, installed as the current host and
// opened, for the length of one test.
class SimulatedRecorder {
  public:
    explicit SimulatedRecorder(std::uint32_t sector_count)
        : firmware_(std::make_shared<RecorderFirmware>(
              std::make_unique<MemorySectorStorage>(sector_count))),
          installed_(host_) {
        host_.AddRecorder("E:\\", firmware_);
        handle_ = host_.Open(kRecorderPath);
    }
    ~SimulatedRecorder() { host_.Close(handle_); }

    SimulatedHost& host() { return host_; }
    DeviceHandle handle() const { return handle_; }

    std::vector<std::uint8_t> ReadSectors(std::uint32_t lba, std::uint32_t count) {
        std::vector<std::uint8_t> bytes(std::size_t{count} * kSectorSize);
        firmware_->Storage().Read(lba, count, bytes.data());
        return bytes;
    }
    void FillSectors(std::uint32_t lba, std::uint32_t count, std::uint8_t pattern) {
        const std::vector<std::uint8_t> bytes(std::size_t{count} * kSectorSize, pattern);
        firmware_->Storage().Write(lba, count, bytes.data());
    }

    // The WRITE(10) commands the device has seen, in order.
    std::vector<SectorWrite> Writes() const {
        std::vector<SectorWrite> writes;
        for (const ObservedRequest& request : host_.Requests()) {
            if (request.cdb.empty() || request.cdb[0] != SCSI_WRITE_10) {
                continue;
            }
            const auto& cdb = request.cdb;
            writes.push_back({std::uint32_t{cdb[2]} << 24 | std::uint32_t{cdb[3]} << 16 |
                                  std::uint32_t{cdb[4]} << 8 | cdb[5],
                              std::uint32_t{cdb[7]} << 8 | cdb[8], request.carried_out});
        }
        return writes;
    }
    std::size_t VendorCommandCount(std::uint8_t opcode) const {
        const auto requests = host_.Requests();
        return static_cast<std::size_t>(
            std::count_if(requests.begin(), requests.end(), [opcode](const auto& request) {
                return !request.cdb.empty() && request.cdb[0] == opcode;
            }));
    }

  private:
    SimulatedHost host_;
    std::shared_ptr<RecorderFirmware> firmware_;
    ScopedHost installed_;
    DeviceHandle handle_ = kInvalidDeviceHandle;
};

// The writes of a format with a FAT of `fat_sectors`, each run cut into commands of at most
// `per_command` sectors.
inline std::vector<SectorWrite> ExpectedWrites(std::uint32_t fat_sectors,
                                               std::uint32_t per_command) {
    const std::uint32_t f = fat_sectors;
    std::vector<SectorWrite> writes = {{0, 1}, {6, 1}, {1, 1}, {7, 1}, {38, 1}, {38 + f, 1}};
    const auto add_run = [&](std::uint32_t lba, std::uint32_t count) {
        for (; count > 0;) {
            const std::uint32_t step = std::min(count, per_command);
            writes.push_back({lba, step});
            lba += step;
            count -= step;
        }
    };
    add_run(39, f - 1);
    add_run(39 + f, f - 1);
    writes.push_back({38 + 2 * f, 1});
    add_run(39 + 2 * f, 7);  // the rest of the root directory's cluster
    return writes;
}

}  // namespace ulvren::testing
