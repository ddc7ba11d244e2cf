#pragma once

#include <filesystem>
#include <string>

#include "hosts/linux/device_number.h"

namespace ulvren {

// The kernel name of the SCSI generic node ("sg2") of the disk `disk`, as
// <sysfs_root>/dev/block/<major>:<minor>/device/scsi_generic/ lists it; empty when it has none.
//
// The kernel lets vendor opcodes through a disk node only with CAP_SYS_RAWIO, but through the
// disk's generic node to anyone who may open it for writing.
std::string ScsiGenericNodeName(const std::filesystem::path& sysfs_root, DeviceNumber disk);

}  // namespace ulvren
