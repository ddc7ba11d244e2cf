#include "recorder/vendor_faults.h"

#include <cstring>

#include "protocol/scsi.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {

void VendorFaults::Inject(VendorFault fault, std::optional<std::uint8_t> opcode) {
    faults_.emplace_back(fault, opcode);
}

std::optional<VendorFault> VendorFaults::For(std::uint8_t opcode) const {
    for (const auto& [fault, target] : faults_) {
        if (!target || *target == opcode) {
            return fault;
        }
    }
    return std::nullopt;
}

void VendorFaults::CorruptReply(VendorFault fault, std::uint8_t opcode, std::uint8_t* reply,
                                std::uint32_t length) {
    if (reply == nullptr || length < kVendorReplyLength) {
        return;
    }
    switch (fault) {
        case VendorFault::NoReply:
        case VendorFault::Refused:
            break;
        case VendorFault::WrongEcho:
            reply[0] = static_cast<std::uint8_t>(opcode ^ 0x01);
            break;
        case VendorFault::WrongSignature:
            if (opcode == CMD_IDENTIFY) {
                reply[7] = static_cast<std::uint8_t>(reply[7] + 1);
            }
            break;
        case VendorFault::MissingYes: {
            // The disk-type reply carries its word behind the type byte.
            const std::size_t offset = opcode == CMD_GET_DISK_TYPE ? 2 : 1;
            std::memcpy(reply + offset, "NO\0", 3);
            break;
        }
    }
}

std::vector<std::uint8_t> FixedSense(std::uint8_t key, std::uint8_t asc) {
    std::vector<std::uint8_t> sense(18, 0);
    sense[0] = 0x70;  // current error, fixed format
    sense[2] = key;
    sense[7] = 10;  // additional sense length
    sense[12] = asc;
    return sense;
}

std::vector<std::uint8_t> InvalidOpcodeSense() {
    return FixedSense(kSenseKeyIllegalRequest, kAscInvalidOpcode);
}

}  // namespace ulvren
