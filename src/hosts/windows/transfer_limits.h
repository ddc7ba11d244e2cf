#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace ulvren {

// The fields of the adapter's STORAGE_ADAPTER_DESCRIPTOR that limit one pass-through transfer.
struct AdapterDescriptorFields {
    std::uint32_t maximum_transfer_length = 0;  // bytes
    std::uint32_t maximum_physical_pages = 0;
    std::uint32_t alignment_mask = 0;  // the data buffer's address must have these bits clear
};

// What the host holds to for one open device.
struct TransferLimits {
    std::uint32_t max_sectors = 0;  // 512-byte sectors in one request, 1 to 65,535
    std::uint32_t alignment_mask = 0;

    bool operator==(const TransferLimits&) const = default;
};

// The adapter's limits; without a descriptor (the adapter says nothing, or the system cannot ask
// it) 64 KiB in buffers of any alignment. A transfer also needs one page more than its length
// fills when the buffer does not start on a page, so a page limit counts one page short.
TransferLimits TransferLimitsOf(const std::optional<AdapterDescriptorFields>& adapter);

// Whether the buffer at `address` may go to the adapter as it is.
inline bool IsAligned(std::uintptr_t address, std::uint32_t alignment_mask) {
    return (address & alignment_mask) == 0;
}

}  // namespace ulvren
