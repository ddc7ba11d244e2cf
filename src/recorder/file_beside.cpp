#include "recorder/file_beside.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>
#include <system_error>

namespace ulvren {
namespace {

// Names already taken are skipped; this many in a row means something else is wrong.
constexpr int kNameTries = 16;

std::string RandomSuffix() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix;
    for (std::uint64_t bits = generator(); suffix.size() < 16; bits >>= 4) {
        suffix += kDigits[bits & 0xF];
    }
    return suffix;
}

}  // namespace

std::string LastCallErrorText() {
    return std::generic_category().message(errno);
}

std::optional<std::string> WriteNewFileBeside(const std::string& path, std::string_view contents,
                                              std::string& error) {
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        const std::string temporary = path + ".tmp-" + RandomSuffix();
        // "x": fails when anything, a link included, is already at that name.
        std::FILE* out = std::fopen(temporary.c_str(), "wbx");
        if (out == nullptr) {
            if (errno == EEXIST) {
                continue;
            }
            // Named by the file the caller asked for: the temporary name is this function's own.
            error = "cannot create " + path + ": " + LastCallErrorText();
            return std::nullopt;
        }
        const bool written = contents.empty() || std::fwrite(contents.data(), 1, contents.size(),
                                                             out) == contents.size();
        const std::string write_error = written ? std::string() : LastCallErrorText();
        const bool closed = std::fclose(out) == 0;
        if (written && closed) {
            return temporary;
        }
        error = "cannot write " + path + ": " + (written ? LastCallErrorText() : write_error);
        std::remove(temporary.c_str());
        return std::nullopt;
    }
    error = "cannot find a free name beside " + path;
    return std::nullopt;
}

}  // namespace ulvren
