#include "host/scsi_pass_through_request.h"

#include <algorithm>

namespace ulvren {

void ScsiPassThroughRequest::SetDataBuffer(void* buffer) {
    data_buffer_ = buffer;
    Put32(kDataBufferOffset, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(buffer)));
}

void ScsiPassThroughRequest::SetCdb(std::span<const std::uint8_t> cdb) {
    const std::size_t length = std::min(cdb.size(), kMaxCdbLength);
    bytes_[kCdbLengthOffset] = static_cast<std::uint8_t>(length);
    std::copy_n(cdb.begin(), length, bytes_.begin() + kCdbOffset);
}

std::span<const std::uint8_t> ScsiPassThroughRequest::Cdb() const {
    const std::size_t length = std::min<std::size_t>(CdbLength(), kMaxCdbLength);
    return {bytes_.data() + kCdbOffset, length};
}

void ScsiPassThroughRequest::Put16(std::size_t offset, std::uint16_t value) {
    bytes_[offset] = static_cast<std::uint8_t>(value);
    bytes_[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void ScsiPassThroughRequest::Put32(std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint16_t ScsiPassThroughRequest::Get16(std::size_t offset) const {
    return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

std::uint32_t ScsiPassThroughRequest::Get32(std::size_t offset) const {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(bytes_[offset + i]) << (8 * i);
    }
    return value;
}

}  // namespace ulvren
