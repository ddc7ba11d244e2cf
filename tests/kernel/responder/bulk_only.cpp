#include "bulk_only.h"

namespace ulvren::kernel_test {
namespace {

constexpr std::uint32_t kCommandSignature = 0x43425355;  // "USBC"
constexpr std::uint32_t kStatusSignature = 0x53425355;   // "USBS"
constexpr std::size_t kMaxCdbLength = 16;

std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void PutLe32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::optional<CommandBlock> ParseCommandBlock(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kCommandBlockSize || Le32(bytes, 0) != kCommandSignature) {
        return std::nullopt;
    }
    const std::size_t cdb_length = bytes[14] & 0x1F;
    if (cdb_length == 0 || cdb_length > kMaxCdbLength) {
        return std::nullopt;
    }
    CommandBlock block;
    block.tag = Le32(bytes, 4);
    block.data_length = Le32(bytes, 8);
    block.data_in = (bytes[12] & 0x80) != 0;
    block.lun = bytes[13] & 0x0F;
    block.cdb.assign(bytes.begin() + 15,
                     bytes.begin() + 15 + static_cast<std::ptrdiff_t>(cdb_length));
    return block;
}

std::array<std::uint8_t, kStatusBlockSize> StatusBlock(std::uint32_t tag, std::uint32_t residue,
                                                       std::uint8_t status) {
    std::array<std::uint8_t, kStatusBlockSize> block{};
    PutLe32(block, 0, kStatusSignature);
    PutLe32(block, 4, tag);
    PutLe32(block, 8, residue);
    block[12] = status;
    return block;
}

}  // namespace ulvren::kernel_test
