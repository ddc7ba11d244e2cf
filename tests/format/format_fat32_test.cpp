// FormatFat32 end to end against the simulated recorder: what reaches the device, in which order,
// and what the device holds afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "device/usb_disk.h"
#include "device/volume_sector_writer.h"
#include "expected_sectors.h"
#include "format/fat32_volume_writer.h"
#include "format/sector_runs.h"
#include "recorder_fixture.h"

namespace ulvren {
namespace {

using testing::ExpectedWrites;
using testing::Sector;
using testing::SectorWrite;
using testing::SimulatedRecorder;

constexpr std::uint8_t kPattern = 0xA5;

Sector SectorAt(SimulatedRecorder& recorder, std::uint32_t lba) {
    const auto bytes = recorder.ReadSectors(lba, 1);
    Sector sector;
    std::copy(bytes.begin(), bytes.end(), sector.begin());
    return sector;
}

bool AllBytesAre(const std::vector<std::uint8_t>& bytes, std::uint8_t value) {
    return std::all_of(bytes.begin(), bytes.end(), [value](std::uint8_t b) { return b == value; });
}

// Reads a range in pieces and tells whether every byte holds `value`.
bool RangeHolds(SimulatedRecorder& recorder, std::uint32_t lba, std::uint32_t count,
                std::uint8_t value) {
    constexpr std::uint32_t kPiece = 4096;
    for (std::uint32_t done = 0; done < count; done += kPiece) {
        if (!AllBytesAre(recorder.ReadSectors(lba + done, std::min(kPiece, count - done)), value)) {
            return false;
        }
    }
    return true;
}

struct FormatCase {
    std::uint32_t sector_count;
    std::uint32_t fat_sectors;
    std::uint32_t second_fat_sector;
    std::uint32_t root_directory_sector;
    std::uint32_t max_transfer;
};

std::string CaseName(const ::testing::TestParamInfo<FormatCase>& info) {
    return "N" + std::to_string(info.param.sector_count) + "_max" +
           std::to_string(info.param.max_transfer);
}

class FormatOfSize : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatOfSize, WritesTheVolumeAndNothingElse) {
    const FormatCase& c = GetParam();
    const std::uint32_t f = c.fat_sectors;
    ASSERT_EQ(c.second_fat_sector, 38 + f);
    ASSERT_EQ(c.root_directory_sector, 38 + 2 * f);
    SimulatedRecorder recorder(c.sector_count);
    recorder.host().SetMaxTransferSectors(c.max_transfer);
    // Whatever the device held before, an old root directory included: the FATs and the root
    // cluster must come out zero, the rest must stay.
    recorder.FillSectors(0, c.root_directory_sector + 9, kPattern);

    CUsbDisk disk;
    ASSERT_EQ(disk.FormatFat32(recorder.handle()), 1);

    EXPECT_EQ(recorder.VendorCommandCount(CMD_GET_CAPACITY), 1u);
    EXPECT_EQ(recorder.Writes(), ExpectedWrites(f, c.max_transfer));

    const Sector boot = SectorAt(recorder, 0);
    const std::uint32_t serial = boot[0x43] | boot[0x44] << 8 | boot[0x45] << 16 | boot[0x46] << 24;
    EXPECT_LE(serial, 32'767u);
    EXPECT_EQ(boot, testing::ExpectedBootSector(c.sector_count, f, serial));
    EXPECT_EQ(SectorAt(recorder, 6), boot);
    EXPECT_EQ(SectorAt(recorder, 1), testing::ExpectedFsInfoSector());
    EXPECT_EQ(SectorAt(recorder, 7), testing::ExpectedFsInfoSector());
    EXPECT_EQ(SectorAt(recorder, 38), testing::ExpectedFirstFatSector());
    EXPECT_EQ(SectorAt(recorder, c.second_fat_sector), testing::ExpectedFirstFatSector());
    EXPECT_TRUE(RangeHolds(recorder, 39, f - 1, 0)) << "rest of FAT 1";
    EXPECT_TRUE(RangeHolds(recorder, c.second_fat_sector + 1, f - 1, 0)) << "rest of FAT 2";
    EXPECT_TRUE(RangeHolds(recorder, c.root_directory_sector, 8, 0)) << "cluster 2, the root";

    EXPECT_TRUE(RangeHolds(recorder, 2, 4, kPattern)) << "sectors 2 to 5";
    EXPECT_TRUE(RangeHolds(recorder, 8, 30, kPattern)) << "sectors 8 to 37";
    EXPECT_TRUE(RangeHolds(recorder, c.root_directory_sector + 8, 1, kPattern)) << "cluster 3";
}

// The smallest count FAT32 holds, the corrected FAT length, FAT rests of one command at 65,535
// sectors (nine writes) and FAT rests too long for one command.
INSTANTIATE_TEST_SUITE_P(
    SectorCounts, FormatOfSize,
    ::testing::Values(FormatCase{525'270, 512, 550, 1'062, 65'535},
                      FormatCase{525'270, 512, 550, 1'062, 240},
                      // One sector per command: the root cluster's rest goes as seven writes.
                      FormatCase{525'270, 512, 550, 1'062, 1},
                      FormatCase{1'048'576, 1'022, 1'060, 2'082, 65'535},
                      FormatCase{1'048'576, 1'022, 1'060, 2'082, 240},
                      FormatCase{4'194'304, 4'088, 4'126, 8'214, 65'535},
                      FormatCase{4'194'304, 4'088, 4'126, 8'214, 240},
                      FormatCase{8'388'608, 8'177, 8'215, 16'392, 65'535},
                      FormatCase{8'388'608, 8'177, 8'215, 16'392, 240},
                      FormatCase{15'523'840, 15'131, 15'169, 30'300, 65'535},
                      FormatCase{15'523'840, 15'131, 15'169, 30'300, 240},
                      FormatCase{62'333'952, 60'755, 60'793, 121'548, 65'535},
                      FormatCase{62'333'952, 60'755, 60'793, 121'548, 240},
                      // F - 1 = 65,536: one sector more than a WRITE(10) carries.
                      FormatCase{67'239'973, 65'537, 65'575, 131'112, 65'535},
                      FormatCase{134'217'728, 130'817, 130'855, 261'672, 65'535}),
    CaseName);

// Too small for the layout, too few clusters for FAT32 (a FAT16 volume to every reader, or to
// some at exactly 65,525 clusters) or cluster numbers past FAT32's: nothing is written, and the
// caller learns that the size was the reason.
TEST(FormatFat32, WritesNothingWhenFat32DoesNotHoldTheCapacity) {
    for (const std::uint32_t sector_count :
         {1u, 47u, 48u, 100'000u, 524'000u, 525'269u, 2'151'677'910u, 4'294'967'295u}) {
        SimulatedRecorder recorder(sector_count);
        CUsbDisk disk;
        bool capacity_outside_fat32 = false;
        EXPECT_EQ(disk.FormatFat32(recorder.handle(), {}, &capacity_outside_fat32), 0)
            << sector_count;
        EXPECT_TRUE(capacity_outside_fat32) << sector_count;
        EXPECT_EQ(recorder.VendorCommandCount(CMD_GET_CAPACITY), 1u);
        EXPECT_TRUE(recorder.Writes().empty()) << sector_count;
    }
}

// A failed query is no size: the format fails without naming the capacity.
TEST(FormatFat32, FailedCapacityQueryWritesNothing) {
    SimulatedRecorder recorder(1'048'576);
    recorder.host().InjectVendorFault(VendorFault::MissingYes, CMD_GET_CAPACITY);
    CUsbDisk disk;
    bool capacity_outside_fat32 = true;
    EXPECT_EQ(disk.FormatFat32(recorder.handle(), {}, &capacity_outside_fat32), 0);
    EXPECT_FALSE(capacity_outside_fat32);
    EXPECT_EQ(recorder.VendorCommandCount(CMD_GET_CAPACITY), 1u);
    EXPECT_TRUE(recorder.Writes().empty());
}

TEST(FormatFat32, InvalidHandleSendsNothing) {
    SimulatedRecorder recorder(1'048'576);
    CUsbDisk disk;
    EXPECT_EQ(disk.FormatFat32(kInvalidDeviceHandle), 0);
    EXPECT_TRUE(recorder.host().Requests().empty());
}

struct FailingWriteCase {
    std::uint32_t max_transfer;
    std::uint32_t failing_write;  // 1 for the first WRITE(10)
};

class FormatWithFailingWrite : public ::testing::TestWithParam<FailingWriteCase> {};

TEST_P(FormatWithFailingWrite, StopsAtTheFailedWrite) {
    const auto [max_transfer, k] = GetParam();
    constexpr std::uint32_t kSectorCount = 1'048'576;  // F = 1,022
    SimulatedRecorder recorder(kSectorCount);
    recorder.host().SetMaxTransferSectors(max_transfer);
    recorder.host().FailWritesFrom(k);
    CUsbDisk disk;
    EXPECT_EQ(disk.FormatFat32(recorder.handle()), 0);

    std::vector<SectorWrite> expected = ExpectedWrites(1'022, max_transfer);
    expected.resize(k);
    expected.back().carried_out = false;
    EXPECT_EQ(recorder.Writes(), expected);
}

INSTANTIATE_TEST_SUITE_P(EachWrite, FormatWithFailingWrite,
                         ::testing::Values(FailingWriteCase{65'535, 1}, FailingWriteCase{65'535, 2},
                                           FailingWriteCase{65'535, 3}, FailingWriteCase{65'535, 4},
                                           FailingWriteCase{65'535, 5}, FailingWriteCase{65'535, 6},
                                           FailingWriteCase{65'535, 7}, FailingWriteCase{65'535, 8},
                                           FailingWriteCase{65'535, 9},
                                           FailingWriteCase{65'535, 10},
                                           // Inside the chunked rest of FAT 1 and of FAT 2.
                                           FailingWriteCase{240, 8}, FailingWriteCase{240, 13}));

// Zero-buffer requests seen by the allocators below.
std::vector<std::size_t> g_zero_buffer_requests;

fat32::ZeroBuffer RefuseZeroBuffer(std::size_t bytes) {
    g_zero_buffer_requests.push_back(bytes);
    return nullptr;
}

fat32::ZeroBuffer RecordZeroBuffer(std::size_t bytes) {
    g_zero_buffer_requests.push_back(bytes);
    return fat32::AllocateZeroBuffer(bytes);
}

TEST(WriteVolume, MissingZeroBufferStopsAfterTheSingleSectors) {
    SimulatedRecorder recorder(1'048'576);
    VolumeSectorWriter writer(recorder.handle());
    g_zero_buffer_requests.clear();
    EXPECT_EQ(fat32::WriteVolume(writer, 1'048'576, 0, &RefuseZeroBuffer), 0);
    EXPECT_EQ(g_zero_buffer_requests.size(), 1u);
    const std::vector<SectorWrite> expected = {{0, 1}, {6, 1}, {1, 1}, {7, 1}, {38, 1}, {1'060, 1}};
    EXPECT_EQ(recorder.Writes(), expected);
}

TEST(WriteVolume, ZeroBufferIsOneCommandLongAndTakenOnce) {
    struct Case {
        std::uint32_t sector_count;
        std::uint32_t max_transfer;
        std::size_t buffer_bytes;
    };
    for (const Case& c : {Case{525'270, 4, 4 * 512}, Case{525'270, 65'535, 511 * 512},
                          Case{1'048'576, 240, 240 * 512}, Case{1'048'576, 65'535, 1'021 * 512},
                          Case{134'217'728, 65'535, 65'535 * 512}}) {
        SimulatedRecorder recorder(c.sector_count);
        recorder.host().SetMaxTransferSectors(c.max_transfer);
        VolumeSectorWriter writer(recorder.handle());
        g_zero_buffer_requests.clear();
        EXPECT_EQ(fat32::WriteVolume(writer, c.sector_count, 0, &RecordZeroBuffer), 1);
        EXPECT_EQ(g_zero_buffer_requests, std::vector{c.buffer_bytes}) << c.sector_count;
    }
}

TEST(SectorsPerCommand, FollowsTheHostWithinWrite10) {
    struct Case {
        std::uint32_t host_max;
        std::uint32_t per_command;
    };
    for (const Case& c : {Case{0, 128}, Case{1, 1}, Case{240, 240}, Case{65'535, 65'535},
                          Case{65'536, 65'535}, Case{0xFFFFFFFF, 65'535}}) {
        EXPECT_EQ(fat32::SectorsPerCommand(c.host_max), c.per_command) << c.host_max;
    }
}

}  // namespace
}  // namespace ulvren
