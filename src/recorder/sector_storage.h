#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <unordered_map>

namespace ulvren {

// The recorder's flash: whole 512-byte sectors.
class SectorStorage {
  public:
    static constexpr std::size_t kSectorSize = 512;

    virtual ~SectorStorage() = default;
    virtual std::uint64_t SectorCount() const = 0;
    // Both return false when the range does not lie inside the storage or the medium fails.
    virtual bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) = 0;
    virtual bool Write(std::uint64_t lba, std::uint32_t count, const std::uint8_t* in) = 0;

  protected:
    bool InRange(std::uint64_t lba, std::uint32_t count) const {
        return lba <= SectorCount() && count <= SectorCount() - lba;
    }
};

// Sparse storage in memory: sectors never written read as zero bytes. For tests.
class MemorySectorStorage final : public SectorStorage {
  public:
    explicit MemorySectorStorage(std::uint64_t sector_count) : sector_count_(sector_count) {}

    std::uint64_t SectorCount() const override { return sector_count_; }
    bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) override;
    bool Write(std::uint64_t lba, std::uint32_t count, const std::uint8_t* in) override;

    // How many distinct sectors have ever been written.
    std::size_t WrittenSectorCount() const { return sectors_.size(); }

  private:
    std::uint64_t sector_count_;
    std::unordered_map<std::uint64_t, std::array<std::uint8_t, kSectorSize>> sectors_;
};

// Storage in an image file, one sector after the other. A new image is created sparse, so an
// 8 GiB recorder takes no disk space until it is written.
class ImageFileStorage final : public SectorStorage {
  public:
    // Opens an existing image; its size gives the sector count. Null, with `error` set, when it
    // cannot be opened or its size is not a whole number of sectors.
    static std::unique_ptr<ImageFileStorage> Open(const std::string& path, std::string& error);
    // Creates a sparse image of `sector_count` sectors (replacing nothing: fails if it exists).
    static std::unique_ptr<ImageFileStorage> Create(const std::string& path,
                                                    std::uint64_t sector_count, std::string& error);

    std::uint64_t SectorCount() const override { return sector_count_; }
    bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) override;
    bool Write(std::uint64_t lba, std::uint32_t count, const std::uint8_t* in) override;

  private:
    ImageFileStorage(std::fstream file, std::uint64_t sector_count)
        : file_(std::move(file)), sector_count_(sector_count) {}

    std::fstream file_;
    std::uint64_t sector_count_;
};

}  // namespace ulvren
