#include "device/transport.h"
#include "device/usb_disk.h"
#include "device/volume_sector_writer.h"
#include "format/fat32_geometry.h"
#include "format/fat32_volume_writer.h"
#include "format/volume_serial.h"

namespace ulvren {

int CUsbDisk::FormatFat32(DeviceHandle handle, const fat32::WriteProgress& progress,
                          bool* capacity_outside_fat32) {
    if (capacity_outside_fat32 != nullptr) {
        *capacity_outside_fat32 = false;
    }
    if (handle == kInvalidDeviceHandle) {
        return 0;
    }
    // Only the count matters: a failed query leaves it at 0, which the writer refuses.
    std::uint32_t sector_count = 0;
    GetCapacity(handle, sector_count);
    // A count of 0 is a query that failed, not a size.
    if (capacity_outside_fat32 != nullptr) {
        *capacity_outside_fat32 = sector_count != 0 && !fat32::HoldsFat32(sector_count);
    }
    VolumeSectorWriter device(handle);
    return fat32::WriteVolume(device, sector_count, fat32::DrawVolumeSerialNow(),
                              &fat32::AllocateZeroBuffer, progress);
}

}  // namespace ulvren
