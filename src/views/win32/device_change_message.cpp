#include "views/win32/device_change_message.h"

// windows.h first (device_change_message.h): dbt.h needs its types.
#include <dbt.h>

namespace ulvren::views::win32 {

std::optional<DeviceChange> DeviceChangeOf(WPARAM event) {
    switch (event) {
        case DBT_DEVICEARRIVAL:
            return DeviceChange::DiskArrived;
        case DBT_DEVICEREMOVECOMPLETE:
            return DeviceChange::DiskGone;
        default:
            return std::nullopt;
    }
}

}  // namespace ulvren::views::win32
