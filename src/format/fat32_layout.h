#pragma once

#include <cstdint>

namespace ulvren::fat32 {

// The fixed shape of the volume. Only the FAT length depends on the device's size.
inline constexpr std::uint32_t kBytesPerSector = 512;
inline constexpr std::uint32_t kSectorsPerCluster = 8;  // 4,096-byte clusters
// Sectors 0 to 37: boot sector, FSInfo, backups and unused reserved sectors before FAT 1.
inline constexpr std::uint32_t kReservedSectors = 38;
inline constexpr std::uint32_t kFatCount = 2;
inline constexpr std::uint32_t kBootSector = 0;
inline constexpr std::uint32_t kFsInfoSector = 1;
inline constexpr std::uint32_t kBackupBootSector = 6;
// The backup FSInfo sits as far behind the backup boot sector as the FSInfo behind the boot sector.
inline constexpr std::uint32_t kBackupFsInfoSector = kBackupBootSector + kFsInfoSector;
inline constexpr std::uint32_t kRootDirectoryCluster = 2;

// FAT entries: 32 bits each; entries 0 and 1 are reserved, so cluster numbers start at 2.
inline constexpr std::uint32_t kFatEntrySize = 4;
inline constexpr std::uint32_t kFatEntriesPerSector = kBytesPerSector / kFatEntrySize;
inline constexpr std::uint32_t kReservedFatEntries = 2;

// One FAT sector describes 128 clusters, 1,024 data sectors; with its twin in the second FAT that
// makes 1,026 sectors of the device per FAT sector.
inline constexpr std::uint32_t kSectorsPerFatSector =
    kFatEntriesPerSector * kSectorsPerCluster + kFatCount;

// The cluster counts of a FAT32 volume. Readers take the FAT type from the cluster count alone:
// with fewer clusters a volume is FAT12 or FAT16 to them, whatever its boot sector says. Below
// 65,525 every reader says FAT16; at exactly 65,525 the published rules say FAT32 but FatFs, the
// library of many recorders and cameras, says FAT16, so the smallest count is one more. The
// highest cluster number is 0x0FFFFFF6, as the values above it mark bad clusters and chain ends.
inline constexpr std::uint32_t kMinFat32Clusters = 65'526;
inline constexpr std::uint32_t kMaxFat32Clusters = 0x0FFFFFF6 - 1;  // clusters 2 to 0x0FFFFFF6

}  // namespace ulvren::fat32
