#include "hosts/linux/scsi_generic_node.h"

namespace ulvren {

std::string ScsiGenericNodeName(const std::filesystem::path& sysfs_root, DeviceNumber disk) {
    const std::filesystem::path dir =
        sysfs_root / "dev" / "block" /
        (std::to_string(disk.major) + ":" + std::to_string(disk.minor)) / "device" / "scsi_generic";
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        return it->path().filename().string();
    }
    return {};
}

}  // namespace ulvren
