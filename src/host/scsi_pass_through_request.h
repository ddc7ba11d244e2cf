#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace ulvren {

// The 80-byte record handed to the pass-through call, both as input and as output.
//
// Bytes 0 to 43 are the 32-bit form of the Windows SCSI_PASS_THROUGH_DIRECT structure; bytes 44
// to 79 are a filler and the sense area. Every multi-byte field is little-endian. The record is
// the canonical request at the host seam: each host converts it into what its operating system
// takes (a native pass-through structure, an sg_io_hdr, or a call into the simulated firmware).
//
// The DataBuffer field is 32 bits wide. On a 32-bit process it holds the buffer's address; on a
// 64-bit process it holds the address's low 32 bits, and the hosts take the full pointer from
// DataBuffer(), which travels beside the bytes.
class ScsiPassThroughRequest {
  public:
    static constexpr std::size_t kSize = 80;
    static constexpr std::size_t kPassThroughSize = 44;
    static constexpr std::size_t kCdbOffset = 28;
    static constexpr std::size_t kMaxCdbLength = 16;
    static constexpr std::size_t kSenseOffset = 48;
    static constexpr std::size_t kSenseAreaSize = 32;

    // Field offsets, for tests and for hosts that read the bytes directly.
    static constexpr std::size_t kLengthOffset = 0;
    static constexpr std::size_t kScsiStatusOffset = 2;
    static constexpr std::size_t kPathIdOffset = 3;
    static constexpr std::size_t kTargetIdOffset = 4;
    static constexpr std::size_t kLunOffset = 5;
    static constexpr std::size_t kCdbLengthOffset = 6;
    static constexpr std::size_t kSenseInfoLengthOffset = 7;
    static constexpr std::size_t kDataInOffset = 8;
    static constexpr std::size_t kDataTransferLengthOffset = 12;
    static constexpr std::size_t kTimeOutValueOffset = 16;
    static constexpr std::size_t kDataBufferOffset = 20;
    static constexpr std::size_t kSenseInfoOffsetOffset = 24;

    // A zero-filled record.
    ScsiPassThroughRequest() = default;

    void SetLength(std::uint16_t value) { Put16(kLengthOffset, value); }
    void SetScsiStatus(std::uint8_t value) { bytes_[kScsiStatusOffset] = value; }
    void SetTargetId(std::uint8_t value) { bytes_[kTargetIdOffset] = value; }
    void SetSenseInfoLength(std::uint8_t value) { bytes_[kSenseInfoLengthOffset] = value; }
    void SetDataIn(bool data_in) { bytes_[kDataInOffset] = data_in ? 1 : 0; }
    void SetDataTransferLength(std::uint32_t value) { Put32(kDataTransferLengthOffset, value); }
    void SetTimeOutValue(std::uint32_t seconds) { Put32(kTimeOutValueOffset, seconds); }
    void SetSenseInfoOffset(std::uint32_t value) { Put32(kSenseInfoOffsetOffset, value); }
    void SetDataBuffer(void* buffer);
    // Copies `cdb` (at most 16 bytes) into the Cdb field and sets CdbLength to its size.
    void SetCdb(std::span<const std::uint8_t> cdb);

    std::uint16_t Length() const { return Get16(kLengthOffset); }
    std::uint8_t ScsiStatus() const { return bytes_[kScsiStatusOffset]; }
    std::uint8_t TargetId() const { return bytes_[kTargetIdOffset]; }
    std::uint8_t CdbLength() const { return bytes_[kCdbLengthOffset]; }
    std::uint8_t SenseInfoLength() const { return bytes_[kSenseInfoLengthOffset]; }
    bool DataIn() const { return bytes_[kDataInOffset] != 0; }
    std::uint32_t DataTransferLength() const { return Get32(kDataTransferLengthOffset); }
    std::uint32_t TimeOutValue() const { return Get32(kTimeOutValueOffset); }
    std::uint32_t SenseInfoOffset() const { return Get32(kSenseInfoOffsetOffset); }
    void* DataBuffer() const { return data_buffer_; }
    // The CdbLength bytes of the command (never more than the 16-byte field).
    std::span<const std::uint8_t> Cdb() const;
    // The 32-byte sense area, which the host may fill.
    std::span<std::uint8_t, kSenseAreaSize> SenseArea() {
        return std::span<std::uint8_t, kSenseAreaSize>(bytes_.data() + kSenseOffset,
                                                       kSenseAreaSize);
    }

    const std::array<std::uint8_t, kSize>& Bytes() const { return bytes_; }

  private:
    void Put16(std::size_t offset, std::uint16_t value);
    void Put32(std::size_t offset, std::uint32_t value);
    std::uint16_t Get16(std::size_t offset) const;
    std::uint32_t Get32(std::size_t offset) const;

    std::array<std::uint8_t, kSize> bytes_{};
    void* data_buffer_ = nullptr;
};

}  // namespace ulvren
