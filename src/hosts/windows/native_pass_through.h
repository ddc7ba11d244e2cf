#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "host/pass_through_outcome.h"
#include "host/scsi_pass_through_request.h"

namespace ulvren {

// The two Windows process models whose SCSI_PASS_THROUGH_DIRECT the host fills in.
enum class WindowsAbi { X86, X64 };

// The ABI this program is built for.
#if defined(_WIN64) || defined(__x86_64__)
inline constexpr WindowsAbi kBuildAbi = WindowsAbi::X64;
#else
inline constexpr WindowsAbi kBuildAbi = WindowsAbi::X86;
#endif

// Where the fields of SCSI_PASS_THROUGH_DIRECT lie in one ABI, and where the sense area follows
// it in the buffer handed to DeviceIoControl. The fields up to TimeOutValue lie alike in both;
// on x64 the pointer DataBuffer is 8 bytes wide and 8-aligned, which moves everything after it.
struct NativePassThroughLayout {
    std::size_t struct_size;  // sizeof(SCSI_PASS_THROUGH_DIRECT), also its Length field
    std::size_t data_buffer_offset;
    std::size_t data_buffer_size;
    std::size_t sense_info_offset_offset;
    std::size_t cdb_offset;
    std::size_t sense_area_offset;  // the struct rounded up to 8 bytes
    std::size_t buffer_size;        // the struct and the 32-byte sense area

    bool operator==(const NativePassThroughLayout&) const = default;
};

constexpr NativePassThroughLayout LayoutOf(WindowsAbi abi) {
    constexpr std::size_t kSense = ScsiPassThroughRequest::kSenseAreaSize;
    if (abi == WindowsAbi::X86) {
        return {44, 20, 4, 24, 28, 48, 48 + kSense};
    }
    return {56, 24, 8, 32, 36, 56, 56 + kSense};
}

// The input and output buffer of IOCTL_SCSI_PASS_THROUGH_DIRECT for `request` in `abi`, with
// `data_buffer` as the full address of the data. On x86 the bytes are the record's own.
std::vector<std::uint8_t> BuildNativePassThrough(const ScsiPassThroughRequest& request,
                                                 WindowsAbi abi, std::uint64_t data_buffer);

// What the system wrote back into the buffer.
struct NativePassThroughReply {
    std::uint8_t scsi_status = 0;
    std::uint8_t sense_length = 0;           // sense bytes returned
    std::uint32_t data_transfer_length = 0;  // bytes of the data phase that moved
};

// Reads the reply out of `native` (a buffer that BuildNativePassThrough made for `abi`) and
// copies its SCSI status and sense bytes into `request`, where the system would have written
// them had it been given the record itself.
NativePassThroughReply ReadNativeReply(std::span<const std::uint8_t> native, WindowsAbi abi,
                                       ScsiPassThroughRequest& request);

// The outcome of a DeviceIoControl that succeeded: the device's status, whether sense came back,
// and as residual what was asked for less what the system wrote back as DataTransferLength.
PassThroughOutcome OutcomeOfNativeReply(const NativePassThroughReply& reply,
                                        std::uint32_t requested_length);

// The system errors (GetLastError() values) of a failed DeviceIoControl that mean the command or
// its answer was lost on the way: the semaphore timeout, an I/O device error, a device that is
// no longer connected or no longer exists. Every other error is the system refusing the call.
inline constexpr std::uint32_t kErrorDeviceNotExist = 55;        // ERROR_DEV_NOT_EXIST
inline constexpr std::uint32_t kErrorSemaphoreTimeout = 121;     // ERROR_SEM_TIMEOUT
inline constexpr std::uint32_t kErrorIoDevice = 1117;            // ERROR_IO_DEVICE
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167;  // ERROR_DEVICE_NOT_CONNECTED
inline constexpr std::uint32_t kErrorAccessDenied = 5;           // ERROR_ACCESS_DENIED
PassThroughCategory CategoryOfSystemError(std::uint32_t error);

}  // namespace ulvren
