#include "format/fat32_geometry.h"

#include "format/fat32_layout.h"

namespace ulvren::fat32 {
namespace {

std::uint32_t ClustersAfterFats(std::uint32_t sector_count, std::uint32_t fat_sectors) {
    const std::uint64_t data_start = std::uint64_t{kReservedSectors} + kFatCount * fat_sectors;
    if (sector_count <= data_start) {
        return 0;
    }
    return static_cast<std::uint32_t>((sector_count - data_start) / kSectorsPerCluster);
}

bool FatCoversClusters(std::uint32_t fat_sectors, std::uint32_t clusters) {
    return std::uint64_t{fat_sectors} * kFatEntriesPerSector >=
           std::uint64_t{clusters} + kReservedFatEntries;
}

}  // namespace

std::uint32_t NominalFatSectors(std::uint32_t sector_count) {
    return (sector_count - kReservedSectors) / kSectorsPerFatSector + 1;
}

std::optional<Geometry> ComputeGeometry(std::uint32_t sector_count) {
    if (sector_count < kReservedSectors) {
        return std::nullopt;
    }
    Geometry geometry;
    geometry.sector_count = sector_count;
    geometry.fat_sectors = NominalFatSectors(sector_count);
    if (!FatCoversClusters(geometry.fat_sectors,
                           ClustersAfterFats(sector_count, geometry.fat_sectors))) {
        // One more FAT sector holds 128 more entries and costs the data region only two sectors.
        ++geometry.fat_sectors;
    }
    geometry.first_fat_sector = kReservedSectors;
    geometry.second_fat_sector = kReservedSectors + geometry.fat_sectors;
    geometry.root_directory_sector = kReservedSectors + kFatCount * geometry.fat_sectors;
    geometry.cluster_count = ClustersAfterFats(sector_count, geometry.fat_sectors);
    if (geometry.cluster_count == 0) {
        // Too small for the root directory's cluster: nothing is written rather than a volume
        // whose root lies partly past the end.
        return std::nullopt;
    }
    return geometry;
}

bool HoldsFat32(std::uint32_t sector_count) {
    const std::optional<Geometry> geometry = ComputeGeometry(sector_count);
    return geometry && geometry->cluster_count >= kMinFat32Clusters &&
           geometry->cluster_count <= kMaxFat32Clusters;
}

}  // namespace ulvren::fat32
