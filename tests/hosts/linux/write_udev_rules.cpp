// Writes the authorisation helper's rules for a range of identities, plain and hostile, into the
// directory given, with the clock on plug-in too, for udevadm to read
// (authorize_udev_rules_test.sh).
#include <fstream>
#include <iostream>
#include <vector>

#include "hosts/linux/authorize/udev_rule.h"

using namespace ulvren::authorize;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: write_udev_rules DIRECTORY\n";
        return 2;
    }
    const std::vector<UsbDiskIdentity> identities = {
        {.vendor_id = "1d6b", .product_id = "0104", .serial = "0123456789AB"},
        {.vendor_id = "1d6b",
         .product_id = "0104",
         .scsi_vendor = "Linux",
         .scsi_model = "File-Stor Gadget"},
        {.vendor_id = "abcd", .product_id = "ef01", .serial = "a\"b\\c*d?e[f]g|h%i$j{k}l\tm"},
        {.vendor_id = "abcd", .product_id = "ef02", .scsi_vendor = "\"", .scsi_model = ""},
    };
    for (const UsbDiskIdentity& identity : identities) {
        std::ofstream(std::string(argv[1]) + "/" + UdevRuleFileName(identity))
            << UdevRuleText(identity);
    }
    // The clock on plug-in, with and without a serial.
    for (const UsbDiskIdentity& identity : {identities[0], identities[1]}) {
        UsbDiskIdentity clock = identity;
        clock.product_id = "0105";
        std::ofstream(std::string(argv[1]) + "/" + UdevRuleFileName(clock))
            << UdevRuleText(clock, true);
    }
    return 0;
}
