#include "format/fat32_volume_writer.h"

#include <algorithm>
#include <new>
#include <optional>

#include "format/fat32_geometry.h"
#include "format/fat32_layout.h"
#include "format/fat32_sectors.h"
#include "format/sector_runs.h"

namespace ulvren::fat32 {
namespace {

bool WriteOneSector(SectorWriter& device, const SectorImage& sector, std::uint32_t lba) {
    return device.Write(sector.data(), lba, 1);
}

// Passes the writes on and tells `progress` of each one that went through.
class CountingSectorWriter final : public SectorWriter {
  public:
    CountingSectorWriter(SectorWriter& device, std::uint32_t total, const WriteProgress& progress)
        : device_(device), total_(total), progress_(progress) {}

    bool Write(const std::uint8_t* buffer, std::uint32_t lba, std::uint32_t count) override {
        if (!device_.Write(buffer, lba, count)) {
            return false;
        }
        written_ += count;
        progress_(written_, total_);
        return true;
    }
    std::uint32_t MaxTransferSectors() override { return device_.MaxTransferSectors(); }

  private:
    SectorWriter& device_;
    const std::uint32_t total_;
    const WriteProgress& progress_;
    std::uint32_t written_ = 0;
};

// Every sector that WriteVolume writes for `geometry`: the boot sector, FSInfo and first FAT
// sector with their copies, both FATs' other sectors and the root directory's whole cluster.
std::uint32_t SectorsWritten(const Geometry& geometry) {
    constexpr std::uint32_t kSingleSectors = 6;
    return kSingleSectors + 2 * (geometry.fat_sectors - 1) + kSectorsPerCluster;
}

int WriteLayout(SectorWriter& device, const Geometry& geometry, std::uint32_t volume_serial,
                ZeroBufferAllocator allocate_zero_buffer) {
    const SectorImage boot = BuildBootSector(geometry, volume_serial);
    const SectorImage fs_info = BuildFsInfoSector();
    const SectorImage first_fat = BuildFirstFatSector();
    if (!WriteOneSector(device, boot, kBootSector) ||
        !WriteOneSector(device, boot, kBackupBootSector) ||
        !WriteOneSector(device, fs_info, kFsInfoSector) ||
        !WriteOneSector(device, fs_info, kBackupFsInfoSector) ||
        !WriteOneSector(device, first_fat, geometry.first_fat_sector) ||
        !WriteOneSector(device, first_fat, geometry.second_fat_sector)) {
        return 0;
    }

    // The rest of each FAT and the rest of the root directory's cluster are zero bytes, sent from
    // one buffer no larger than one command.
    const std::uint32_t rest_of_fat = geometry.fat_sectors - 1;
    const std::uint32_t rest_of_root = kSectorsPerCluster - 1;
    const std::uint32_t buffer_sectors = std::min(std::max(rest_of_fat, rest_of_root),
                                                  SectorsPerCommand(device.MaxTransferSectors()));
    const ZeroBuffer zeros = allocate_zero_buffer(std::size_t{buffer_sectors} * kBytesPerSector);
    if (!zeros) {
        return 0;
    }
    if (!WriteZeroSectors(device, zeros.get(), buffer_sectors, geometry.first_fat_sector + 1,
                          rest_of_fat) ||
        !WriteZeroSectors(device, zeros.get(), buffer_sectors, geometry.second_fat_sector + 1,
                          rest_of_fat)) {
        return 0;
    }

    // The whole root directory cluster, so that no entry of an earlier file system survives in
    // it: its first sector on its own, as the order has it, then the seven after it.
    const SectorImage empty_directory{};
    return WriteOneSector(device, empty_directory, geometry.root_directory_sector) &&
                   WriteZeroSectors(device, zeros.get(), buffer_sectors,
                                    geometry.root_directory_sector + 1, rest_of_root)
               ? 1
               : 0;
}

}  // namespace

ZeroBuffer AllocateZeroBuffer(std::size_t bytes) {
    // The value-initialising form zeroes the bytes.
    return ZeroBuffer(new (std::nothrow) std::uint8_t[bytes]());
}

int WriteVolume(SectorWriter& device, std::uint32_t sector_count, std::uint32_t volume_serial,
                ZeroBufferAllocator allocate_zero_buffer, const WriteProgress& progress) {
    if (!HoldsFat32(sector_count)) {
        return 0;
    }
    const std::optional<Geometry> geometry = ComputeGeometry(sector_count);
    if (!progress) {
        return WriteLayout(device, *geometry, volume_serial, allocate_zero_buffer);
    }
    CountingSectorWriter counting(device, SectorsWritten(*geometry), progress);
    return WriteLayout(counting, *geometry, volume_serial, allocate_zero_buffer);
}

}  // namespace ulvren::fat32
