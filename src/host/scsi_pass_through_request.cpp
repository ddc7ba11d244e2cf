#include "host/scsi_pass_through_request.h"

#include <algorithm>

#include "protocol/byte_order.h"

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
    StoreLe16(bytes_, offset, value);
}

void ScsiPassThroughRequest::Put32(std::size_t offset, std::uint32_t value) {
    StoreLe32(bytes_, offset, value);
}

std::uint16_t ScsiPassThroughRequest::Get16(std::size_t offset) const {
    return LoadLe16(bytes_, offset);
}

std::uint32_t ScsiPassThroughRequest::Get32(std::size_t offset) const {
    return LoadLe32(bytes_, offset);
}

}  // namespace ulvren
