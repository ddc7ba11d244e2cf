#include "hosts/windows/transfer_limits.h"

#include <algorithm>

namespace ulvren {
namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kPageSize = 4096;
constexpr std::uint32_t kUnsaidTransferLength = 64 * 1024;
// WRITE(10) counts its blocks in 16 bits.
constexpr std::uint32_t kMostSectors = 65535;

}  // namespace

TransferLimits TransferLimitsOf(const std::optional<AdapterDescriptorFields>& adapter) {
    std::uint64_t bytes = kUnsaidTransferLength;
    std::uint32_t alignment_mask = 0;
    if (adapter) {
        if (adapter->maximum_transfer_length != 0) {
            bytes = adapter->maximum_transfer_length;
        }
        if (adapter->maximum_physical_pages > 1) {
            bytes = std::min<std::uint64_t>(
                bytes, std::uint64_t{adapter->maximum_physical_pages - 1} * kPageSize);
        }
        alignment_mask = adapter->alignment_mask;
    }
    const auto sectors =
        static_cast<std::uint32_t>(std::clamp<std::uint64_t>(bytes / kSectorSize, 1, kMostSectors));
    return {sectors, alignment_mask};
}

}  // namespace ulvren
