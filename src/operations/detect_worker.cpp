#include <algorithm>
#include <cstdint>
#include <string>

#include "operations/device_session.h"
#include "operations/workers.h"
#include "protocol/vendor_protocol.h"

namespace ulvren {
std::string CapacityText(std::uint32_t sector_count) {
    return std::to_string(sector_count / 2048) + " MB";
}

namespace {

std::optional<std::uint32_t> ReadCapacity(SharedWindowState& window, CUsbDisk& disk,
                                          DeviceHandle handle) {
    std::uint32_t sector_count = 0;
    if (disk.GetCapacity(handle, sector_count) == 0) {
        window.link.PostStatus(STATUS_CAPACITY_UNKNOWN);
        return std::nullopt;
    }
    window.members.capacity_text.Set(CapacityText(sector_count));
    window.link.PostStatus(STATUS_CAPACITY_OK);
    return sector_count;
}

std::optional<std::uint8_t> ReadDiskType(SharedWindowState& window, CUsbDisk& disk,
                                         DeviceHandle handle) {
    std::uint8_t disk_type = 0;
    if (disk.GetDiskType(handle, disk_type) == 0) {
        window.members.disk_type_index.Set(0);
        window.link.PostStatus(STATUS_DISK_TYPE_UNKNOWN);
        return std::nullopt;
    }
    // The list holds the disk types in order from 1; a type of 0 selects nothing (-1).
    window.members.disk_type_index.Set(static_cast<int>(disk_type) - 1);
    window.link.EnableGroup(ControlGroup::Password, disk_type != DISK_TYPE_PUBLIC);
    window.link.PostStatus(STATUS_DISK_TYPE_OK);
    return disk_type;
}

// Stores the path found and enables the device's controls, or says that none was found.
bool TakeFoundPath(SharedWindowState& window, const std::string& path) {
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
}

// The capacity and disk type of a recorder other than the window's, posting nothing: its own
// short open, with no lock, as discovery's.
FoundRecorder QueryOther(CUsbDisk& disk, const std::string& path) {
    FoundRecorder found{path, std::nullopt, std::nullopt};
    const DeviceHandle handle = disk.OpenDevice(path);
    if (handle == kInvalidDeviceHandle) {
        return found;
    }
    std::uint32_t sector_count = 0;
    if (disk.GetCapacity(handle, sector_count) != 0) {
        found.sector_count = sector_count;
    }
    std::uint8_t disk_type = 0;
    if (disk.GetDiskType(handle, disk_type) != 0) {
        found.disk_type = disk_type;
    }
    disk.CloseDevice(handle);
    return found;
}

}  // namespace

void DetectWorker(SharedWindowState& window, std::stop_token stop) {
    const auto find_device = [&window](CUsbDisk& disk) {
        // What the discovery's failed opens leave, and only that, says why a drive was passed
        // over.
        ClearLastHostError();
        return TakeFoundPath(window, disk.FindDevice());
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

void DetectEveryWorker(SharedWindowState& window, std::stop_token stop) {
    std::vector<std::string> paths;
    const auto find_devices = [&window, &paths](CUsbDisk& disk) {
        ClearLastHostError();
        paths = disk.FindDevices();
        if (paths.empty()) {
            window.members.recorders.Set({});
            return TakeFoundPath(window, {});
        }
        std::vector<FoundRecorder> listed;
        for (const std::string& path : paths) {
            listed.push_back({path, std::nullopt, std::nullopt});
        }
        window.members.recorders.Set(std::move(listed));
        // The recorder chosen before stays chosen while it is plugged in.
        const std::string kept = window.members.device_path.Get();
        const bool still_there = std::find(paths.begin(), paths.end(), kept) != paths.end();
        return TakeFoundPath(window, still_there ? kept : paths.front());
    };
    RunInDeviceSession(
        window, std::move(stop), SessionEnding::KeepMounted,
        [&window, &paths](CUsbDisk& disk, DeviceHandle handle) {
            const std::string chosen = window.members.device_path.Get();
            std::vector<FoundRecorder> recorders;
            for (const std::string& path : paths) {
                if (path != chosen) {
                    recorders.push_back(QueryOther(disk, path));
                    continue;
                }
                // A failed capacity query does not stop the disk-type query.
                auto sector_count = ReadCapacity(window, disk, handle);
                auto disk_type = ReadDiskType(window, disk, handle);
                recorders.push_back({path, sector_count, disk_type});
            }
            window.members.recorders.Set(std::move(recorders));
            window.link.PostStatus(STATUS_DETECT_DONE);
        },
        find_devices);
}

}  // namespace ulvren
