#include "recorder/sector_storage.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "host/platform.h"

namespace ulvren {

bool MemorySectorStorage::Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) {
    if (!InRange(lba, count)) {
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i, out += kSectorSize) {
        const auto found = sectors_.find(lba + i);
        if (found == sectors_.end()) {
            std::fill_n(out, kSectorSize, std::uint8_t{0});
        } else {
            std::copy(found->second.begin(), found->second.end(), out);
        }
    }
    return true;
}

bool MemorySectorStorage::Write(std::uint64_t lba, std::uint32_t count, const std::uint8_t* in) {
    if (!InRange(lba, count)) {
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i, in += kSectorSize) {
        std::copy_n(in, kSectorSize, sectors_[lba + i].begin());
    }
    return true;
}

std::unique_ptr<ImageFileStorage> ImageFileStorage::Open(const std::string& path,
                                                         std::string& error) {
    std::error_code code;
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    if (code) {
        error = "cannot open image " + path + ": " + code.message();
        return nullptr;
    }
    if (size % kSectorSize != 0) {
        error = "image " + path + " is not a whole number of 512-byte sectors";
        return nullptr;
    }
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file) {
        error = "cannot open image " + path + " for reading and writing";
        return nullptr;
    }
    return std::unique_ptr<ImageFileStorage>(
        new ImageFileStorage(std::move(file), size / kSectorSize));
}

std::unique_ptr<ImageFileStorage> ImageFileStorage::Create(const std::string& path,
                                                           std::uint64_t sector_count,
                                                           std::string& error) {
    if (std::filesystem::exists(path)) {
        error = "image " + path + " already exists";
        return nullptr;
    }
    {
        std::ofstream create(path, std::ios::binary);
        if (!create) {
            error = "cannot create image " + path;
            return nullptr;
        }
    }
    // Best effort: an image that cannot be sparse still works, it only takes its whole size.
    platform::MarkFileSparse(path);
    std::error_code code;
    std::filesystem::resize_file(path, sector_count * kSectorSize, code);
    if (code) {
        error = "cannot size image " + path + ": " + code.message();
        std::filesystem::remove(path, code);
        return nullptr;
    }
    return Open(path, error);
}

bool ImageFileStorage::Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) {
    if (!InRange(lba, count)) {
        return false;
    }
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(lba * kSectorSize));
    file_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count) * kSectorSize);
    return static_cast<bool>(file_);
}

bool ImageFileStorage::Write(std::uint64_t lba, std::uint32_t count, const std::uint8_t* in) {
    if (!InRange(lba, count)) {
        return false;
    }
    file_.clear();
    file_.seekp(static_cast<std::streamoff>(lba * kSectorSize));
    file_.write(reinterpret_cast<const char*>(in),
                static_cast<std::streamsize>(count) * kSectorSize);
    file_.flush();
    return static_cast<bool>(file_);
}

}  // namespace ulvren
