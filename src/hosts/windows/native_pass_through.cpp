#include "hosts/windows/native_pass_through.h"

#include <algorithm>

namespace ulvren {
namespace {

using Record = ScsiPassThroughRequest;

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value,
                     std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t GetLittleEndian32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return value;
}

}  // namespace

std::vector<std::uint8_t> BuildNativePassThrough(const ScsiPassThroughRequest& request,
                                                 WindowsAbi abi, std::uint64_t data_buffer) {
    const NativePassThroughLayout layout = LayoutOf(abi);
    const auto& record = request.Bytes();
    std::vector<std::uint8_t> native(layout.buffer_size, 0);
    // Length to TimeOutValue lie alike in every ABI.
    std::copy_n(record.begin(), Record::kDataBufferOffset, native.begin());
    PutLittleEndian(native, Record::kLengthOffset, layout.struct_size, 2);
    PutLittleEndian(native, layout.data_buffer_offset, data_buffer, layout.data_buffer_size);
    PutLittleEndian(native, layout.sense_info_offset_offset, layout.sense_area_offset, 4);
    std::copy_n(record.begin() + Record::kCdbOffset, Record::kMaxCdbLength,
                native.begin() + static_cast<std::ptrdiff_t>(layout.cdb_offset));
    std::copy_n(record.begin() + Record::kSenseOffset, Record::kSenseAreaSize,
                native.begin() + static_cast<std::ptrdiff_t>(layout.sense_area_offset));
    return native;
}

NativePassThroughReply ReadNativeReply(std::span<const std::uint8_t> native, WindowsAbi abi,
                                       ScsiPassThroughRequest& request) {
    const NativePassThroughLayout layout = LayoutOf(abi);
    NativePassThroughReply reply;
    if (native.size() < layout.buffer_size) {
        return reply;
    }
    reply.scsi_status = native[Record::kScsiStatusOffset];
    reply.sense_length =
        std::min<std::uint8_t>(native[Record::kSenseInfoLengthOffset], Record::kSenseAreaSize);
    reply.data_transfer_length = GetLittleEndian32(native, Record::kDataTransferLengthOffset);
    request.SetScsiStatus(reply.scsi_status);
    const auto sense = native.subspan(layout.sense_area_offset, Record::kSenseAreaSize);
    std::copy(sense.begin(), sense.end(), request.SenseArea().begin());
    return reply;
}

}  // namespace ulvren
