#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "recorder/recorder_firmware.h"

namespace ulvren {

// Faults that a simulated disk can be told to show in its answers to vendor commands, for one
// opcode or for all of them.
enum class VendorFault {
    NoReply,         // no answer at all, as a device that hangs or a call that times out
    WrongEcho,       // reply byte 0 does not echo the opcode
    WrongSignature,  // the identify reply's signature is off by one byte
    MissingYes,      // the confirmation word reads "NO" instead of "YES"
    Refused,         // CHECK CONDITION, invalid command operation code, and no reply data
};

// How a write that a fault fails goes wrong.
enum class WriteFailure {
    NoAnswer,     // the device never answers it, as a call that times out
    MediumError,  // CHECK CONDITION, MEDIUM ERROR, write error
};

// What became of one command.
struct DeviceAnswer {
    enum class Kind {
        Answered,   // `result` is the device's answer
        NoAnswer,   // nothing comes back, not even a status
        Unplugged,  // the device left the bus while it had the command
    };
    Kind kind = Kind::Answered;
    ScsiCommandResult result;
};

// The faults in force on a simulated disk, and the one place they are carried out: every command
// goes through Execute, which answers it through the disk's model unless a fault stands in. The
// simulated host and the USB responder of the kernel tests both answer this way, so a fault means
// the same wherever the recorder runs. Not thread-safe: its owner serialises access.
class DeviceFaults {
  public:
    // A fault with no opcode applies to every vendor command. The first matching fault wins.
    void InjectVendorFault(VendorFault fault, std::optional<std::uint8_t> opcode = std::nullopt);
    // The k-th WRITE(10) from now (1 for the next) and every later one fail as `how` says.
    void FailWritesFrom(std::uint32_t k, WriteFailure how);
    // The device leaves the bus during the k-th WRITE(10) from now.
    void UnplugAtWrite(std::uint32_t k);
    void Clear();

    // Carries out one command on `disk`, with `data` the data phase's buffer, as the faults say.
    DeviceAnswer Execute(RecorderFirmware& disk, std::span<const std::uint8_t> cdb,
                         DataDirection direction, std::span<std::uint8_t> data);

  private:
    // Counts WRITE(10) commands down to the k-th.
    class WriteCountdown {
      public:
        enum class Repeat { Once, EveryLaterWrite };
        void Start(std::uint32_t k, Repeat repeat);
        void Stop() { remaining_.reset(); }
        // Counts one write; true when it is the k-th (or, repeating, a later one).
        bool Fires();

      private:
        std::optional<std::uint32_t> remaining_;
        Repeat repeat_ = Repeat::Once;
    };

    std::optional<VendorFault> VendorFaultFor(std::uint8_t opcode) const;

    std::vector<std::pair<VendorFault, std::optional<std::uint8_t>>> vendor_faults_;
    WriteCountdown failing_writes_;
    WriteFailure write_failure_ = WriteFailure::NoAnswer;
    WriteCountdown unplug_;
};

}  // namespace ulvren
