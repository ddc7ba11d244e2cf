#include <cstdint>

#include "operations/device_session.h"
#include "operations/workers.h"

namespace ulvren {

void FormatWorker(SharedWindowState& window, std::stop_token stop) {
    RunInDeviceSession(
        window, std::move(stop), SessionEnding::Dismount,
        [&window](CUsbDisk& disk, DeviceHandle handle) {
            // Index 0 writes type 1 and index 1 type 2; nothing selected (-1) asks for type 0,
            // which SetDiskType refuses without sending anything.
            const auto disk_type =
                static_cast<std::uint8_t>(window.members.disk_type_index.Get() + 1);
            if (disk.SetDiskType(handle, disk_type) == 0) {
                window.link.PostStatus(STATUS_DISK_TYPE_SET_FAILED);
                return;
            }
            window.link.PostStatus(STATUS_DISK_TYPE_SET);
            bool capacity_outside_fat32 = false;
            if (disk.FormatFat32(handle, window.format_progress, &capacity_outside_fat32) != 0) {
                window.link.PostStatus(STATUS_FORMAT_OK);
            } else {
                window.link.PostStatus(capacity_outside_fat32 ? STATUS_FORMAT_CAPACITY_OUTSIDE_FAT32
                                                              : STATUS_FORMAT_FAILED);
            }
        });
    window.link.PostNotice(WorkerNotice::FormatEnded);
}

}  // namespace ulvren
