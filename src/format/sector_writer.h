#pragma once

#include <cstdint>

namespace ulvren::fat32 {

// Where the FAT32 writer sends its sectors: the device, behind one WRITE(10) per call.
class SectorWriter {
  public:
    virtual ~SectorWriter() = default;

    // Writes `count` whole 512-byte sectors from `buffer` at `lba` in one command. False when the
    // device did not take them.
    virtual bool Write(const std::uint8_t* buffer, std::uint32_t lba, std::uint32_t count) = 0;

    // The most sectors one command may carry; 0 when the device's adapter does not say.
    virtual std::uint32_t MaxTransferSectors() = 0;
};

}  // namespace ulvren::fat32
