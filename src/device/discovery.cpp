#include "device/discovery.h"

#include <algorithm>

#include "device/command_templates.h"
#include "device/usb_disk.h"
#include "host/host.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {

int EnumRemovableDrives(DriveList& list, std::int8_t* count) {
    if (count == nullptr) {
        return 0;
    }
    const std::vector<std::string> roots = CurrentHost().RemovableDriveRoots();
    const std::size_t filled = std::min(roots.size(), kDriveListSlots);
    if (filled == 0) {
        return 0;
    }
    std::copy_n(roots.begin(), filled, list.begin());
    *count = static_cast<std::int8_t>(filled);
    return 1;
}

int CUsbDisk::IdentifyDevice(DeviceHandle handle) {
    if (handle == kInvalidDeviceHandle) {
        return 0;
    }
    if (!ExchangeTemplate(handle, CMD_IDENTIFY)) {
        return 0;
    }
    return std::equal(kDeviceSignature.begin(), kDeviceSignature.end(),
                      reply_.begin() + kSignatureReplyOffset)
               ? 1
               : 0;
}

std::string CUsbDisk::FindDevice() {
    // Every drive the host lists is examined: the 32 slots of a drive list are the drive letters'
    // form (Windows has 26 of them), while Linux may list any number of removable disks.
    const std::string prefix = CurrentHost().DevicePathPrefix();
    for (const std::string& root : CurrentHost().RemovableDriveRoots()) {
        std::string path = DevicePathFromRoot(prefix, root);
        const DeviceHandle handle = OpenDevice(path);
        const bool identified = handle != kInvalidDeviceHandle && IdentifyDevice(handle) != 0;
        CloseDevice(handle);
        if (identified) {
            return path;
        }
    }
    return {};
}

}  // namespace ulvren
