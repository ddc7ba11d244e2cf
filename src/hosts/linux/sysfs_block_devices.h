#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "hosts/linux/device_number.h"

namespace ulvren {

// The kernel's naming order of disks: shorter names first, then alphabetical, so that sdz comes
// before sdaa.
bool KernelNameLess(std::string_view left, std::string_view right);

// The names of the removable disks under <sysfs_root>/block (those whose `removable` reads 1), in
// kernel-name order. Optical drives (sr*, or SCSI peripheral type 5) are left out: they are CD-ROM
// drives, not removable disks. Sets `error` when the directory cannot be listed.
std::vector<std::string> RemovableDiskNames(const std::filesystem::path& sysfs_root,
                                            std::error_code& error);

struct BlockDevice {
    std::string name;  // the kernel name, e.g. "sdb1"; empty when sysfs does not know the device
    DeviceNumber number;
};

// The block device `number` followed by its partitions, as <sysfs_root>/dev/block/<major>:<minor>
// lists them. When sysfs does not know the device, only `number` itself comes back (unnamed).
std::vector<BlockDevice> DiskAndPartitions(const std::filesystem::path& sysfs_root,
                                           DeviceNumber number);

}  // namespace ulvren
