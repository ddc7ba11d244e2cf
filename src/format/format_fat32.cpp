#include "device/usb_disk.h"

namespace ulvren {

int CUsbDisk::FormatFat32(DeviceHandle) {
    return 0;
}

}  // namespace ulvren
