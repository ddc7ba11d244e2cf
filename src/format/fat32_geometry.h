#pragma once

#include <cstdint>
#include <optional>

namespace ulvren::fat32 {

// Where the structures of a volume lie, in device sectors.
struct Geometry {
    std::uint32_t sector_count = 0;
    std::uint32_t fat_sectors = 0;            // the length of each FAT
    std::uint32_t first_fat_sector = 0;       // FAT 1 starts right after the reserved sectors
    std::uint32_t second_fat_sector = 0;      // FAT 2 follows FAT 1
    std::uint32_t root_directory_sector = 0;  // the first sector of cluster 2
    std::uint32_t cluster_count = 0;          // whole clusters in the data region

    bool operator==(const Geometry&) const = default;
};

// The FAT length as the one-line rule gives it: floor((N - 38) / 1026) + 1. It falls one FAT
// sector short of the data region for 8 of every 1,026 sector counts; ComputeGeometry corrects
// that.
std::uint32_t NominalFatSectors(std::uint32_t sector_count);

// The layout of a volume over `sector_count` sectors, with a FAT long enough to give every
// cluster of the data region an entry. Empty when the device cannot hold the reserved sectors,
// both FATs and the whole root directory cluster (fewer than 48 sectors).
std::optional<Geometry> ComputeGeometry(std::uint32_t sector_count);

// Whether a device of `sector_count` sectors takes a FAT32 volume of this layout: its data region
// holds from 65,526 to 268,435,445 clusters (525,270 to 2,151,677,909 sectors). Outside that range
// not every reader takes the volume for FAT32, so nothing is written.
bool HoldsFat32(std::uint32_t sector_count);

}  // namespace ulvren::fat32
