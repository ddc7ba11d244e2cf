#include "device/transport.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "host/tracing_host.h"
#include "protocol/scsi.h"
#include "protocol/vendor_protocol.h"
#include "support/scripted_host.h"

namespace ulvren {
namespace {

constexpr auto kIn = TransferDirection::FromDevice;
constexpr auto kOut = TransferDirection::ToDevice;

using Bytes = std::vector<std::uint8_t>;

Bytes RecordWithoutAddress(const ScsiPassThroughRequest& request) {
    Bytes bytes(request.Bytes().begin(), request.Bytes().end());
    // The DataBuffer field holds (the low half of) a run-time address.
    std::fill_n(bytes.begin() + ScsiPassThroughRequest::kDataBufferOffset, 4, 0);
    return bytes;
}

Bytes Expected(std::initializer_list<std::pair<std::size_t, Bytes>> fields) {
    Bytes bytes(ScsiPassThroughRequest::kSize, 0);
    for (const auto& [offset, value] : fields) {
        std::copy(value.begin(), value.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    return bytes;
}

TEST(PassThroughRecord, SectorWriteIsLaidOutByteForByte) {
    std::array<std::uint8_t, 1024> sectors{};
    const ScsiPassThroughRequest request = BuildSectorWriteRequest(sectors.data(), 772, 2);

    const Bytes expected = Expected({
        {0, {44, 0}},                                      // Length
        {4, {1}},                                          // TargetId
        {6, {10, 18, 0}},                                  // CdbLength, SenseInfoLength, DataIn
        {12, {0x00, 0x04, 0, 0}},                          // DataTransferLength 1024
        {16, {20, 0, 0, 0}},                               // TimeOutValue
        {24, {48, 0, 0, 0}},                               // SenseInfoOffset
        {28, {0x2a, 0, 0, 0, 0x03, 0x04, 0, 0, 0x02, 0}},  // WRITE(10) at 772, 2 blocks
    });
    EXPECT_EQ(RecordWithoutAddress(request), expected);
    EXPECT_EQ(request.DataBuffer(), sectors.data());
    EXPECT_EQ(FormatTraceLine(request),
              "out cdb=2a000000030400000200 len=1024 timeout=20 sense=18");
}

TEST(PassThroughRecord, VendorCommandIsLaidOutByteForByte) {
    std::array<std::uint8_t, 512> reply{};
    const std::array<std::uint8_t, 16> cdb = {0xF5, '2', '0', '1', '1', '0', '7', '2',
                                              '7',  '1', '0', '4', '9', '2', '0', 'Y'};
    const ScsiPassThroughRequest request =
        BuildVendorCommandRequest(reply.data(), kIn, cdb.data(), 16, 8);

    Bytes cdb_bytes(cdb.begin(), cdb.end());
    const Bytes expected = Expected({
        {0, {44, 0}},
        {4, {1}},
        {6, {16, 24, 1}},
        {12, {8, 0, 0, 0}},
        {16, {10, 0, 0, 0}},
        {24, {48, 0, 0, 0}},
        {28, cdb_bytes},
    });
    EXPECT_EQ(RecordWithoutAddress(request), expected);
}

TEST(PassThroughRecord, DataInFlagFollowsTheCaller) {
    std::array<std::uint8_t, 8> buffer{};
    const std::uint8_t cdb[1] = {0x00};
    EXPECT_FALSE(BuildVendorCommandRequest(buffer.data(), kOut, cdb, 1, 0).DataIn());
    EXPECT_TRUE(BuildVendorCommandRequest(buffer.data(), kIn, cdb, 1, 8).DataIn());
    EXPECT_EQ(BuildVendorCommandRequest(buffer.data(), kIn, cdb, 0, 8).CdbLength(), 0);
}

struct RefusedWrite {
    const char* name;
    bool null_buffer;
    std::uint32_t count;
    DeviceHandle handle;
};

class WriteSectorsRefuses : public ::testing::TestWithParam<RefusedWrite> {};

TEST_P(WriteSectorsRefuses, WithoutSendingAnything) {
    testing::ScriptedHost host;
    ScopedHost installed(host);
    std::array<std::uint8_t, 512> sector{};
    const RefusedWrite& c = GetParam();
    EXPECT_EQ(WriteSectors(c.handle, c.null_buffer ? nullptr : sector.data(), 0, c.count), 0);
    EXPECT_TRUE(host.sent().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Guards, WriteSectorsRefuses,
    ::testing::Values(RefusedWrite{"ZeroCount", false, 0, testing::ScriptedHost::kHandle},
                      RefusedWrite{"NullBuffer", true, 1, testing::ScriptedHost::kHandle},
                      RefusedWrite{"InvalidHandle", false, 1, kInvalidDeviceHandle}),
    [](const auto& test) { return test.param.name; });

// A write counts only when the device took every sector: GOOD and nothing left over.
TEST(WriteSectors, SucceedsOnlyWhenTheDeviceTookEverySector) {
    struct Case {
        const char* what;
        PassThroughOutcome outcome;
        int written;
    };
    const Case cases[] = {
        {"GOOD", PassThroughOutcome::Answered(kScsiStatusGood, false), 1},
        {"GOOD, 512 bytes left over", PassThroughOutcome::Answered(kScsiStatusGood, false, 512), 0},
        {"CHECK CONDITION, MEDIUM ERROR",
         PassThroughOutcome::Answered(kScsiStatusCheckCondition, true), 0},
        {"BUSY", PassThroughOutcome::Answered(0x08, false), 0},
        {"timeout", PassThroughOutcome::Failed(PassThroughCategory::TransportError, "timeout"), 0},
        {"OS refusal", PassThroughOutcome::Failed(PassThroughCategory::OsError, "EBADF"), 0},
    };
    for (const Case& c : cases) {
        testing::ScriptedHost host;
        ScopedHost installed(host);
        host.EndNextWith(c.outcome);
        std::array<std::uint8_t, 512> sector{};
        EXPECT_EQ(WriteSectors(testing::ScriptedHost::kHandle, sector.data(), 0, 1), c.written)
            << c.what;
    }
}

TEST(SendVendorCommand, RefusesCdbsLongerThanSixteenBytes) {
    testing::ScriptedHost host;
    ScopedHost installed(host);
    std::array<std::uint8_t, 17> cdb{0xF6};
    std::array<std::uint8_t, 8> reply{};
    const auto handle = testing::ScriptedHost::kHandle;

    EXPECT_EQ(SendVendorCommand(handle, reply.data(), kIn, cdb.data(), 17, 8), 0u);
    EXPECT_EQ(SendVendorCommand(handle, nullptr, kIn, cdb.data(), 16, 8), 0u);
    EXPECT_EQ(SendVendorCommand(kInvalidDeviceHandle, reply.data(), kIn, cdb.data(), 16, 8), 0u);
    EXPECT_TRUE(host.sent().empty());

    EXPECT_EQ(SendVendorCommand(handle, reply.data(), kIn, cdb.data(), 16, 8), 8u);
    ASSERT_EQ(host.sent().size(), 1u);
    EXPECT_EQ(host.sent()[0].cdb.size(), 16u);
}

TEST(SendVendorCommand, ReturnsTheLengthOnlyWhenTheOsCarriedItOut) {
    testing::ScriptedHost host;
    ScopedHost installed(host);
    const std::array<std::uint8_t, 16> cdb{0xFB};
    std::array<std::uint8_t, 8> reply{};
    host.FailNext();
    EXPECT_EQ(
        SendVendorCommand(testing::ScriptedHost::kHandle, reply.data(), kIn, cdb.data(), 16, 8),
        0u);
    // A zero data length gives 0 either way.
    EXPECT_EQ(
        SendVendorCommand(testing::ScriptedHost::kHandle, reply.data(), kIn, cdb.data(), 16, 0),
        0u);
}

TEST(TraceLine, DataInShowsTheFirstEightReplyBytes) {
    std::array<std::uint8_t, 512> reply{0xF6, 'K', 'A', 'L', 'U', 'M', 'E', 'X', 0x99};
    const std::array<std::uint8_t, 16> cdb{0xF6};
    const ScsiPassThroughRequest request =
        BuildVendorCommandRequest(reply.data(), kIn, cdb.data(), 16, 8);
    EXPECT_EQ(FormatTraceLine(request),
              "in cdb=f6000000000000000000000000000000 len=8 timeout=10 sense=24 "
              "reply=f64b414c554d4558");
}

}  // namespace
}  // namespace ulvren
