#include "recorder/recorder_firmware.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "protocol/byte_order.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {
namespace {

using Reply = std::array<std::uint8_t, 8>;

enum class Confirmation { Yes, No };

Confirmation ConfirmationOf(bool taken) {
    return taken ? Confirmation::Yes : Confirmation::No;
}

Reply Confirmed(std::uint8_t opcode, Confirmation confirmation) {
    Reply reply{};
    reply[kReplyEchoOffset] = opcode;
    if (confirmation == Confirmation::Yes) {
        std::copy(kReplyConfirmation.begin(), kReplyConfirmation.end(),
                  reply.begin() + kReplyConfirmationOffset);
    } else {
        std::memcpy(reply.data() + kReplyConfirmationOffset, "NO", 2);
    }
    return reply;
}

constexpr std::uint8_t kSenseKeyNoSense = 0;

// Fixed-format sense data: current error, with `key`, `asc` and `ascq`.
std::vector<std::uint8_t> FixedSense(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
    std::vector<std::uint8_t> sense(18, 0);
    sense[0] = 0x70;  // current error, fixed format
    sense[2] = key;
    sense[7] = 10;  // additional sense length
    sense[12] = asc;
    sense[13] = ascq;
    return sense;
}

// What INQUIRY names: vendor (8 characters) and product (16).
struct Identity {
    const char* vendor;
    const char* product;
};

Identity IdentityOf(DiskModel model) {
    if (model == DiskModel::PlainDisk) {
        return {"GENERIC ", "USB Disk        "};
    }
    return {"ULVREN  ", "Pocket Recorder "};
}

void CopyOut(std::span<const std::uint8_t> from, std::span<std::uint8_t> to) {
    std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
}

bool IsDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A 15-character clock: 14 digits of a plausible date and time, then "Y" or "N".
bool IsValidClock(std::span<const std::uint8_t> characters) {
    const std::string text(characters.begin(), characters.end());
    if (text.size() != kClockStringLength || !IsDigits(text.substr(0, 14)) ||
        (text[14] != kClockShowStamp && text[14] != kClockHideStamp)) {
        return false;
    }
    const int month = std::stoi(text.substr(4, 2));
    const int day = std::stoi(text.substr(6, 2));
    const int hour = std::stoi(text.substr(8, 2));
    const int minute = std::stoi(text.substr(10, 2));
    const int second = std::stoi(text.substr(12, 2));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23 && minute <= 59 &&
           second <= 59;
}

// The password a password command carries: its length in byte 1, its bytes from byte 2.
std::optional<std::string> PasswordIn(std::span<const std::uint8_t> cdb) {
    const std::size_t length = cdb[kPasswordLengthCdbOffset];
    if (length > kMaxPasswordLength) {
        return std::nullopt;
    }
    const auto first = cdb.begin() + kPasswordCdbOffset;
    return std::string(first, first + static_cast<std::ptrdiff_t>(length));
}

}  // namespace

RecorderFirmware::RecorderFirmware(std::unique_ptr<SectorStorage> storage,
                                   RecorderSettings settings, PersistSettings persist)
    : RecorderFirmware(DiskModel::Recorder, std::move(storage), std::move(settings),
                       std::move(persist)) {}

RecorderFirmware::RecorderFirmware(DiskModel model, std::unique_ptr<SectorStorage> storage,
                                   RecorderSettings settings, PersistSettings persist)
    : model_(model),
      storage_(std::move(storage)),
      settings_(std::move(settings)),
      persist_(std::move(persist)) {}

void RecorderFirmware::BeginSession() {
    old_password_verified_ = false;
    last_sense_.clear();
    if (load_) {
        if (auto kept = load_()) {
            settings_ = std::move(*kept);
        }
    }
}

std::uint32_t RecorderFirmware::ReportedSectorCount() const {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(storage_->SectorCount(), 0xFFFFFFFF));
}

bool RecorderFirmware::ChangeSettings(const std::function<void(RecorderSettings&)>& change) {
    RecorderSettings changed = settings_;
    change(changed);
    if (persist_ && !persist_(changed)) {
        return false;
    }
    settings_ = std::move(changed);
    return true;
}

ScsiCommandResult RecorderFirmware::CheckCondition(std::uint8_t key, std::uint8_t asc,
                                                   std::uint8_t ascq) {
    last_sense_ = FixedSense(key, asc, ascq);
    return {kScsiStatusCheckCondition, last_sense_};
}

ScsiCommandResult RecorderFirmware::Execute(std::span<const std::uint8_t> cdb,
                                            DataDirection direction, std::span<std::uint8_t> data) {
    if (cdb.empty()) {
        return CheckCondition(kSenseKeyIllegalRequest, kAscInvalidOpcode);
    }
    const std::uint8_t opcode = cdb[0];
    if (IsVendorOpcode(opcode) && model_ == DiskModel::Recorder) {
        return ExecuteVendor(cdb, data);
    }
    if (opcode == SCSI_START_STOP_UNIT || opcode == SCSI_PREVENT_ALLOW_MEDIUM_REMOVAL ||
        opcode == SCSI_SYNCHRONIZE_CACHE_10) {
        // What a kernel sends around its use of any USB disk; there is nothing to do for them.
        // They are not the tool's commands, so a password change in progress stays open.
        return {};
    }
    old_password_verified_ = false;
    switch (opcode) {
        case SCSI_READ_10:
        case SCSI_WRITE_10:
            return ExecuteReadWrite(cdb, direction, data);
        case SCSI_TEST_UNIT_READY:
            last_sense_.clear();
            return {};
        case SCSI_REQUEST_SENSE: {
            CopyOut(last_sense_.empty() ? FixedSense(kSenseKeyNoSense, 0, 0) : last_sense_, data);
            last_sense_.clear();
            return {};
        }
        case SCSI_INQUIRY: {
            std::array<std::uint8_t, 36> inquiry{};
            inquiry[0] = 0x00;  // direct-access block device
            inquiry[1] = 0x80;  // removable medium
            inquiry[2] = 0x04;  // SPC-2
            inquiry[3] = 0x02;  // response data format
            inquiry[4] = 31;    // additional length
            const Identity identity = IdentityOf(model_);
            std::memcpy(inquiry.data() + 8, identity.vendor, 8);
            std::memcpy(inquiry.data() + 16, identity.product, 16);
            std::memcpy(inquiry.data() + 32, "1.00", 4);
            CopyOut(inquiry, data);
            return {};
        }
        case SCSI_READ_CAPACITY_10: {
            // The last LBA and the block length, big-endian.
            std::array<std::uint8_t, 8> capacity{};
            StoreBe32(capacity, 0, ReportedSectorCount() - 1);
            StoreBe32(capacity, 4, kSectorSize);
            CopyOut(capacity, data);
            return {};
        }
        case SCSI_MODE_SENSE_6: {
            const std::array<std::uint8_t, 4> header = {3, 0, 0, 0};
            CopyOut(header, data);
            return {};
        }
        default:
            return CheckCondition(kSenseKeyIllegalRequest, kAscInvalidOpcode);
    }
}

ScsiCommandResult RecorderFirmware::ExecuteReadWrite(std::span<const std::uint8_t> cdb,
                                                     DataDirection direction,
                                                     std::span<std::uint8_t> data) {
    if (cdb.size() < kRw10CdbLength) {
        return CheckCondition(kSenseKeyIllegalRequest, kAscInvalidFieldInCdb);
    }
    const std::uint32_t lba = LoadBe32(cdb, kRw10LbaOffset);
    const std::uint32_t count = LoadBe16(cdb, kRw10CountOffset);
    const bool write = cdb[0] == SCSI_WRITE_10;
    const DataDirection expected = write ? DataDirection::ToDevice : DataDirection::FromDevice;
    if (count == 0) {
        return {};
    }
    if (direction != expected || data.size() != std::size_t{count} * kSectorSize) {
        return CheckCondition(kSenseKeyIllegalRequest, kAscInvalidFieldInCdb);
    }
    if (std::uint64_t{lba} + count > storage_->SectorCount()) {
        return CheckCondition(kSenseKeyIllegalRequest, kAscLbaOutOfRange);
    }
    const bool done =
        write ? storage_->Write(lba, count, data.data()) : storage_->Read(lba, count, data.data());
    if (!done) {
        return CheckCondition(kSenseKeyMediumError, write ? kAscWriteError : kAscReadError);
    }
    return {};
}

ScsiCommandResult RecorderFirmware::ExecuteVendor(std::span<const std::uint8_t> cdb,
                                                  std::span<std::uint8_t> data) {
    if (cdb.size() != kVendorCdbLength) {
        return CheckCondition(kSenseKeyIllegalRequest, kAscInvalidFieldInCdb);
    }
    const std::uint8_t opcode = cdb[0];
    const bool verified_before = old_password_verified_;
    old_password_verified_ = false;
    Reply reply{};
    switch (opcode) {
        case CMD_IDENTIFY:
            reply[kReplyEchoOffset] = CMD_IDENTIFY;
            std::copy(kDeviceSignature.begin(), kDeviceSignature.end(),
                      reply.begin() + kSignatureReplyOffset);
            break;
        case CMD_GET_CAPACITY: {
            reply = Confirmed(opcode, Confirmation::Yes);
            StoreLe32(reply, kCapacityReplyOffset, ReportedSectorCount());
            break;
        }
        case CMD_GET_DISK_TYPE:
            reply[kReplyEchoOffset] = CMD_GET_DISK_TYPE;
            reply[kDiskTypeReplyOffset] = settings_.disk_type;
            std::copy(kReplyConfirmation.begin(), kReplyConfirmation.end(),
                      reply.begin() + kDiskTypeReplyConfirmationOffset);
            break;
        case CMD_SET_DISK_TYPE: {
            const std::uint8_t type = cdb[kDiskTypeCdbOffset];
            const bool valid = type == DISK_TYPE_PUBLIC || type == DISK_TYPE_PASSWORD;
            const bool taken = valid && ChangeSettings([type](RecorderSettings& s) {
                                   s.disk_type = type;
                                   s.logged_in = false;
                               });
            reply = Confirmed(opcode, ConfirmationOf(taken));
            break;
        }
        case CMD_SET_CLOCK: {
            const auto characters = cdb.subspan(kClockCdbOffset, kClockStringLength);
            const bool taken =
                IsValidClock(characters) && ChangeSettings([characters](RecorderSettings& s) {
                    s.clock.assign(characters.begin(), characters.begin() + 14);
                    s.time_stamp = characters[14] == kClockShowStamp;
                });
            reply = Confirmed(opcode, ConfirmationOf(taken));
            break;
        }
        case CMD_LOGIN: {
            const auto password = PasswordIn(cdb);
            const bool accepted = password && *password == settings_.password;
            const bool kept =
                accepted == settings_.logged_in ||
                ChangeSettings([accepted](RecorderSettings& s) { s.logged_in = accepted; });
            reply = Confirmed(opcode, ConfirmationOf(accepted && kept));
            break;
        }
        case CMD_VERIFY_PASSWORD: {
            const auto password = PasswordIn(cdb);
            old_password_verified_ = password && *password == settings_.password;
            reply = Confirmed(opcode, ConfirmationOf(old_password_verified_));
            break;
        }
        case CMD_SET_PASSWORD: {
            const auto password = PasswordIn(cdb);
            const bool taken =
                password && verified_before && ChangeSettings([&password](RecorderSettings& s) {
                    s.password = *password;
                    s.logged_in = false;
                });
            reply = Confirmed(opcode, ConfirmationOf(taken));
            break;
        }
        default:
            return CheckCondition(kSenseKeyIllegalRequest, kAscInvalidOpcode);
    }
    CopyOut(reply, data);
    return {};
}

}  // namespace ulvren
