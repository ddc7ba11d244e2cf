#include "format/fat32_sectors.h"

#include <algorithm>
#include <string_view>

#include "format/bootstrap_template.h"
#include "protocol/byte_order.h"

namespace ulvren::fat32 {
namespace {

// Boot sector field offsets.
constexpr std::size_t kJumpOffset = 0x000;
constexpr std::size_t kOemNameOffset = 0x003;
constexpr std::size_t kBytesPerSectorOffset = 0x00B;
constexpr std::size_t kSectorsPerClusterOffset = 0x00D;
constexpr std::size_t kReservedSectorsOffset = 0x00E;
constexpr std::size_t kFatCountOffset = 0x010;
constexpr std::size_t kRootEntryCountOffset = 0x011;
constexpr std::size_t kTotalSectors16Offset = 0x013;
constexpr std::size_t kMediaOffset = 0x015;
constexpr std::size_t kFatSectors16Offset = 0x016;
constexpr std::size_t kSectorsPerTrackOffset = 0x018;
constexpr std::size_t kHeadCountOffset = 0x01A;
constexpr std::size_t kHiddenSectorsOffset = 0x01C;
constexpr std::size_t kTotalSectors32Offset = 0x020;
constexpr std::size_t kFatSectors32Offset = 0x024;
constexpr std::size_t kExtendedFlagsOffset = 0x028;
constexpr std::size_t kVersionOffset = 0x02A;
constexpr std::size_t kRootClusterOffset = 0x02C;
constexpr std::size_t kFsInfoSectorOffset = 0x030;
constexpr std::size_t kBackupBootSectorOffset = 0x032;
constexpr std::size_t kDriveNumberOffset = 0x040;
constexpr std::size_t kBootSignatureOffset = 0x042;
constexpr std::size_t kVolumeSerialOffset = 0x043;
constexpr std::size_t kVolumeLabelOffset = 0x047;
constexpr std::size_t kFileSystemTypeOffset = 0x052;
constexpr std::size_t kSectorSignatureOffset = 0x1FE;

// A short jump over the parameter block to the bootstrap at 0x05A, then a no-op.
constexpr std::array<std::uint8_t, 3> kJumpToBootstrap = {0xEB, 0x58, 0x90};
constexpr std::string_view kOemName = "MSDOS5.0";
// The label and type fields are padded with spaces, as every FAT formatter writes them: readers
// that find "FAT32" and zero bytes take the sector for something else than a FAT32 boot sector,
// and checkers call a zero-padded label invalid.
constexpr std::string_view kVolumeLabel = "NO NAME    ";
constexpr std::size_t kVolumeLabelLength = 11;
constexpr std::string_view kFileSystemType = "FAT32   ";
constexpr std::size_t kFileSystemTypeLength = 8;
constexpr std::uint8_t kMediaFixedDisk = 0xF8;
// The CHS geometry is fixed: the device is addressed by LBA only.
constexpr std::uint16_t kSectorsPerTrack = 63;
constexpr std::uint16_t kHeadCount = 255;
// The volume starts at device sector 0: no partition table in front of it.
constexpr std::uint32_t kHiddenSectors = 0;
// Both FATs active, FAT 2 mirroring FAT 1.
constexpr std::uint16_t kExtendedFlagsMirrored = 0;
constexpr std::uint16_t kFileSystemVersion = 0;
// The bootstrap reads its drive from here; 0x00 rather than the hard-disk 0x80.
constexpr std::uint8_t kDriveNumber = 0x00;
// Says that serial, label and type follow.
constexpr std::uint8_t kExtendedBootSignature = 0x29;
constexpr std::array<std::uint8_t, 2> kSectorSignature = {0x55, 0xAA};

// FSInfo field offsets and values.
constexpr std::size_t kFsInfoLeadSignatureOffset = 0;
constexpr std::size_t kFsInfoStructSignatureOffset = 0x1E4;
constexpr std::size_t kFsInfoFreeCountOffset = 0x1E8;
constexpr std::size_t kFsInfoNextFreeOffset = 0x1EC;
constexpr std::size_t kFsInfoTrailSignatureOffset = 0x1FC;
constexpr std::uint32_t kFsInfoLeadSignature = 0x41615252;    // "RRaA"
constexpr std::uint32_t kFsInfoStructSignature = 0x61417272;  // "rrAa"
constexpr std::uint32_t kFsInfoTrailSignature = 0xAA550000;   // 00 00 55 AA
constexpr std::uint32_t kFreeCountUnknown = 0xFFFFFFFF;
// The hint points at the root directory's own cluster; a reader skips it as it is in use.
constexpr std::uint32_t kNextFreeHint = kRootDirectoryCluster;

// FAT entries 0 to 2: the media entry repeats the media descriptor in its low byte, entry 1 is
// all ones, and entry 2 ends the root directory's one-cluster chain.
constexpr std::uint32_t kMediaFatEntry = 0x0FFFFF00 | kMediaFixedDisk;
constexpr std::uint32_t kReservedFatEntry = 0x0FFFFFFF;
constexpr std::uint32_t kEndOfChain = 0x0FFFFFFF;

void StoreText(SectorImage& sector, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), sector.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

static_assert(kVolumeLabel.size() == kVolumeLabelLength);
static_assert(kFileSystemType.size() == kFileSystemTypeLength);
static_assert(kBootstrapOffset == kFileSystemTypeOffset + kFileSystemTypeLength);
static_assert(kBootstrapOffset + kBootstrapSize == kSectorSignatureOffset);

SectorImage BuildBootSector(const Geometry& geometry, std::uint32_t volume_serial) {
    SectorImage sector{};
    std::copy(kJumpToBootstrap.begin(), kJumpToBootstrap.end(), sector.begin() + kJumpOffset);
    StoreText(sector, kOemNameOffset, kOemName);
    StoreLe16(sector, kBytesPerSectorOffset, kBytesPerSector);
    sector[kSectorsPerClusterOffset] = kSectorsPerCluster;
    StoreLe16(sector, kReservedSectorsOffset, kReservedSectors);
    sector[kFatCountOffset] = kFatCount;
    StoreLe16(sector, kRootEntryCountOffset, 0);  // FAT32 keeps its root in a cluster chain
    StoreLe16(sector, kTotalSectors16Offset, 0);  // the 32-bit count below holds it
    sector[kMediaOffset] = kMediaFixedDisk;
    StoreLe16(sector, kFatSectors16Offset, 0);  // the 32-bit length below holds it
    StoreLe16(sector, kSectorsPerTrackOffset, kSectorsPerTrack);
    StoreLe16(sector, kHeadCountOffset, kHeadCount);
    StoreLe32(sector, kHiddenSectorsOffset, kHiddenSectors);
    StoreLe32(sector, kTotalSectors32Offset, geometry.sector_count);
    StoreLe32(sector, kFatSectors32Offset, geometry.fat_sectors);
    StoreLe16(sector, kExtendedFlagsOffset, kExtendedFlagsMirrored);
    StoreLe16(sector, kVersionOffset, kFileSystemVersion);
    StoreLe32(sector, kRootClusterOffset, kRootDirectoryCluster);
    StoreLe16(sector, kFsInfoSectorOffset, kFsInfoSector);
    StoreLe16(sector, kBackupBootSectorOffset, kBackupBootSector);
    sector[kDriveNumberOffset] = kDriveNumber;
    sector[kBootSignatureOffset] = kExtendedBootSignature;
    StoreLe32(sector, kVolumeSerialOffset, volume_serial);
    StoreText(sector, kVolumeLabelOffset, kVolumeLabel);
    StoreText(sector, kFileSystemTypeOffset, kFileSystemType);
    const auto bootstrap = BootstrapTemplate();
    std::copy(bootstrap.begin(), bootstrap.end(), sector.begin() + kBootstrapOffset);
    std::copy(kSectorSignature.begin(), kSectorSignature.end(),
              sector.begin() + kSectorSignatureOffset);
    return sector;
}

SectorImage BuildFsInfoSector() {
    SectorImage sector{};
    StoreLe32(sector, kFsInfoLeadSignatureOffset, kFsInfoLeadSignature);
    StoreLe32(sector, kFsInfoStructSignatureOffset, kFsInfoStructSignature);
    StoreLe32(sector, kFsInfoFreeCountOffset, kFreeCountUnknown);
    StoreLe32(sector, kFsInfoNextFreeOffset, kNextFreeHint);
    StoreLe32(sector, kFsInfoTrailSignatureOffset, kFsInfoTrailSignature);
    return sector;
}

SectorImage BuildFirstFatSector() {
    SectorImage sector{};
    StoreLe32(sector, 0 * kFatEntrySize, kMediaFatEntry);
    StoreLe32(sector, 1 * kFatEntrySize, kReservedFatEntry);
    StoreLe32(sector, kRootDirectoryCluster * kFatEntrySize, kEndOfChain);
    return sector;
}

}  // namespace ulvren::fat32
