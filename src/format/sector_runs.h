#pragma once

#include <cstdint>

#include "format/sector_writer.h"

namespace ulvren::fat32 {

// What one WRITE(10) may carry when the host reports no limit of its own.
inline constexpr std::uint32_t kFallbackSectorsPerCommand = 128;

// The sectors one command may carry: the host's maximum transfer (or the fallback when it reports
// none), and never more than the 16-bit block count of WRITE(10) allows.
std::uint32_t SectorsPerCommand(std::uint32_t host_max_transfer_sectors);

// Writes `count` sectors of zero bytes from `lba` on, in commands of at most `buffer_sectors`
// sectors, all sent from `zero_buffer`. False as soon as one command fails; the commands after
// it are not sent.
bool WriteZeroSectors(SectorWriter& device, const std::uint8_t* zero_buffer,
                      std::uint32_t buffer_sectors, std::uint32_t lba, std::uint32_t count);

}  // namespace ulvren::fat32
