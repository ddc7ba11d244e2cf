#include "hosts/windows/native_pass_through.h"

#include <algorithm>

#include "protocol/byte_order.h"

namespace ulvren {
namespace {

using Record = ScsiPassThroughRequest;

// DataBuffer is a pointer: 4 bytes on x86, 8 on x64.
void StoreDataBuffer(std::span<std::uint8_t> bytes, std::size_t offset, std::uint64_t address,
                     std::size_t size) {
    StoreLe32(bytes, offset, static_cast<std::uint32_t>(address));
    if (size == 8) {
        StoreLe32(bytes, offset + 4, static_cast<std::uint32_t>(address >> 32));
    }
}

}  // namespace

std::vector<std::uint8_t> BuildNativePassThrough(const ScsiPassThroughRequest& request,
                                                 WindowsAbi abi, std::uint64_t data_buffer) {
    const NativePassThroughLayout layout = LayoutOf(abi);
    const auto& record = request.Bytes();
    std::vector<std::uint8_t> native(layout.buffer_size, 0);
    // Length to TimeOutValue lie alike in every ABI.
    std::copy_n(record.begin(), Record::kDataBufferOffset, native.begin());
    StoreLe16(native, Record::kLengthOffset, static_cast<std::uint16_t>(layout.struct_size));
    StoreDataBuffer(native, layout.data_buffer_offset, data_buffer, layout.data_buffer_size);
    StoreLe32(native, layout.sense_info_offset_offset,
              static_cast<std::uint32_t>(layout.sense_area_offset));
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
    reply.data_transfer_length = LoadLe32(native, Record::kDataTransferLengthOffset);
    request.SetScsiStatus(reply.scsi_status);
    const auto sense = native.subspan(layout.sense_area_offset, Record::kSenseAreaSize);
    std::copy(sense.begin(), sense.end(), request.SenseArea().begin());
    return reply;
}

PassThroughOutcome OutcomeOfNativeReply(const NativePassThroughReply& reply,
                                        std::uint32_t requested_length) {
    const std::uint32_t moved = std::min(reply.data_transfer_length, requested_length);
    return PassThroughOutcome::Answered(reply.scsi_status, reply.sense_length > 0,
                                        requested_length - moved);
}

PassThroughCategory CategoryOfSystemError(std::uint32_t error) {
    switch (error) {
        case kErrorDeviceNotExist:
        case kErrorSemaphoreTimeout:
        case kErrorIoDevice:
        case kErrorDeviceNotConnected:
            return PassThroughCategory::TransportError;
        default:
            return PassThroughCategory::OsError;
    }
}

}  // namespace ulvren
