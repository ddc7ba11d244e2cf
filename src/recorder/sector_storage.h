#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
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
    // Told, in words, of every read or write of the image that fails.
    using FailureReport = std::function<void(const std::string&)>;

    // Opens an existing image; its size gives the sector count. Null, with `error` set, when it
    // cannot be opened or its size is not a whole number of sectors.
    static std::unique_ptr<ImageFileStorage> Open(const std::string& path, std::string& error,
                                                  FailureReport report = {});
    // Creates a sparse image of `sector_count` sectors at `path` in one step: made whole beside
    // it, then linked into place, so that no one ever opens it half made. An image that another
    // run put there meanwhile stays as it is and counts as created. False, with `error` set, when
    // the image cannot be made.
    static bool Create(const std::string& path, std::uint64_t sector_count, std::string& error);

    std::uint64_t SectorCount() const override { return sector_count_; }
    bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) override;
    bool Write(std::uint64_t lba, std::uint32_t count, const std::uint8_t* in) override;

  private:
    ImageFileStorage(std::string path, std::fstream file, std::uint64_t sector_count,
                     FailureReport report)
        : path_(std::move(path)),
          file_(std::move(file)),
          sector_count_(sector_count),
          report_(std::move(report)) {}

    // False, after telling the report why.
    bool Failed(const char* what, std::uint64_t lba, std::uint32_t count) const;

    std::string path_;
    std::fstream file_;
    std::uint64_t sector_count_;
    FailureReport report_;
};

}  // namespace ulvren
