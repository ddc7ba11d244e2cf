#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "bulk_only.h"
#include "recorder/recorder_firmware.h"
#include "recorder/vendor_faults.h"

namespace ulvren::kernel_test {

// What the device does with one command.
struct Reply {
    bool answered = true;  // false: nothing more goes out for this command, not even its status
    bool unplug = false;   // the device is to vanish from the bus now
    std::vector<std::uint8_t> data_in;  // exactly the length the host asked for, zero padded
    std::uint8_t status = kStatusPassed;
    std::uint32_t residue = 0;
};

// Answers the commands of a Bulk-Only Transport through the recorder's firmware model, with the
// faults it has been told to show. Thread-safe: the transport and the control channel both use it.
class CommandResponder {
  public:
    explicit CommandResponder(std::shared_ptr<RecorderFirmware> firmware);

    // `data_out` holds what the host sent in the data phase of a data-out command.
    Reply Answer(const CommandBlock& command, std::span<std::uint8_t> data_out);

    // Serves a plain USB disk on the same storage: every vendor command (opcode 0xC0 and up) is
    // refused as unknown, and INQUIRY names a plain disk instead of the recorder.
    void ServeAsPlainDisk() { plain_disk_ = true; }
    // Appends each command's opcode ("opcode 2a") to `path`, flushed at once, so that a test can
    // tell exactly what reached the device. False when the file cannot be opened.
    bool LogOpcodesTo(const std::string& path);

    // A host configured the device (after a plug or a reset).
    void BeginSession();

    // Fault control.
    void InjectVendorFault(VendorFault fault, std::optional<std::uint8_t> opcode);
    // The k-th WRITE(10) from now (1 for the next) and every later one fail with MEDIUM ERROR.
    void FailWritesFrom(std::uint32_t k);
    // The device vanishes from the bus in the middle of the k-th WRITE(10) from now.
    void UnplugAtWrite(std::uint32_t k);
    void ClearFaults();

  private:
    Reply Refuse(std::vector<std::uint8_t> sense, const CommandBlock& command);
    // Counts down to the k-th write; true when this write is it (and, with `sticky`, any later).
    static bool CountDown(std::optional<std::uint32_t>& remaining, bool sticky);

    std::mutex mutex_;
    bool plain_disk_ = false;
    std::ofstream opcode_log_;
    std::shared_ptr<RecorderFirmware> firmware_;
    VendorFaults vendor_faults_;
    std::optional<std::uint32_t> writes_until_medium_error_;
    std::optional<std::uint32_t> writes_until_unplug_;
    // Sense of a command that a fault refused, for the REQUEST SENSE that the host sends next.
    std::vector<std::uint8_t> fault_sense_;
};

}  // namespace ulvren::kernel_test
