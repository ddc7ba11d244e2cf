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

namespace {

enum class Search { First, Every };

// Every drive the host lists is examined: the 32 slots of a drive list are the drive letters'
// form (Windows has 26 of them), while Linux may list any number of removable disks. The first
// search stops at the first drive that identifies, so that it asks no drive after it.
std::vector<std::string> FindRecorders(CUsbDisk& disk, Search search) {
    std::vector<std::string> found;
    const std::string prefix = CurrentHost().DevicePathPrefix();
    for (const std::string& root : CurrentHost().RemovableDriveRoots()) {
        std::string path = DevicePathFromRoot(prefix, root);
        const DeviceHandle handle = disk.OpenDevice(path);
        const bool identified = handle != kInvalidDeviceHandle && disk.IdentifyDevice(handle) != 0;
        disk.CloseDevice(handle);
        if (identified) {
            found.push_back(std::move(path));
            if (search == Search::First) {
                break;
            }
        }
    }
    return found;
}

}  // namespace

std::string CUsbDisk::FindDevice() {
    auto found = FindRecorders(*this, Search::First);
    return found.empty() ? std::string() : std::move(found.front());
}

std::vector<std::string> CUsbDisk::FindDevices() {
    return FindRecorders(*this, Search::Every);
}

}  // namespace ulvren
