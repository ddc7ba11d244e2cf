#include "device/usb_disk.h"

#include <algorithm>

#include "device/command_templates.h"
#include "device/transport.h"
#include "host/host.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {

DeviceHandle CUsbDisk::OpenDevice(const std::string& device_path) {
    return CurrentHost().Open(device_path);
}

void CUsbDisk::CloseDevice(DeviceHandle handle) {
    if (handle != kInvalidDeviceHandle) {
        CurrentHost().Close(handle);
    }
}

int CUsbDisk::LockVolume(DeviceHandle handle) {
    return ulvren::LockVolume(handle);
}

int CUsbDisk::UnlockVolume(DeviceHandle handle) {
    return ulvren::UnlockVolume(handle);
}

int CUsbDisk::ReleaseFileSystems(DeviceHandle handle) {
    return ulvren::ReleaseVolumeFileSystems(handle);
}

int CUsbDisk::DismountVolume(DeviceHandle handle) {
    return ulvren::DismountVolume(handle);
}

bool CUsbDisk::ExchangeTemplate(DeviceHandle handle, std::uint8_t opcode) {
    reply_.fill(0);
    const CommandTemplate& cdb = CommandTemplateFor(opcode);
    const std::uint32_t received =
        SendVendorCommand(handle, reply_.data(), TransferDirection::FromDevice, cdb.data(),
                          kVendorCdbLength, kVendorReplyLength);
    return received == kVendorReplyLength && reply_[kReplyEchoOffset] == cdb[0];
}

bool CUsbDisk::ReplyConfirmsAt(std::size_t offset) const {
    return std::equal(kReplyConfirmation.begin(), kReplyConfirmation.end(),
                      reply_.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace ulvren
