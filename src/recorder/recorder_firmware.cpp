#include "recorder/recorder_firmware.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "protocol/vendor_protocol.h"

namespace ulvren {
namespace {

constexpr std::uint8_t kTestUnitReady = 0x00;
constexpr std::uint8_t kRequestSense = 0x03;
constexpr std::uint8_t kInquiry = 0x12;
constexpr std::uint8_t kModeSense6 = 0x1A;
constexpr std::uint8_t kReadCapacity10 = 0x25;

constexpr std::uint8_t kSenseMediumError = 0x03;
constexpr std::uint8_t kSenseIllegalRequest = 0x05;
constexpr std::uint8_t kAscWriteError = 0x0C;
constexpr std::uint8_t kAscReadError = 0x11;
constexpr std::uint8_t kAscInvalidOpcode = 0x20;
constexpr std::uint8_t kAscLbaOutOfRange = 0x21;
constexpr std::uint8_t kAscInvalidFieldInCdb = 0x24;

using Reply = std::array<std::uint8_t, 8>;

Reply Confirmed(std::uint8_t opcode, bool yes) {
    Reply reply{opcode};
    const char* word = yes ? "YES" : "NO\0";
    std::memcpy(reply.data() + 1, word, 3);
    return reply;
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
    if (text.size() != 15 || !IsDigits(text.substr(0, 14)) ||
        (text[14] != 'Y' && text[14] != 'N')) {
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
    const std::size_t length = cdb[1];
    if (length > kMaxPasswordLength) {
        return std::nullopt;
    }
    return std::string(cdb.begin() + 2, cdb.begin() + 2 + static_cast<std::ptrdiff_t>(length));
}

}  // namespace

RecorderFirmware::RecorderFirmware(std::unique_ptr<SectorStorage> storage,
                                   RecorderSettings settings, PersistSettings persist)
    : storage_(std::move(storage)), settings_(std::move(settings)), persist_(std::move(persist)) {}

void RecorderFirmware::BeginSession() {
    old_password_verified_ = false;
    if (load_) {
        if (auto kept = load_()) {
            settings_ = std::move(*kept);
        }
    }
}

std::uint32_t RecorderFirmware::ReportedSectorCount() const {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(storage_->SectorCount(), 0xFFFFFFFF));
}

void RecorderFirmware::ChangeSettings(const std::function<void(RecorderSettings&)>& change) {
    change(settings_);
    if (persist_) {
        persist_(settings_);
    }
}

ScsiCommandResult RecorderFirmware::CheckCondition(std::uint8_t key, std::uint8_t asc,
                                                   std::uint8_t ascq) {
    std::vector<std::uint8_t> sense(18, 0);
    sense[0] = 0x70;  // current error, fixed format
    sense[2] = key;
    sense[7] = 10;  // additional sense length
    sense[12] = asc;
    sense[13] = ascq;
    last_sense_ = sense;
    return {kScsiStatusCheckCondition, sense};
}

ScsiCommandResult RecorderFirmware::Execute(std::span<const std::uint8_t> cdb,
                                            DataDirection direction, std::span<std::uint8_t> data) {
    if (cdb.empty()) {
        return CheckCondition(kSenseIllegalRequest, kAscInvalidOpcode);
    }
    const std::uint8_t opcode = cdb[0];
    if (opcode >= 0xF0) {
        return ExecuteVendor(cdb, data);
    }
    old_password_verified_ = false;
    switch (opcode) {
        case SCSI_READ_10:
        case SCSI_WRITE_10:
            return ExecuteReadWrite(cdb, direction, data);
        case kTestUnitReady:
            last_sense_.clear();
            return {};
        case kRequestSense: {
            std::vector<std::uint8_t> sense = last_sense_;
            if (sense.empty()) {
                sense.assign(18, 0);
                sense[0] = 0x70;
                sense[7] = 10;
            }
            CopyOut(sense, data);
            last_sense_.clear();
            return {};
        }
        case kInquiry: {
            std::array<std::uint8_t, 36> inquiry{};
            inquiry[0] = 0x00;  // direct-access block device
            inquiry[1] = 0x80;  // removable medium
            inquiry[2] = 0x04;  // SPC-2
            inquiry[3] = 0x02;  // response data format
            inquiry[4] = 31;    // additional length
            std::memcpy(inquiry.data() + 8, "ULVREN  ", 8);
            std::memcpy(inquiry.data() + 16, "Pocket Recorder ", 16);
            std::memcpy(inquiry.data() + 32, "1.00", 4);
            CopyOut(inquiry, data);
            return {};
        }
        case kReadCapacity10: {
            const std::uint32_t last_lba = ReportedSectorCount() - 1;
            const std::array<std::uint8_t, 8> capacity = {static_cast<std::uint8_t>(last_lba >> 24),
                                                          static_cast<std::uint8_t>(last_lba >> 16),
                                                          static_cast<std::uint8_t>(last_lba >> 8),
                                                          static_cast<std::uint8_t>(last_lba),
                                                          0,
                                                          0,
                                                          0x02,
                                                          0x00};  // 512-byte blocks
            CopyOut(capacity, data);
            return {};
        }
        case kModeSense6: {
            const std::array<std::uint8_t, 4> header = {3, 0, 0, 0};
            CopyOut(header, data);
            return {};
        }
        default:
            return CheckCondition(kSenseIllegalRequest, kAscInvalidOpcode);
    }
}

ScsiCommandResult RecorderFirmware::ExecuteReadWrite(std::span<const std::uint8_t> cdb,
                                                     DataDirection direction,
                                                     std::span<std::uint8_t> data) {
    if (cdb.size() < 10) {
        return CheckCondition(kSenseIllegalRequest, kAscInvalidFieldInCdb);
    }
    const std::uint32_t lba = static_cast<std::uint32_t>(cdb[2]) << 24 |
                              static_cast<std::uint32_t>(cdb[3]) << 16 |
                              static_cast<std::uint32_t>(cdb[4]) << 8 | cdb[5];
    const std::uint32_t count = static_cast<std::uint32_t>(cdb[7]) << 8 | cdb[8];
    const bool write = cdb[0] == SCSI_WRITE_10;
    const DataDirection expected = write ? DataDirection::ToDevice : DataDirection::FromDevice;
    if (count == 0) {
        return {};
    }
    if (direction != expected || data.size() != std::size_t{count} * kSectorSize) {
        return CheckCondition(kSenseIllegalRequest, kAscInvalidFieldInCdb);
    }
    if (std::uint64_t{lba} + count > storage_->SectorCount()) {
        return CheckCondition(kSenseIllegalRequest, kAscLbaOutOfRange);
    }
    const bool done =
        write ? storage_->Write(lba, count, data.data()) : storage_->Read(lba, count, data.data());
    if (!done) {
        return CheckCondition(kSenseMediumError, write ? kAscWriteError : kAscReadError);
    }
    return {};
}

ScsiCommandResult RecorderFirmware::ExecuteVendor(std::span<const std::uint8_t> cdb,
                                                  std::span<std::uint8_t> data) {
    if (cdb.size() != kVendorCdbLength) {
        return CheckCondition(kSenseIllegalRequest, kAscInvalidFieldInCdb);
    }
    const std::uint8_t opcode = cdb[0];
    const bool verified_before = old_password_verified_;
    old_password_verified_ = false;
    Reply reply{};
    switch (opcode) {
        case CMD_IDENTIFY:
            reply[0] = CMD_IDENTIFY;
            std::copy(kDeviceSignature.begin(), kDeviceSignature.end(), reply.begin() + 1);
            break;
        case CMD_GET_CAPACITY: {
            reply = Confirmed(opcode, true);
            const std::uint32_t sectors = ReportedSectorCount();
            for (int i = 0; i < 4; ++i) {
                reply[4 + i] = static_cast<std::uint8_t>(sectors >> (8 * i));
            }
            break;
        }
        case CMD_GET_DISK_TYPE:
            reply = {CMD_GET_DISK_TYPE, settings_.disk_type, 'Y', 'E', 'S', 0, 0, 0};
            break;
        case CMD_SET_DISK_TYPE: {
            const std::uint8_t type = cdb[1];
            const bool valid = type == DISK_TYPE_PUBLIC || type == DISK_TYPE_PASSWORD;
            if (valid) {
                ChangeSettings([type](RecorderSettings& s) {
                    s.disk_type = type;
                    s.logged_in = false;
                });
            }
            reply = Confirmed(opcode, valid);
            break;
        }
        case CMD_SET_CLOCK: {
            const auto characters = cdb.subspan(1, 15);
            const bool valid = IsValidClock(characters);
            if (valid) {
                ChangeSettings([characters](RecorderSettings& s) {
                    s.clock.assign(characters.begin(), characters.begin() + 14);
                    s.time_stamp = characters[14] == 'Y';
                });
            }
            reply = Confirmed(opcode, valid);
            break;
        }
        case CMD_LOGIN: {
            const auto password = PasswordIn(cdb);
            const bool accepted = password && *password == settings_.password;
            if (accepted != settings_.logged_in) {
                ChangeSettings([accepted](RecorderSettings& s) { s.logged_in = accepted; });
            }
            reply = Confirmed(opcode, accepted);
            break;
        }
        case CMD_VERIFY_PASSWORD: {
            const auto password = PasswordIn(cdb);
            old_password_verified_ = password && *password == settings_.password;
            reply = Confirmed(opcode, old_password_verified_);
            break;
        }
        case CMD_SET_PASSWORD: {
            const auto password = PasswordIn(cdb);
            const bool accepted = password && verified_before;
            if (accepted) {
                ChangeSettings([&password](RecorderSettings& s) {
                    s.password = *password;
                    s.logged_in = false;
                });
            }
            reply = Confirmed(opcode, accepted);
            break;
        }
        default:
            return CheckCondition(kSenseIllegalRequest, kAscInvalidOpcode);
    }
    CopyOut(reply, data);
    return {};
}

}  // namespace ulvren
