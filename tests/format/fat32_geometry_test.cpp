#include "format/fat32_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace ulvren::fat32 {
namespace {

struct GeometryCase {
    std::uint32_t sector_count;
    std::uint32_t fat_sectors;
    std::uint32_t second_fat_sector;
    std::uint32_t root_directory_sector;
    std::uint32_t cluster_count;
};

class GeometryTable : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(GeometryTable, LaysOutTheVolume) {
    const GeometryCase& expected = GetParam();
    const auto geometry = ComputeGeometry(expected.sector_count);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->sector_count, expected.sector_count);
    EXPECT_EQ(geometry->fat_sectors, expected.fat_sectors);
    EXPECT_EQ(geometry->first_fat_sector, 38u);
    EXPECT_EQ(geometry->second_fat_sector, expected.second_fat_sector);
    EXPECT_EQ(geometry->root_directory_sector, expected.root_directory_sector);
    EXPECT_EQ(geometry->cluster_count, expected.cluster_count);
}

INSTANTIATE_TEST_SUITE_P(
    SectorCounts, GeometryTable,
    ::testing::Values(GeometryCase{48, 1, 39, 40, 1},  // smallest accepted: the root cluster only
                      GeometryCase{1'000, 1, 39, 40, 120},
                      // 1,055 is the last count with a one-sector FAT: at 1,056 the data
                      // region holds 127 clusters, one more than 128 entries can describe.
                      GeometryCase{1'055, 1, 39, 40, 126}, GeometryCase{1'056, 2, 40, 42, 126},
                      GeometryCase{1'064, 2, 40, 42, 127},
                      GeometryCase{1'048'576, 1'022, 1'060, 2'082, 130'811},
                      GeometryCase{4'194'304, 4'088, 4'126, 8'214, 523'261},
                      // (N - 38) mod 1026 = 1020: one sector more than floor((N - 38) / 1026) + 1.
                      GeometryCase{8'388'608, 8'177, 8'215, 16'392, 1'046'527},
                      GeometryCase{15'523'840, 15'131, 15'169, 30'300, 1'936'692},
                      GeometryCase{62'333'952, 60'755, 60'793, 121'548, 7'776'550},
                      GeometryCase{134'217'728, 130'817, 130'855, 261'672, 16'744'507},
                      GeometryCase{4'294'967'295, 4'186'128, 4'186'166, 8'372'294, 535'824'375}));

// Below 38 the reserved sectors do not fit (a failed capacity query leaves 0); below 48 the root
// directory's cluster would reach past the end.
TEST(Geometry, RefusesDevicesTooSmallForTheLayout) {
    for (const std::uint32_t sector_count : {0u, 1u, 37u, 38u, 40u, 41u, 47u}) {
        EXPECT_FALSE(ComputeGeometry(sector_count)) << sector_count;
    }
}

// Every count in [first, last] with the given stride: the FAT has an entry for every cluster and
// keeps the nominal length except where that would fall short.
void SweepCounts(std::uint64_t first, std::uint64_t last, std::uint64_t stride) {
    for (std::uint64_t n = first; n <= last; n += stride) {
        const auto sector_count = static_cast<std::uint32_t>(n);
        const auto geometry = ComputeGeometry(sector_count);
        ASSERT_TRUE(geometry) << n;
        ASSERT_GE(std::uint64_t{geometry->fat_sectors} * 128,
                  std::uint64_t{geometry->cluster_count} + 2)
            << n;
        const std::uint32_t residue = (sector_count - 38) % 1026;
        const std::uint32_t nominal = (sector_count - 38) / 1026 + 1;
        ASSERT_EQ(NominalFatSectors(sector_count), nominal) << n;
        ASSERT_EQ(geometry->fat_sectors, residue < 1018 ? nominal : nominal + 1) << n;
        ASSERT_EQ(geometry->root_directory_sector, 38 + 2 * geometry->fat_sectors) << n;
    }
}

// FAT32 takes the counts whose data region holds 65,526 to 268,435,445 clusters, and those alone:
// a whole range of counts on each side of each bound, since a longer FAT can take a cluster away.
TEST(Geometry, HoldsFat32FromTheSmallestToTheLargestClusterCount) {
    struct Range {
        std::uint64_t first, last;
        bool holds;
    };
    for (const Range& r :
         {Range{0, 525'269, false}, Range{525'270, 600'000, true},
          Range{2'151'600'000, 2'151'677'909, true}, Range{2'151'677'910, 2'151'800'000, false},
          Range{0xFFFFFFFFull - 1'000, 0xFFFFFFFFull, false}}) {
        for (std::uint64_t n = r.first; n <= r.last; ++n) {
            ASSERT_EQ(HoldsFat32(static_cast<std::uint32_t>(n)), r.holds) << n;
        }
    }
}

TEST(Geometry, EveryClusterHasAnEntry) {
    SweepCounts(48, 3'000'000, 1);
    SweepCounts(67'239'973 - 5'000, 67'239'973 + 5'000, 1);  // around the last one-command FAT
    SweepCounts(0xFFFFFFFFull - 5'000, 0xFFFFFFFFull, 1);
    // A stride coprime with 1026 visits every residue many times across the whole range.
    SweepCounts(48, 0xFFFFFFFFull, 1'009);
}

}  // namespace
}  // namespace ulvren::fat32
