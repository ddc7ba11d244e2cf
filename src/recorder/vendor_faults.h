#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace ulvren {

// Faults that a simulated recorder can be told to show in its answers to vendor commands, for one
// opcode or for all of them. The simulated host and the USB responder of the kernel tests both
// carry them out, so a fault means the same wherever the recorder runs.
enum class VendorFault {
    NoReply,         // no answer at all, as a device that hangs or a call that times out
    WrongEcho,       // reply byte 0 does not echo the opcode
    WrongSignature,  // the identify reply's signature is off by one byte
    MissingYes,      // the confirmation word reads "NO" instead of "YES"
    Refused,         // CHECK CONDITION, invalid command operation code, and no reply data
};

// The vendor faults in force. Not thread-safe: its owner serialises access.
class VendorFaults {
  public:
    // A fault with no opcode applies to every vendor command. The first matching fault wins.
    void Inject(VendorFault fault, std::optional<std::uint8_t> opcode = std::nullopt);
    void Clear() { faults_.clear(); }

    std::optional<VendorFault> For(std::uint8_t opcode) const;

    // Changes a good reply of `length` bytes as `fault` says. NoReply and Refused leave it alone:
    // they are carried out by whoever answers the command.
    static void CorruptReply(VendorFault fault, std::uint8_t opcode, std::uint8_t* reply,
                             std::uint32_t length);

  private:
    std::vector<std::pair<VendorFault, std::optional<std::uint8_t>>> faults_;
};

// Fixed-format sense data of 18 bytes with sense key `key` and additional sense code `asc`.
std::vector<std::uint8_t> FixedSense(std::uint8_t key, std::uint8_t asc);
// The sense data of a refused command: ILLEGAL REQUEST, invalid command operation code.
std::vector<std::uint8_t> InvalidOpcodeSense();

}  // namespace ulvren
