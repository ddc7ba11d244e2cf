#include "recorder/sector_storage.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "host/sparse_file.h"
#include "recorder/file_beside.h"

namespace ulvren {
namespace {

constexpr int kOpenAttempts = 50;
constexpr std::chrono::milliseconds kOpenRetryPause{10};

}  // namespace

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
                                                         std::string& error, FailureReport report) {
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
    // A run that has just linked a new image into place removes its temporary name next; until
    // it has, Windows refuses to open the file (a sharing violation, seen as EACCES). That
    // passes within moments, so a refused open is tried again a few times.
    std::fstream file;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        file.open(path, std::ios::in | std::ios::out | std::ios::binary);
        if (file || errno != EACCES) {
            break;
        }
        std::this_thread::sleep_for(kOpenRetryPause);
    }
    if (!file) {
        error = "cannot open image " + path + " for reading and writing: " + LastCallErrorText();
        return nullptr;
    }
    return std::unique_ptr<ImageFileStorage>(
        new ImageFileStorage(path, std::move(file), size / kSectorSize, std::move(report)));
}

bool ImageFileStorage::Create(const std::string& path, std::uint64_t sector_count,
                              std::string& error) {
    const auto temporary = WriteNewFileBeside(path, {}, error);
    if (!temporary) {
        return false;
    }
    // Best effort: an image that cannot be sparse still works, it only takes its whole size.
    platform::MarkFileSparse(*temporary);
    std::error_code code;
    std::filesystem::resize_file(*temporary, sector_count * kSectorSize, code);
    if (!code) {
        // A link, unlike a rename, never replaces what is already there.
        std::filesystem::create_hard_link(*temporary, path, code);
    }
    std::error_code ignored;
    std::filesystem::remove(*temporary, ignored);
    if (code && code != std::errc::file_exists) {
        error = "cannot create image " + path + ": " + code.message();
        return false;
    }
    return true;
}

bool ImageFileStorage::Failed(const char* what, std::uint64_t lba, std::uint32_t count) const {
    if (report_) {
        report_("cannot " + std::string(what) + " sectors " + std::to_string(lba) + " to " +
                std::to_string(lba + count - 1) + " of image " + path_ + ": " +
                LastCallErrorText());
    }
    return false;
}

bool ImageFileStorage::Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) {
    if (!InRange(lba, count)) {
        return false;
    }
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(lba * kSectorSize));
    file_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count) * kSectorSize);
    return file_ ? true : Failed("read", lba, count);
}

bool ImageFileStorage::Write(std::uint64_t lba, std::uint32_t count, const std::uint8_t* in) {
    if (!InRange(lba, count)) {
        return false;
    }
    file_.clear();
    file_.seekp(static_cast<std::streamoff>(lba * kSectorSize));
    file_.write(reinterpret_cast<const char*>(in),
                static_cast<std::streamsize>(count) * kSectorSize);
    // Flushed at once, so that a full disk fails this write and not a later one.
    file_.flush();
    return file_ ? true : Failed("write", lba, count);
}

}  // namespace ulvren
