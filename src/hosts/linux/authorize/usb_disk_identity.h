#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ulvren::authorize {

// A USB mass-storage disk as sysfs shows it, without a command sent to it.
struct UsbDiskIdentity {
    std::string block_name{};    // "sdb"
    std::string generic_name{};  // "sg2"; empty without the sg driver
    std::string vendor_id{};     // USB idVendor, four lower-case hex digits
    std::string product_id{};    // USB idProduct
    std::string serial{};        // USB serial number; empty when the device has none
    std::string scsi_vendor{};   // INQUIRY vendor
    std::string scsi_model{};    // INQUIRY product
    // Which device this is right now, to tell it from one plugged in under the same names: the
    // two nodes' major:minor, and the USB device's sysfs path with its bus and device number
    // (which a new enumeration changes).
    std::string block_number{};
    std::string generic_number{};
    std::string usb_device{};

    bool operator==(const UsbDiskIdentity&) const = default;
};

// A sysfs attribute as udev matches it: the whole file, trailing white space (space, tab, line
// ends) removed; inner line ends and tabs stay.
std::string AttributeAsUdevReadsIt(std::string_view contents);

// The removable disks under <sysfs_root>/block that are SCSI direct-access devices (type 0)
// behind a USB mass-storage interface (class 08), in kernel-name order. Anything else (fixed
// disks, card readers on other buses, optical drives, a USB identity that does not read as four
// hex digits) is left out.
std::vector<UsbDiskIdentity> UsbMassStorageDisks(const std::filesystem::path& sysfs_root);

// The disk `block_name` as UsbMassStorageDisks would list it, read again; nothing when it is no
// longer such a disk.
std::optional<UsbDiskIdentity> UsbMassStorageDisk(const std::filesystem::path& sysfs_root,
                                                  const std::string& block_name);

}  // namespace ulvren::authorize
