#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "format/sector_writer.h"

namespace ulvren::fat32 {

using ZeroBuffer = std::unique_ptr<std::uint8_t[]>;
// Returns a buffer of `bytes` zero bytes, or null when there is no memory for it.
using ZeroBufferAllocator = ZeroBuffer (*)(std::size_t bytes);

// Told after every write that went through: the sectors written so far, out of all the sectors
// that the layout writes. The last call has them equal.
using WriteProgress = std::function<void(std::uint32_t written, std::uint32_t total)>;

// Allocates from the heap without throwing.
ZeroBuffer AllocateZeroBuffer(std::size_t bytes);

// Lays a FAT32 file system over a device of `sector_count` sectors: boot sector and its backup,
// FSInfo and its backup, both FATs in full and the root directory's whole cluster (its first
// sector, then the other seven), in that order, and no other sector. 1 when every write went
// through; 0 with nothing written for a device whose data region would hold a cluster count that
// FAT32 does not have (HoldsFat32); 0 at once when a write fails or the zero buffer cannot be had
// (what was written stays written). `progress`, when given, hears of every write.
int WriteVolume(SectorWriter& device, std::uint32_t sector_count, std::uint32_t volume_serial,
                ZeroBufferAllocator allocate_zero_buffer = &AllocateZeroBuffer,
                const WriteProgress& progress = {});

}  // namespace ulvren::fat32
