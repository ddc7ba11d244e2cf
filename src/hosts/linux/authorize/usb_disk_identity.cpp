#include "hosts/linux/authorize/usb_disk_identity.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "hosts/linux/sysfs_block_devices.h"

namespace ulvren::authorize {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDirectAccessType = "0";
constexpr std::string_view kMassStorageClass = "08";
// From the SCSI device up to its USB interface: target, host, interface.
constexpr int kMaxLevelsToInterface = 8;

std::string ReadAttribute(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return AttributeAsUdevReadsIt(
        std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
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

std::string AttributeAsUdevReadsIt(std::string_view contents) {
    const std::size_t end = contents.find_last_not_of(" \t\n\r");
    return std::string(end == std::string_view::npos ? "" : contents.substr(0, end + 1));
}

std::optional<UsbDiskIdentity> UsbMassStorageDisk(const fs::path& sysfs_root,
                                                  const std::string& block_name) {
    std::error_code error;
    const fs::path block = sysfs_root / "block" / block_name;
    const fs::path scsi_device = fs::canonical(block / "device", error);
    if (error || ReadAttribute(block / "removable") != "1" ||
        ReadAttribute(scsi_device / "type") != kDirectAccessType) {
        return std::nullopt;
    }
    const fs::path interface = UsbInterfaceAbove(scsi_device);
    if (interface.empty() || ReadAttribute(interface / "bInterfaceClass") != kMassStorageClass) {
        return std::nullopt;
    }
    const fs::path usb_device = interface.parent_path();
    const std::string generic_name = FirstEntryName(scsi_device / "scsi_generic");
    UsbDiskIdentity disk{
        .block_name = block_name,
        .generic_name = generic_name,
        .vendor_id = ReadAttribute(usb_device / "idVendor"),
        .product_id = ReadAttribute(usb_device / "idProduct"),
        .serial = ReadAttribute(usb_device / "serial"),
        .scsi_vendor = ReadAttribute(scsi_device / "vendor"),
        .scsi_model = ReadAttribute(scsi_device / "model"),
        .block_number = ReadAttribute(block / "dev"),
        .generic_number = generic_name.empty()
                              ? ""
                              : ReadAttribute(scsi_device / "scsi_generic" / generic_name / "dev"),
        .usb_device = usb_device.string() + " " + ReadAttribute(usb_device / "busnum") + ":" +
                      ReadAttribute(usb_device / "devnum"),
    };
    if (!IsUsbId(disk.vendor_id) || !IsUsbId(disk.product_id)) {
        return std::nullopt;
    }
    return disk;
}

std::vector<UsbDiskIdentity> UsbMassStorageDisks(const fs::path& sysfs_root) {
    std::error_code error;
    std::vector<UsbDiskIdentity> disks;
    for (const std::string& name : RemovableDiskNames(sysfs_root, error)) {
        if (auto disk = UsbMassStorageDisk(sysfs_root, name)) {
            disks.push_back(std::move(*disk));
        }
    }
    return disks;
}

}  // namespace ulvren::authorize
