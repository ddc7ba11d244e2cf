#pragma once

#include <windows.h>

#include <optional>

#include "host/device_change.h"

namespace ulvren::views::win32 {

// The device change that a WM_DEVICECHANGE notice (its wParam) tells of: a device that has
// arrived or whose removal is complete. Empty for every other notice (queries, configuration
// changes, the device tree changing), which starts no detection.
std::optional<DeviceChange> DeviceChangeOf(WPARAM event);

}  // namespace ulvren::views::win32
