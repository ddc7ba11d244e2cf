#include "recorder/device_faults.h"

#include <cstring>

#include "protocol/scsi.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {
namespace {

// Changes a good vendor reply as `fault` says; faults that stand in for the answer change nothing.
void CorruptReply(VendorFault fault, std::uint8_t opcode, std::span<std::uint8_t> reply) {
    if (reply.size() < kVendorReplyLength) {
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
            std::memcpy(reply.data() + offset, "NO\0", 3);
            break;
        }
    }
}

DeviceAnswer Answered(ScsiCommandResult result) {
    return {DeviceAnswer::Kind::Answered, std::move(result)};
}

}  // namespace

void DeviceFaults::WriteCountdown::Start(std::uint32_t k, Repeat repeat) {
    remaining_ = k == 0 ? 0 : k - 1;
    repeat_ = repeat;
}

bool DeviceFaults::WriteCountdown::Fires() {
    if (!remaining_) {
        return false;
    }
    if (*remaining_ == 0) {
        if (repeat_ == Repeat::Once) {
            remaining_.reset();
        }
        return true;
    }
    --*remaining_;
    return false;
}

void DeviceFaults::InjectVendorFault(VendorFault fault, std::optional<std::uint8_t> opcode) {
    vendor_faults_.emplace_back(fault, opcode);
}

void DeviceFaults::FailWritesFrom(std::uint32_t k, WriteFailure how) {
    failing_writes_.Start(k, WriteCountdown::Repeat::EveryLaterWrite);
    write_failure_ = how;
}

void DeviceFaults::UnplugAtWrite(std::uint32_t k) {
    unplug_.Start(k, WriteCountdown::Repeat::Once);
}

void DeviceFaults::Clear() {
    vendor_faults_.clear();
    failing_writes_.Stop();
    unplug_.Stop();
}

std::optional<VendorFault> DeviceFaults::VendorFaultFor(std::uint8_t opcode) const {
    for (const auto& [fault, target] : vendor_faults_) {
        if (!target || *target == opcode) {
            return fault;
        }
    }
    return std::nullopt;
}

DeviceAnswer DeviceFaults::Execute(RecorderFirmware& disk, std::span<const std::uint8_t> cdb,
                                   DataDirection direction, std::span<std::uint8_t> data) {
    const std::uint8_t opcode = cdb.empty() ? 0 : cdb[0];
    if (opcode == SCSI_WRITE_10) {
        if (unplug_.Fires()) {
            return {DeviceAnswer::Kind::Unplugged, {}};
        }
        if (failing_writes_.Fires()) {
            if (write_failure_ == WriteFailure::NoAnswer) {
                return {DeviceAnswer::Kind::NoAnswer, {}};
            }
            return Answered(disk.CheckCondition(kSenseKeyMediumError, kAscWriteError));
        }
    }
    const std::optional<VendorFault> fault =
        IsVendorOpcode(opcode) ? VendorFaultFor(opcode) : std::nullopt;
    if (fault == VendorFault::NoReply) {
        return {DeviceAnswer::Kind::NoAnswer, {}};
    }
    if (fault == VendorFault::Refused) {
        return Answered(disk.CheckCondition(kSenseKeyIllegalRequest, kAscInvalidOpcode));
    }
    ScsiCommandResult result = disk.Execute(cdb, direction, data);
    if (fault && result.status == kScsiStatusGood) {
        CorruptReply(*fault, opcode, data);
    }
    return Answered(std::move(result));
}

}  // namespace ulvren
