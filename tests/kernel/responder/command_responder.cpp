#include "command_responder.h"

#include <algorithm>
#include <cstring>
#include <ios>

#include "protocol/scsi.h"

namespace ulvren::kernel_test {
namespace {

std::vector<std::uint8_t> WriteErrorSense() {
    return FixedSense(kSenseKeyMediumError, kAscWriteError);
}

DataDirection DirectionOf(const CommandBlock& command) {
    if (command.data_length == 0) {
        return DataDirection::None;
    }
    return command.data_in ? DataDirection::FromDevice : DataDirection::ToDevice;
}

// The INQUIRY identity of the plain disk: vendor (8 bytes) and model (16 bytes).
constexpr char kPlainInquiryIdentity[] = "PLAIN   Responder Disk  ";
constexpr std::size_t kInquiryIdentityOffset = 8;
constexpr std::uint8_t kFirstVendorOpcode = 0xC0;

}  // namespace

CommandResponder::CommandResponder(std::shared_ptr<RecorderFirmware> firmware)
    : firmware_(std::move(firmware)) {}

void CommandResponder::BeginSession() {
    std::lock_guard lock(mutex_);
    fault_sense_.clear();
    firmware_->BeginSession();
}

bool CommandResponder::LogOpcodesTo(const std::string& path) {
    std::lock_guard lock(mutex_);
    opcode_log_.open(path, std::ios::app);
    return opcode_log_.is_open();
}

void CommandResponder::InjectVendorFault(VendorFault fault, std::optional<std::uint8_t> opcode) {
    std::lock_guard lock(mutex_);
    vendor_faults_.Inject(fault, opcode);
}

void CommandResponder::FailWritesFrom(std::uint32_t k) {
    std::lock_guard lock(mutex_);
    writes_until_medium_error_ = k == 0 ? 0 : k - 1;
}

void CommandResponder::UnplugAtWrite(std::uint32_t k) {
    std::lock_guard lock(mutex_);
    writes_until_unplug_ = k == 0 ? 0 : k - 1;
}

void CommandResponder::ClearFaults() {
    std::lock_guard lock(mutex_);
    vendor_faults_.Clear();
    writes_until_medium_error_.reset();
    writes_until_unplug_.reset();
    fault_sense_.clear();
}

bool CommandResponder::CountDown(std::optional<std::uint32_t>& remaining, bool sticky) {
    if (!remaining) {
        return false;
    }
    if (*remaining == 0) {
        if (!sticky) {
            remaining.reset();
        }
        return true;
    }
    --*remaining;
    return false;
}

Reply CommandResponder::Refuse(std::vector<std::uint8_t> sense, const CommandBlock& command) {
    fault_sense_ = std::move(sense);
    Reply reply;
    reply.status = kStatusFailed;
    reply.residue = command.data_length;
    if (command.data_in) {
        reply.data_in.assign(command.data_length, 0);
    }
    return reply;
}

Reply CommandResponder::Answer(const CommandBlock& command, std::span<std::uint8_t> data_out) {
    std::lock_guard lock(mutex_);
    const std::uint8_t opcode = command.cdb[0];
    if (opcode_log_.is_open()) {
        opcode_log_ << "opcode " << std::hex << static_cast<int>(opcode) << std::dec << std::endl;
    }
    if (plain_disk_ && opcode >= kFirstVendorOpcode) {
        return Refuse(InvalidOpcodeSense(), command);
    }
    if (opcode == SCSI_REQUEST_SENSE && !fault_sense_.empty()) {
        Reply reply;
        reply.data_in.assign(command.data_length, 0);
        std::copy_n(fault_sense_.begin(), std::min(fault_sense_.size(), reply.data_in.size()),
                    reply.data_in.begin());
        fault_sense_.clear();
        return reply;
    }
    fault_sense_.clear();

    if (opcode == SCSI_WRITE_10) {
        if (CountDown(writes_until_unplug_, false)) {
            Reply vanished;
            vanished.answered = false;
            vanished.unplug = true;
            return vanished;
        }
        if (CountDown(writes_until_medium_error_, true)) {
            return Refuse(WriteErrorSense(), command);
        }
    }
    std::optional<VendorFault> fault;
    if (opcode >= 0xF0) {
        fault = vendor_faults_.For(opcode);
        if (fault == VendorFault::NoReply) {
            Reply silence;
            silence.answered = false;
            return silence;
        }
        if (fault == VendorFault::Refused) {
            return Refuse(InvalidOpcodeSense(), command);
        }
    }

    Reply reply;
    ScsiCommandResult result;
    if (opcode == SCSI_START_STOP_UNIT || opcode == SCSI_PREVENT_ALLOW_MEDIUM_REMOVAL ||
        opcode == SCSI_SYNCHRONIZE_CACHE_10) {
        // What every USB disk takes from the kernel; the recorder has nothing to do for them.
    } else if (command.data_in) {
        reply.data_in.assign(command.data_length, 0);
        result = firmware_->Execute(command.cdb, DirectionOf(command), reply.data_in);
    } else {
        result = firmware_->Execute(command.cdb, DirectionOf(command), data_out);
    }
    if (result.status != kScsiStatusGood) {
        // The firmware keeps the sense for the REQUEST SENSE that follows.
        reply.status = kStatusFailed;
        reply.residue = command.data_length;
        return reply;
    }
    if (plain_disk_ && opcode == SCSI_INQUIRY) {
        const std::size_t size = sizeof(kPlainInquiryIdentity) - 1;
        if (reply.data_in.size() >= kInquiryIdentityOffset + size) {
            std::memcpy(reply.data_in.data() + kInquiryIdentityOffset, kPlainInquiryIdentity, size);
        }
    }
    if (fault) {
        VendorFaults::CorruptReply(*fault, opcode, reply.data_in.data(),
                                   static_cast<std::uint32_t>(reply.data_in.size()));
    }
    return reply;
}

}  // namespace ulvren::kernel_test
