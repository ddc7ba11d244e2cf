#include "hosts/linux/authorize/usb_disk_identity.h"

#include <algorithm>
#include <fstream>

#include "hosts/linux/sysfs_block_devices.h"

namespace ulvren::authorize {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDirectAccessType = "0";
constexpr std::string_view kMassStorageClass = "08";
// From the SCSI device up to its USB interface: target, host, interface.
constexpr int kMaxLevelsToInterface = 8;

// The first line of a sysfs attribute, without its line end and trailing blanks.
std::string ReadLine(const fs::path& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

bool IsUsbId(const std::string& id) {
    return id.size() == 4 && std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// The USB interface that the SCSI device `scsi_device` hangs from, or empty.
fs::path UsbInterfaceAbove(const fs::path& scsi_device) {
    fs::path dir = scsi_device.parent_path();
    for (int level = 0; level < kMaxLevelsToInterface && dir.has_relative_path();
         ++level, dir = dir.parent_path()) {
        std::error_code error;
        if (fs::exists(dir / "bInterfaceClass", error)) {
            return dir;
        }
    }
    return {};
}

std::string FirstEntryName(const fs::path& dir) {
    std::error_code error;
    fs::directory_iterator it(dir, error);
    return !error && it != fs::directory_iterator() ? it->path().filename().string() : "";
}

}  // namespace

std::vector<UsbDiskIdentity> UsbMassStorageDisks(const fs::path& sysfs_root) {
    std::error_code error;
    std::vector<UsbDiskIdentity> disks;
    for (const std::string& name : RemovableDiskNames(sysfs_root, error)) {
        const fs::path scsi_device = fs::canonical(sysfs_root / "block" / name / "device", error);
        if (error || ReadLine(scsi_device / "type") != kDirectAccessType) {
            continue;
        }
        const fs::path interface = UsbInterfaceAbove(scsi_device);
        if (interface.empty() || ReadLine(interface / "bInterfaceClass") != kMassStorageClass) {
            continue;
        }
        const fs::path usb_device = interface.parent_path();
        UsbDiskIdentity disk{
            .block_name = name,
            .generic_name = FirstEntryName(scsi_device / "scsi_generic"),
            .vendor_id = ReadLine(usb_device / "idVendor"),
            .product_id = ReadLine(usb_device / "idProduct"),
            .serial = ReadLine(usb_device / "serial"),
            .scsi_vendor = ReadLine(scsi_device / "vendor"),
            .scsi_model = ReadLine(scsi_device / "model"),
        };
        if (IsUsbId(disk.vendor_id) && IsUsbId(disk.product_id)) {
            disks.push_back(std::move(disk));
        }
    }
    return disks;
}

}  // namespace ulvren::authorize
