#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "hosts/simulated/simulated_host.h"
#include "operations/queued_device_mutex.h"
#include "operations/shared_window_state.h"
#include "recorder/recorder_firmware.h"
#include "volume_call_log.h"

namespace ulvren::testing {

inline const std::string kRecorderRoot = "E:\\";
inline const std::string kRecorderPath = "\\\\?\\E:";
// 512 MiB: a recorder that FAT32 with 4 KiB clusters holds, for the tests that format.
inline constexpr std::uint64_t kFormattableSectors = 1'048'576;

// A simulated machine with a fixed disk and the recorder (over storage in memory), installed as
// the current host, and the shared state of a window whose device path already names the
// recorder. The device mutex is in-process only.
struct RecorderBench {
    explicit RecorderBench(RecorderSettings settings = {}, std::uint64_t sectors = 100'000)
        : recorder(std::make_shared<RecorderFirmware>(
              std::make_unique<MemorySectorStorage>(sectors), std::move(settings))) {
        machine.AddDrive("C:\\", DriveKind::Fixed);
        machine.AddRecorder(kRecorderRoot, recorder);
        state->members.device_path.Set(kRecorderPath);
    }

    bool Sent(std::uint8_t opcode) const {
        const auto requests = machine.Requests();
        return std::any_of(requests.begin(), requests.end(), [&](const ObservedRequest& r) {
            return !r.cdb.empty() && r.cdb[0] == opcode;
        });
    }

    SimulatedHost machine;
    std::shared_ptr<RecorderFirmware> recorder;
    VolumeCallLog calls{machine};
    ScopedHost installed{calls};
    std::shared_ptr<SharedWindowState> state =
        std::make_shared<SharedWindowState>(std::make_shared<QueuedDeviceMutex>(nullptr));
};

}  // namespace ulvren::testing
