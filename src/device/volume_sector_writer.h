#pragma once

#include "device/transport.h"
#include "format/sector_writer.h"

namespace ulvren {

// The FAT32 writer's way to an open volume: sector writes through the transport.
class VolumeSectorWriter final : public fat32::SectorWriter {
  public:
    explicit VolumeSectorWriter(DeviceHandle handle) : handle_(handle) {}

    bool Write(const std::uint8_t* buffer, std::uint32_t lba, std::uint32_t count) override {
        return WriteSectors(handle_, buffer, lba, count) != 0;
    }
    std::uint32_t MaxTransferSectors() override { return ulvren::MaxTransferSectors(handle_); }

  private:
    DeviceHandle handle_;
};

}  // namespace ulvren
