#include "device/transport.h"
#include "device/usb_disk.h"
#include "device/volume_sector_writer.h"
#include "format/fat32_volume_writer.h"
#include "format/volume_serial.h"

namespace ulvren {

int CUsbDisk::FormatFat32(DeviceHandle handle, const fat32::WriteProgress& progress) {
    if (handle == kInvalidDeviceHandle) {
        return 0;
    }
    // Only the count matters: a failed query leaves it at 0, which the writer refuses.
    std::uint32_t sector_count = 0;
    GetCapacity(handle, sector_count);
    VolumeSectorWriter device(handle);
    return fat32::WriteVolume(device, sector_count, fat32::DrawVolumeSerialNow(),
                              &fat32::AllocateZeroBuffer, progress);
}

}  // namespace ulvren
