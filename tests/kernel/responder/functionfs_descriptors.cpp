#include "functionfs_descriptors.h"

#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>

#include <cstring>
#include <string_view>

namespace ulvren::kernel_test {
namespace {

constexpr std::uint8_t kClassMassStorage = 0x08;
constexpr std::uint8_t kSubclassScsi = 0x06;
constexpr std::uint8_t kProtocolBulkOnly = 0x50;
constexpr std::string_view kInterfaceName = "Pocket recorder storage";

class Blob {
  public:
    void Le16(std::uint16_t value) {
        Byte(static_cast<std::uint8_t>(value));
        Byte(static_cast<std::uint8_t>(value >> 8));
    }
    void Le32(std::uint32_t value) {
        Le16(static_cast<std::uint16_t>(value));
        Le16(static_cast<std::uint16_t>(value >> 16));
    }
    void Byte(std::uint8_t value) { bytes_.push_back(value); }
    // Writes the total length at byte 4, where both FunctionFS heads keep it.
    std::vector<std::uint8_t> Finish() {
        const auto length = static_cast<std::uint32_t>(bytes_.size());
        for (std::size_t i = 0; i < 4; ++i) {
            bytes_[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
        }
        return std::move(bytes_);
    }

  private:
    std::vector<std::uint8_t> bytes_;
};

// The interface and its two endpoints, with bulk packets of `max_packet` bytes.
void InterfaceAndEndpoints(Blob& blob, std::uint16_t max_packet) {
    blob.Byte(USB_DT_INTERFACE_SIZE);
    blob.Byte(USB_DT_INTERFACE);
    blob.Byte(0);  // interface number (FunctionFS renumbers it)
    blob.Byte(0);  // alternate setting
    blob.Byte(2);  // endpoints
    blob.Byte(kClassMassStorage);
    blob.Byte(kSubclassScsi);
    blob.Byte(kProtocolBulkOnly);
    blob.Byte(1);  // string index
    for (const std::uint8_t address :
         {std::uint8_t{1 | USB_DIR_IN}, std::uint8_t{2 | USB_DIR_OUT}}) {
        blob.Byte(USB_DT_ENDPOINT_SIZE);
        blob.Byte(USB_DT_ENDPOINT);
        blob.Byte(address);
        blob.Byte(USB_ENDPOINT_XFER_BULK);
        blob.Le16(max_packet);
        blob.Byte(0);  // interval
    }
}

}  // namespace

std::vector<std::uint8_t> FunctionDescriptors() {
    Blob blob;
    blob.Le32(FUNCTIONFS_DESCRIPTORS_MAGIC_V2);
    blob.Le32(0);  // length, filled in last
    blob.Le32(FUNCTIONFS_HAS_FS_DESC | FUNCTIONFS_HAS_HS_DESC);
    blob.Le32(3);  // full-speed descriptors
    blob.Le32(3);  // high-speed descriptors
    InterfaceAndEndpoints(blob, 64);
    InterfaceAndEndpoints(blob, 512);
    return blob.Finish();
}

std::vector<std::uint8_t> FunctionStrings() {
    Blob blob;
    blob.Le32(FUNCTIONFS_STRINGS_MAGIC);
    blob.Le32(0);       // length, filled in last
    blob.Le32(1);       // strings
    blob.Le32(1);       // languages
    blob.Le16(0x0409);  // en-US
    for (const char c : kInterfaceName) {
        blob.Byte(static_cast<std::uint8_t>(c));
    }
    blob.Byte(0);
    return blob.Finish();
}

}  // namespace ulvren::kernel_test
