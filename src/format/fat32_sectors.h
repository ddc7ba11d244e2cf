#pragma once

#include <array>
#include <cstdint>

#include "format/fat32_geometry.h"
#include "format/fat32_layout.h"

namespace ulvren::fat32 {

using SectorImage = std::array<std::uint8_t, kBytesPerSector>;

// The boot sector (written to sector 0 and again to the backup boot sector 6).
SectorImage BuildBootSector(const Geometry& geometry, std::uint32_t volume_serial);

// The FSInfo sector (sector 1 and its backup, sector 7): the free count is left unknown and the
// search for a free cluster starts at the root directory's own cluster.
SectorImage BuildFsInfoSector();

// The first sector of each FAT: the media and reserved entries, and a one-cluster root directory.
SectorImage BuildFirstFatSector();

}  // namespace ulvren::fat32
