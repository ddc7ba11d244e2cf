#include "hosts/linux/sg_io_request.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace ulvren {
namespace {

// Values from the kernel's SCSI midlayer, which the user-space headers do not carry.
constexpr unsigned kHostStatusOk = 0x00;          // DID_OK
constexpr unsigned kHostStatusTimedOut = 0x03;    // DID_TIME_OUT
constexpr unsigned kDriverStatusMask = 0x0F;      // the driver byte; retry suggestions sit above it
constexpr unsigned kDriverStatusTimedOut = 0x06;  // DRIVER_TIMEOUT

constexpr std::uint32_t kMillisecondsPerSecond = 1000;

unsigned int TimeoutMilliseconds(std::uint32_t seconds) {
    constexpr auto kMax = std::numeric_limits<unsigned int>::max();
    if (seconds > kMax / kMillisecondsPerSecond) {
        return kMax;
    }
    return seconds * kMillisecondsPerSecond;
}

int DirectionOf(const ScsiPassThroughRequest& request) {
    if (request.DataTransferLength() == 0) {
        return SG_DXFER_NONE;
    }
    return request.DataIn() ? SG_DXFER_FROM_DEV : SG_DXFER_TO_DEV;
}

}  // namespace

sg_io_hdr BuildSgIoHeader(ScsiPassThroughRequest& request) {
    sg_io_hdr header{};
    header.interface_id = 'S';
    header.dxfer_direction = DirectionOf(request);
    const auto cdb = request.Cdb();
    header.cmd_len = static_cast<unsigned char>(cdb.size());
    // The kernel only reads the CDB; the record itself is not const.
    header.cmdp = const_cast<unsigned char*>(cdb.data());
    header.dxfer_len = request.DataTransferLength();
    header.dxferp = request.DataBuffer();
    auto sense = request.SenseArea();
    header.mx_sb_len =
        static_cast<unsigned char>(std::min<std::size_t>(request.SenseInfoLength(), sense.size()));
    header.sbp = sense.data();
    header.timeout = TimeoutMilliseconds(request.TimeOutValue());
    return header;
}

SgIoOutcome JudgeSgIoOutcome(const sg_io_hdr& header) {
    if (header.host_status == kHostStatusTimedOut ||
        (header.driver_status & kDriverStatusMask) == kDriverStatusTimedOut) {
        return SgIoOutcome::TimedOut;
    }
    if (header.host_status != kHostStatusOk) {
        return SgIoOutcome::NotDelivered;
    }
    return SgIoOutcome::CarriedOut;
}

}  // namespace ulvren
