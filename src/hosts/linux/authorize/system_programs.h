#pragma once

#include <string>
#include <vector>

namespace ulvren::authorize {

// The system programs the helper runs: each from its fixed path, with an empty environment and no
// shell between. False, with the reason in `error`, when it could not be run or did not succeed.

// "udevadm control --reload", then "udevadm trigger --action=change --settle" on the nodes
// `device_paths` (such as /dev/sdb), so that udev applies the rules as they now are and the ACLs
// are in place when it returns.
bool TriggerChange(const std::vector<std::string>& device_paths, std::string& error);

// "modprobe sg" unless the SCSI generic driver is in place (<sysfs_root>/module/sg): each disk is
// identified through its generic node alone. The nodes exist when modprobe returns.
bool LoadScsiGenericDriver(std::string& error, const std::string& sysfs_root = "/sys");

}  // namespace ulvren::authorize
