#pragma once

#include <string>
#include <vector>

namespace ulvren::authorize {

// Runs "udevadm trigger --action=change --settle" on the nodes `device_paths` (such as /dev/sdb),
// so that udev applies the rules as they now are and the ACLs are in place when it returns. The
// program runs from its fixed path with an empty environment, no shell between. False, with the
// reason in `error`, when it could not be run or did not succeed.
bool TriggerChange(const std::vector<std::string>& device_paths, std::string& error);

}  // namespace ulvren::authorize
