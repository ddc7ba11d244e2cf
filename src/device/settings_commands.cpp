// Capacity, disk type and clock.
#include <algorithm>

#include "device/command_templates.h"
#include "device/usb_disk.h"
#include "protocol/byte_order.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {

int CUsbDisk::GetCapacity(DeviceHandle handle, std::uint32_t& sector_count) {
    sector_count = 0;
    if (handle == kInvalidDeviceHandle) {
        return 0;
    }
    if (!ExchangeTemplate(handle, CMD_GET_CAPACITY) || !ReplyConfirmsAt(kReplyConfirmationOffset)) {
        return 0;
    }
    sector_count = LoadLe32(reply_, kCapacityReplyOffset);
    return 1;
}

int CUsbDisk::GetDiskType(DeviceHandle handle, std::uint8_t& disk_type) {
    disk_type = 0;
    if (handle == kInvalidDeviceHandle) {
        return 0;
    }
    // This reply carries its "YES" one place later than the others, behind the type byte.
    if (!ExchangeTemplate(handle, CMD_GET_DISK_TYPE) ||
        !ReplyConfirmsAt(kDiskTypeReplyConfirmationOffset)) {
        return 0;
    }
    disk_type = reply_[kDiskTypeReplyOffset];
    return 1;
}

int CUsbDisk::SetDiskType(DeviceHandle handle, std::uint8_t disk_type) {
    if (handle == kInvalidDeviceHandle) {
        return 0;
    }
    if (disk_type != DISK_TYPE_PUBLIC && disk_type != DISK_TYPE_PASSWORD) {
        return 0;
    }
    CommandTemplateFor(CMD_SET_DISK_TYPE)[kDiskTypeCdbOffset] = disk_type;
    return ExchangeTemplate(handle, CMD_SET_DISK_TYPE) && ReplyConfirmsAt(kReplyConfirmationOffset)
               ? 1
               : 0;
}

int CUsbDisk::SetClock(DeviceHandle handle, const std::string& clock) {
    if (handle == kInvalidDeviceHandle) {
        return 0;
    }
    if (clock.size() != kClockStringLength) {
        return 0;
    }
    CommandTemplate& cdb = CommandTemplateFor(CMD_SET_CLOCK);
    std::copy(clock.begin(), clock.end(), cdb.begin() + kClockCdbOffset);
    // A transfer that does not bring 8 bytes, or a reply with another first byte, is a failure:
    // the caller takes success to mean that the device took the new time.
    return ExchangeTemplate(handle, CMD_SET_CLOCK) && ReplyConfirmsAt(kReplyConfirmationOffset) ? 1
                                                                                                : 0;
}

}  // namespace ulvren
