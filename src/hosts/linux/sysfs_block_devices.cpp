#include "hosts/linux/sysfs_block_devices.h"

#include <algorithm>
#include <fstream>

namespace ulvren {
namespace {

namespace fs = std::filesystem;

// The first word of a one-value sysfs attribute; empty when it cannot be read.
std::string ReadAttribute(const fs::path& path) {
    std::ifstream file(path);
    std::string value;
    file >> value;
    return value;
}

// The entries of `dir`, without exceptions: an unreadable directory yields what was read so far.
std::vector<fs::path> ListDirectory(const fs::path& dir, std::error_code& error) {
    std::vector<fs::path> paths;
    for (fs::directory_iterator it(dir, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        paths.push_back(it->path());
    }
    return paths;
}

constexpr std::string_view kOpticalDrivePrefix = "sr";
constexpr std::string_view kOpticalPeripheralType = "5";

bool IsOpticalDrive(const fs::path& device_dir) {
    return device_dir.filename().string().starts_with(kOpticalDrivePrefix) ||
           ReadAttribute(device_dir / "device" / "type") == kOpticalPeripheralType;
}

}  // namespace

bool KernelNameLess(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) {
        return left.size() < right.size();
    }
    return left < right;
}

std::vector<std::string> RemovableDiskNames(const fs::path& sysfs_root, std::error_code& error) {
    std::vector<std::string> names;
    for (const fs::path& device_dir : ListDirectory(sysfs_root / "block", error)) {
        if (ReadAttribute(device_dir / "removable") == "1" && !IsOpticalDrive(device_dir)) {
            names.push_back(device_dir.filename().string());
        }
    }
    std::sort(names.begin(), names.end(), KernelNameLess);
    return names;
}

std::vector<BlockDevice> DiskAndPartitions(const fs::path& sysfs_root, DeviceNumber number) {
    const fs::path link = sysfs_root / "dev" / "block" /
                          (std::to_string(number.major) + ":" + std::to_string(number.minor));
    std::error_code error;
    const fs::path disk_dir = fs::canonical(link, error);
    if (error) {
        return {BlockDevice{{}, number}};
    }
    std::vector<BlockDevice> devices{BlockDevice{disk_dir.filename().string(), number}};
    // A partition is a subdirectory that carries a `partition` attribute.
    for (const fs::path& entry : ListDirectory(disk_dir, error)) {
        if (!fs::exists(entry / "partition", error)) {
            continue;
        }
        if (const auto partition = ParseDeviceNumber(ReadAttribute(entry / "dev"))) {
            devices.push_back(BlockDevice{entry.filename().string(), *partition});
        }
    }
    std::sort(devices.begin() + 1, devices.end(), [](const auto& left, const auto& right) {
        return KernelNameLess(left.name, right.name);
    });
    return devices;
}

}  // namespace ulvren
