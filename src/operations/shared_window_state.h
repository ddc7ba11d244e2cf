#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "format/fat32_volume_writer.h"
#include "host/device_handle.h"
#include "operations/device_mutex.h"
#include "operations/guarded.h"
#include "operations/window_link.h"

namespace ulvren {

// One recorder that a detection of every recorder found: its device path, and what its capacity
// and disk-type queries gave (empty when a query failed).
struct FoundRecorder {
    std::string path;
    std::optional<std::uint32_t> sector_count;
    std::optional<std::uint8_t> disk_type;

    bool operator==(const FoundRecorder&) const = default;
};

// The window's members that its workers read and write. Each is guarded on its own; the window
// copies its controls into them before it starts a worker and shows them when a status announces
// them.
struct WindowMembers {
    // The last path at which detection found the device; empty until then.
    Guarded<std::string> device_path;
    Guarded<std::string> capacity_text;
    // The disk-type list's selection: 0 public disk, 1 password disk, -1 nothing selected.
    Guarded<int> disk_type_index{-1};
    // Fifteen characters: YYYYMMDDhhmmss and "Y" or "N" for the time stamp.
    Guarded<std::string> clock_string;
    Guarded<std::string> new_password;
    Guarded<std::string> confirm_password;
    Guarded<std::string> old_password;
    Guarded<std::string> login_password;
    // Every recorder that the last detection of every recorder found, in the host's drive order;
    // the device path is one of them. Empty after a detection that found none, and in a window
    // that only looks for the first recorder.
    Guarded<std::vector<FoundRecorder>> recorders;
    // Open only inside the device session of the worker that holds the device mutex.
    Guarded<DeviceHandle> device_handle{kInvalidDeviceHandle};
};

// Everything that the window shares with its workers. The window and every worker own it jointly,
// so a worker that outlives the window still finds its members; what reaches the window itself
// goes through `link`, which the window detaches when it is destroyed.
struct SharedWindowState {
    explicit SharedWindowState(std::shared_ptr<DeviceMutex> mutex,
                               fat32::WriteProgress progress = {})
        : device_mutex(std::move(mutex)), format_progress(std::move(progress)) {}

    // Set once, at construction; never changed, so they need no lock.
    const std::shared_ptr<DeviceMutex> device_mutex;
    // Hears of every write of a format, on the format worker's thread; empty when nobody listens.
    const fat32::WriteProgress format_progress;
    WindowMembers members;
    WindowLink link;
};

}  // namespace ulvren
