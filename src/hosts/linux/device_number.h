#pragma once

#include <optional>
#include <string_view>

namespace ulvren {

// A block device's major:minor pair, as sysfs and /proc/self/mountinfo write it.
struct DeviceNumber {
    unsigned major = 0;
    unsigned minor = 0;

    bool operator==(const DeviceNumber&) const = default;
};

// Reads "8:17" (surrounding white space allowed); nothing for anything else.
std::optional<DeviceNumber> ParseDeviceNumber(std::string_view text);

}  // namespace ulvren
