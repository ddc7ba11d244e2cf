#include <cstdint>
#include <string>

#include "operations/device_session.h"
#include "operations/workers.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {
namespace {

// Whole mebibytes; an unsigned 32-bit sector count gives at most 2,097,151.
std::string CapacityText(std::uint32_t sector_count) {
    return std::to_string(sector_count / 2048) + " MB";
}

void ReadCapacity(SharedWindowState& window, CUsbDisk& disk, DeviceHandle handle) {
    std::uint32_t sector_count = 0;
    if (disk.GetCapacity(handle, sector_count) == 0) {
        window.link.PostStatus(STATUS_CAPACITY_UNKNOWN);
        return;
    }
    window.members.capacity_text.Set(CapacityText(sector_count));
    window.link.PostStatus(STATUS_CAPACITY_OK);
}

void ReadDiskType(SharedWindowState& window, CUsbDisk& disk, DeviceHandle handle) {
    std::uint8_t disk_type = 0;
    if (disk.GetDiskType(handle, disk_type) == 0) {
        window.members.disk_type_index.Set(0);
        window.link.PostStatus(STATUS_DISK_TYPE_UNKNOWN);
        return;
    }
    // The list holds the disk types in order from 1; a type of 0 selects nothing (-1).
    window.members.disk_type_index.Set(static_cast<int>(disk_type) - 1);
    window.link.EnableGroup(ControlGroup::Password, disk_type != DISK_TYPE_PUBLIC);
    window.link.PostStatus(STATUS_DISK_TYPE_OK);
}

}  // namespace

void DetectWorker(SharedWindowState& window, std::stop_token stop) {
    const auto find_device = [&window](CUsbDisk& disk) {
        // What the discovery's failed opens leave, and only that, says why a drive was passed
        // over.
        ClearLastHostError();
        const std::string path = disk.FindDevice();
        if (path.empty()) {
            // The old path is kept, and so are the password controls, capacity text and index.
            window.link.EnableGroup(ControlGroup::Device, false);
            window.link.PostStatus(STATUS_DEVICE_NOT_FOUND, LastHostError());
            return false;
        }
        window.members.device_path.Set(path);
        // Before the open, so these stay enabled even when the device cannot be opened.
        window.link.EnableGroup(ControlGroup::Device, true);
        return true;
    };
    RunInDeviceSession(
        window, std::move(stop), SessionEnding::KeepMounted,
        [&window](CUsbDisk& disk, DeviceHandle handle) {
            // A failed capacity query does not stop the disk-type query.
            ReadCapacity(window, disk, handle);
            ReadDiskType(window, disk, handle);
            window.link.PostStatus(STATUS_DETECT_DONE);
        },
        find_device);
}

}  // namespace ulvren
