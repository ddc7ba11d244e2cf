#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ulvren::authorize {

// A USB mass-storage disk as sysfs shows it, without a command sent to it.
struct UsbDiskIdentity {
    std::string block_name{};    // "sdb"
    std::string generic_name{};  // "sg2"; empty without the sg driver
    std::string vendor_id{};     // USB idVendor, four lower-case hex digits
    std::string product_id{};    // USB idProduct
    std::string serial{};        // USB serial number; empty when the device has none
    std::string scsi_vendor{};   // INQUIRY vendor, trailing blanks removed
    std::string scsi_model{};    // INQUIRY product
};

// The removable disks under <sysfs_root>/block that are SCSI direct-access devices (type 0)
// behind a USB mass-storage interface (class 08), in kernel-name order. Anything else (fixed
// disks, card readers on other buses, optical drives, a USB identity that does not read as four
// hex digits) is left out.
std::vector<UsbDiskIdentity> UsbMassStorageDisks(const std::filesystem::path& sysfs_root);

}  // namespace ulvren::authorize
