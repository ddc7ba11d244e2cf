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
            const bool formatted = disk.FormatFat32(handle, window.format_progress) != 0;
            window.link.PostStatus(formatted ? STATUS_FORMAT_OK : STATUS_FORMAT_FAILED);
        });
    window.link.PostNotice(WorkerNotice::FormatEnded);
}

}  // namespace ulvren
