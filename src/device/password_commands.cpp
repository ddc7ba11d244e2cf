// Login, verification of the old password, and setting a new one.
#include <algorithm>

#include "device/command_templates.h"
#include "device/usb_disk.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {
int CUsbDisk::SendPasswordCommand(DeviceHandle handle, std::uint8_t opcode,
                                  const std::string& password) {
    if (handle == kInvalidDeviceHandle || password.size() > kMaxPasswordLength) {
        return 0;
    }
    // Only the password's own bytes are written; the bytes behind it keep what the last earlier
    // command of this opcode left, and the length byte tells the device where the password ends.
    CommandTemplate& cdb = CommandTemplateFor(opcode);
    cdb[kPasswordLengthCdbOffset] = static_cast<std::uint8_t>(password.size());
    std::copy(password.begin(), password.end(), cdb.begin() + kPasswordCdbOffset);
    return ExchangeTemplate(handle, opcode) && ReplyConfirmsAt(kReplyConfirmationOffset) ? 1 : 0;
}

int CUsbDisk::Login(DeviceHandle handle, std::uint8_t mode, const std::string& password) {
    if (handle == kInvalidDeviceHandle || password.size() > kMaxPasswordLength) {
        return 0;
    }
    CommandTemplateFor(CMD_LOGIN)[kLoginModeCdbOffset] = mode;
    return SendPasswordCommand(handle, CMD_LOGIN, password);
}

int CUsbDisk::VerifyPassword(DeviceHandle handle, const std::string& password) {
    return SendPasswordCommand(handle, CMD_VERIFY_PASSWORD, password);
}

int CUsbDisk::SetPassword(DeviceHandle handle, const std::string& password) {
    return SendPasswordCommand(handle, CMD_SET_PASSWORD, password);
}

}  // namespace ulvren
