#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ulvren {

// The root path of drive letter bit `bit` of the logical-drive mask: "A:\" for bit 0.
std::string DriveRootOfBit(unsigned bit);

// The root paths of the drives in `logical_drives` (bit j for letter A + j) that
// `is_removable` accepts, in letter order.
std::vector<std::string> RemovableDriveRootsOf(
    std::uint32_t logical_drives, const std::function<bool(const std::string& root)>& is_removable);

}  // namespace ulvren
