// The native SCSI_PASS_THROUGH_DIRECT of both Windows ABIs, byte for byte, as the host hands it to
// DeviceIoControl. Runs on every platform; a Windows build also checks the layouts against the
// system's own structure.
#include "hosts/windows/native_pass_through.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "device/transport.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: ntddscsi.h needs its types.
#include <ntddscsi.h>

#include <cstddef>

namespace {
constexpr ulvren::NativePassThroughLayout kSystemLayout = {
    sizeof(SCSI_PASS_THROUGH_DIRECT),
    offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer),
    sizeof(SCSI_PASS_THROUGH_DIRECT::DataBuffer),
    offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset),
    offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb),
    ulvren::LayoutOf(ulvren::kBuildAbi).sense_area_offset,
    ulvren::LayoutOf(ulvren::kBuildAbi).buffer_size,
};
static_assert(kSystemLayout == ulvren::LayoutOf(ulvren::kBuildAbi),
              "SCSI_PASS_THROUGH_DIRECT does not lie where the host puts its fields");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataTransferLength) == 12 &&
              offsetof(SCSI_PASS_THROUGH_DIRECT, TimeOutValue) == 16);
}  // namespace
#endif

namespace ulvren {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint64_t kAddress32 = 0x12345678;
constexpr std::uint64_t kAddress64 = 0x00007FF612345678;

std::array<std::uint8_t, 1024> sectors{};
std::array<std::uint8_t, 512> reply{};
constexpr std::uint8_t kIdentify[16] = {0xF6};

struct LayoutCase {
    std::string name;
    std::function<ScsiPassThroughRequest()> build;
    WindowsAbi abi;
    Bytes expected;
};

// A buffer of `size` zero bytes with `fields` written at their offsets.
Bytes Laid(std::size_t size, std::initializer_list<std::pair<std::size_t, Bytes>> fields) {
    Bytes bytes(size, 0);
    for (const auto& [offset, value] : fields) {
        std::copy(value.begin(), value.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    return bytes;
}

ScsiPassThroughRequest SectorWrite() {
    return BuildSectorWriteRequest(sectors.data(), 772, 2);
}

ScsiPassThroughRequest Identify() {
    return BuildVendorCommandRequest(reply.data(), TransferDirection::FromDevice, kIdentify, 16, 8);
}

const Bytes kWrite10 = {0x2A, 0, 0, 0, 0x03, 0x04, 0, 0, 0x02, 0};
const Bytes kCommon = {0, 0, 1, 0};  // ScsiStatus, PathId, TargetId 1, Lun

class NativeLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(NativeLayout, IsLaidOutByteForByte) {
    const LayoutCase& c = GetParam();
    const std::uint64_t address = c.abi == WindowsAbi::X86 ? kAddress32 : kAddress64;
    EXPECT_EQ(BuildNativePassThrough(c.build(), c.abi, address), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Requests, NativeLayout,
                         ::testing::Values(
                             // On x86 the buffer is the 80-byte record itself.
                             LayoutCase{
                                 "SectorWriteX86", SectorWrite, WindowsAbi::X86,
                                 Laid(80, {{0, {44, 0}},
                                           {2, kCommon},
                                           {6, {10, 18, 0}},  // CdbLength, SenseInfoLength, DataIn
                                           {12, {0x00, 0x04, 0, 0}},
                                           {16, {20, 0, 0, 0}},
                                           {20, {0x78, 0x56, 0x34, 0x12}},
                                           {24, {48, 0, 0, 0}},
                                           {28, kWrite10}})},
                             LayoutCase{"SectorWriteX64", SectorWrite, WindowsAbi::X64,
                                        Laid(88, {{0, {56, 0}},
                                                  {2, kCommon},
                                                  {6, {10, 18, 0}},
                                                  {12, {0x00, 0x04, 0, 0}},
                                                  {16, {20, 0, 0, 0}},
                                                  {24, {0x78, 0x56, 0x34, 0x12, 0xF6, 0x7F, 0, 0}},
                                                  {32, {56, 0, 0, 0}},
                                                  {36, kWrite10}})},
                             LayoutCase{"IdentifyX86", Identify, WindowsAbi::X86,
                                        Laid(80, {{0, {44, 0}},
                                                  {2, kCommon},
                                                  {6, {16, 24, 1}},
                                                  {12, {8, 0, 0, 0}},
                                                  {16, {10, 0, 0, 0}},
                                                  {20, {0x78, 0x56, 0x34, 0x12}},
                                                  {24, {48, 0, 0, 0}},
                                                  {28, {0xF6}}})},
                             LayoutCase{"IdentifyX64", Identify, WindowsAbi::X64,
                                        Laid(88, {{0, {56, 0}},
                                                  {2, kCommon},
                                                  {6, {16, 24, 1}},
                                                  {12, {8, 0, 0, 0}},
                                                  {16, {10, 0, 0, 0}},
                                                  {24, {0x78, 0x56, 0x34, 0x12, 0xF6, 0x7F, 0, 0}},
                                                  {32, {56, 0, 0, 0}},
                                                  {36, {0xF6}}})}),
                         [](const auto& test) { return test.param.name; });

TEST(NativeLayout, OnX86TheBufferIsTheRecord) {
    const ScsiPassThroughRequest request = SectorWrite();
    const std::uint64_t address = request.Bytes()[20] | request.Bytes()[21] << 8 |
                                  request.Bytes()[22] << 16 |
                                  static_cast<std::uint64_t>(request.Bytes()[23]) << 24;
    EXPECT_EQ(BuildNativePassThrough(request, WindowsAbi::X86, address),
              Bytes(request.Bytes().begin(), request.Bytes().end()));
}

class NativeReply : public ::testing::TestWithParam<WindowsAbi> {};

// CHECK CONDITION with 18 bytes of sense, nothing moved: the status and the sense go back into
// the record as the system would have written them there.
TEST_P(NativeReply, CopiesStatusAndSenseIntoTheRecord) {
    ScsiPassThroughRequest request = Identify();
    Bytes native = BuildNativePassThrough(request, GetParam(), kAddress32);
    const std::size_t sense = LayoutOf(GetParam()).sense_area_offset;
    native[2] = 0x02;
    native[7] = 18;
    native[12] = 0;
    native[sense] = 0x70;
    native[sense + 2] = 0x05;
    native[sense + 31] = 0xEE;

    const NativePassThroughReply result = ReadNativeReply(native, GetParam(), request);

    EXPECT_EQ(result.scsi_status, 0x02);
    EXPECT_EQ(result.sense_length, 18);
    EXPECT_EQ(result.data_transfer_length, 0u);
    EXPECT_EQ(request.ScsiStatus(), 0x02);
    Bytes expected_sense(32, 0);
    expected_sense[0] = 0x70;
    expected_sense[2] = 0x05;
    expected_sense[31] = 0xEE;
    EXPECT_EQ(Bytes(request.SenseArea().begin(), request.SenseArea().end()), expected_sense);
    // What the device layer asked for stays as it asked.
    EXPECT_EQ(request.DataTransferLength(), 8u);
    EXPECT_EQ(request.SenseInfoLength(), 24);
}

INSTANTIATE_TEST_SUITE_P(BothAbis, NativeReply, ::testing::Values(WindowsAbi::X86, WindowsAbi::X64),
                         [](const auto& test) {
                             return test.param == WindowsAbi::X86 ? "X86" : "X64";
                         });

struct OutcomeCase {
    const char* name;
    NativePassThroughReply reply;
    std::uint32_t requested;
    PassThroughCategory category;
    std::uint32_t residual;
};

class NativeOutcome : public ::testing::TestWithParam<OutcomeCase> {};

// What the system wrote back says how the request ended; the residual is what did not move.
TEST_P(NativeOutcome, FollowsTheReply) {
    const OutcomeCase& c = GetParam();
    const PassThroughOutcome outcome = OutcomeOfNativeReply(c.reply, c.requested);
    EXPECT_EQ(outcome.category, c.category);
    EXPECT_EQ(outcome.scsi_status, c.reply.scsi_status);
    EXPECT_EQ(outcome.residual, c.residual);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, NativeOutcome,
    ::testing::Values(
        OutcomeCase{"AllMoved", {0, 0, 1024}, 1024, PassThroughCategory::Good, 0},
        OutcomeCase{"ShortWrite", {0, 0, 512}, 1024, PassThroughCategory::Good, 512},
        OutcomeCase{"MoreThanAsked", {0, 0, 4096}, 8, PassThroughCategory::Good, 0},
        OutcomeCase{"CheckConditionWithSense", {2, 18, 0}, 8, PassThroughCategory::Sense, 8},
        OutcomeCase{"BusyWithoutSense", {8, 0, 0}, 8, PassThroughCategory::Status, 8}),
    [](const auto& test) { return test.param.name; });

TEST(NativeOutcome, LostCommandsAreTransportErrorsTheRestOsErrors) {
    for (const std::uint32_t lost :
         {kErrorDeviceNotExist, kErrorSemaphoreTimeout, kErrorIoDevice, kErrorDeviceNotConnected}) {
        EXPECT_EQ(CategoryOfSystemError(lost), PassThroughCategory::TransportError) << lost;
    }
    EXPECT_EQ(CategoryOfSystemError(kErrorAccessDenied), PassThroughCategory::OsError);
    EXPECT_EQ(CategoryOfSystemError(1 /* ERROR_INVALID_FUNCTION */), PassThroughCategory::OsError);
}

}  // namespace
}  // namespace ulvren
