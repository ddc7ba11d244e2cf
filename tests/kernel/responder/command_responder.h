#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "bulk_only.h"
#include "recorder/device_faults.h"
#include "recorder/recorder_firmware.h"

namespace ulvren::kernel_test {

// What the device does with one command.
struct Reply {
    bool answered = true;  // false: nothing more goes out for this command, not even its status
    bool unplug = false;   // the device is to vanish from the bus now
    std::vector<std::uint8_t> data_in;  // exactly the length the host asked for, zero padded
    std::uint8_t status = kStatusPassed;
    std::uint32_t residue = 0;
};

// Answers the commands of a Bulk-Only Transport through a disk model with the faults it has been
// told to show (src/recorder). Thread-safe: the transport and the control channel both use it.
class CommandResponder {
  public:
    explicit CommandResponder(std::shared_ptr<RecorderFirmware> disk);

    // `data_out` holds what the host sent in the data phase of a data-out command.
    Reply Answer(const CommandBlock& command, std::span<std::uint8_t> data_out);

    // A host configured the device (after a plug or a reset).
    void BeginSession();

    // Changes the faults in force, between two commands.
    void ChangeFaults(const std::function<void(DeviceFaults&)>& change);
    // From now on appends the opcode of every command the device receives to the file at `path`,
    // one line each with its arrival time ("opcode 2a 41.250113"). False when the file cannot be
    // opened.
    bool LogOpcodesTo(const std::string& path);
    // Appends "mark TIME" to that log: a benchmark's start or end on the commands' own clock.
    void Mark();

  private:
    void LogLine(const std::string& what);

    std::mutex mutex_;
    std::shared_ptr<RecorderFirmware> disk_;
    DeviceFaults faults_;
    std::ofstream opcode_log_;
};

}  // namespace ulvren::kernel_test
