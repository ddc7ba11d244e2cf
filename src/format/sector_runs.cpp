#include "format/sector_runs.h"

#include <algorithm>

#include "protocol/scsi.h"

namespace ulvren::fat32 {

std::uint32_t SectorsPerCommand(std::uint32_t host_max_transfer_sectors) {
    if (host_max_transfer_sectors == 0) {
        return kFallbackSectorsPerCommand;
    }
    return std::min(host_max_transfer_sectors, kMaxWrite10Sectors);
}

bool WriteZeroSectors(SectorWriter& device, const std::uint8_t* zero_buffer,
                      std::uint32_t buffer_sectors, std::uint32_t lba, std::uint32_t count) {
    while (count > 0) {
        const std::uint32_t step = std::min(count, buffer_sectors);
        if (!device.Write(zero_buffer, lba, step)) {
            return false;
        }
        lba += step;
        count -= step;
    }
    return true;
}

}  // namespace ulvren::fat32
