#include "hosts/linux/sg_io_request.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <string>

#include "device/transport.h"

namespace ulvren {
namespace {

std::string Hex(const unsigned char* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

struct MappingCase {
    std::string name;
    ScsiPassThroughRequest request;
    int direction;
    std::string cdb_hex;
    unsigned int data_length;
    unsigned int timeout_ms;
    unsigned char sense_length;
};

std::array<std::uint8_t, 1024> sector_data{};
std::array<std::uint8_t, 512> reply{};
constexpr std::array<std::uint8_t, 16> kVendorCdb = {0xF6, 1, 2,  3,  4,  5,  6,  7,
                                                     8,    9, 10, 11, 12, 13, 14, 15};

ScsiPassThroughRequest WithSenseLength(ScsiPassThroughRequest request, std::uint8_t length) {
    request.SetSenseInfoLength(length);
    return request;
}

ScsiPassThroughRequest WithTimeout(ScsiPassThroughRequest request, std::uint32_t seconds) {
    request.SetTimeOutValue(seconds);
    return request;
}

TEST(SgIoHeader, CarriesTheRecordUnchanged) {
    constexpr auto kIn = TransferDirection::FromDevice;
    constexpr auto kOut = TransferDirection::ToDevice;
    const MappingCase cases[] = {
        {"write 2 sectors at LBA 772", BuildSectorWriteRequest(sector_data.data(), 772, 2),
         SG_DXFER_TO_DEV, "2a000000030400000200", 1024, 20000, 18},
        {"vendor command, 8 bytes in",
         BuildVendorCommandRequest(reply.data(), kIn, kVendorCdb.data(), 16, 8), SG_DXFER_FROM_DEV,
         "f60102030405060708090a0b0c0d0e0f", 8, 10000, 24},
        {"vendor command, 8 bytes out",
         BuildVendorCommandRequest(reply.data(), kOut, kVendorCdb.data(), 6, 8), SG_DXFER_TO_DEV,
         "f60102030405", 8, 10000, 24},
        {"no data phase", BuildVendorCommandRequest(reply.data(), kIn, kVendorCdb.data(), 16, 0),
         SG_DXFER_NONE, "f60102030405060708090a0b0c0d0e0f", 0, 10000, 24},
        {"sense length beyond the sense area",
         WithSenseLength(BuildSectorWriteRequest(sector_data.data(), 0, 1), 200), SG_DXFER_TO_DEV,
         "2a000000000000000100", 512, 20000, 32},
        {"timeout too long for milliseconds",
         WithTimeout(BuildSectorWriteRequest(sector_data.data(), 0, 1), 0xFFFFFFFF),
         SG_DXFER_TO_DEV, "2a000000000000000100", 512, UINT_MAX, 18},
    };
    for (MappingCase test : cases) {
        SCOPED_TRACE(test.name);
        const sg_io_hdr header = BuildSgIoHeader(test.request);
        EXPECT_EQ(header.interface_id, 'S');
        EXPECT_EQ(header.dxfer_direction, test.direction);
        EXPECT_EQ(Hex(header.cmdp, header.cmd_len), test.cdb_hex);
        EXPECT_EQ(header.dxfer_len, test.data_length);
        EXPECT_EQ(header.dxferp, test.request.DataBuffer());
        EXPECT_EQ(header.timeout, test.timeout_ms);
        EXPECT_EQ(header.mx_sb_len, test.sense_length);
        // Sense bytes must land in the record's own sense area.
        EXPECT_EQ(header.sbp, test.request.SenseArea().data());
    }
}

TEST(SgIoHeader, JudgesOnlyWhetherTheCommandWasCarried) {
    struct Case {
        std::string name;
        unsigned short host_status;
        unsigned short driver_status;
        unsigned char status;
        SgIoOutcome outcome;
    };
    const Case cases[] = {
        {"good", 0x00, 0x00, 0x00, SgIoOutcome::CarriedOut},
        {"check condition with sense", 0x00, 0x08, 0x02, SgIoOutcome::CarriedOut},
        {"busy device", 0x00, 0x00, 0x08, SgIoOutcome::CarriedOut},
        {"no connection", 0x01, 0x00, 0x00, SgIoOutcome::NotDelivered},
        {"adapter error", 0x07, 0x00, 0x00, SgIoOutcome::NotDelivered},
        {"host timeout", 0x03, 0x00, 0x00, SgIoOutcome::TimedOut},
        {"driver timeout", 0x00, 0x06, 0x00, SgIoOutcome::TimedOut},
        {"driver timeout with a retry suggestion", 0x00, 0x16, 0x00, SgIoOutcome::TimedOut},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        sg_io_hdr header{};
        header.host_status = test.host_status;
        header.driver_status = test.driver_status;
        header.status = test.status;
        EXPECT_EQ(JudgeSgIoOutcome(header), test.outcome);
    }
}

}  // namespace
}  // namespace ulvren
