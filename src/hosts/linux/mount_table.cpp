#include "hosts/linux/mount_table.h"

#include <algorithm>
#include <optional>
#include <sstream>

namespace ulvren {
namespace {

bool IsOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// The kernel writes space, tab, newline and backslash in paths as a backslash and three octal
// digits.
std::string DecodeOctalEscapes(const std::string& field) {
    std::string decoded;
    decoded.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            decoded += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                         (field[i + 3] - '0'));
            i += 3;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}

// Line layout: id parent major:minor root mount-point options [optional fields...] - fstype
// source super-options.
std::optional<MountEntry> ParseLine(const std::string& line) {
    std::istringstream fields(line);
    std::string id, parent, device, root, mount_point, options;
    if (!(fields >> id >> parent >> device >> root >> mount_point >> options)) {
        return std::nullopt;
    }
    std::string field;
    while (fields >> field && field != "-") {
    }
    std::string fs_type, source;
    if (field != "-" || !(fields >> fs_type >> source)) {
        return std::nullopt;
    }
    const auto number = ParseDeviceNumber(device);
    if (!number) {
        return std::nullopt;
    }
    return MountEntry{*number, DecodeOctalEscapes(mount_point), DecodeOctalEscapes(source),
                      DecodeOctalEscapes(fs_type)};
}

template <typename T>
bool Contains(const std::vector<T>& values, const T& value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::istream& text) {
    std::vector<MountEntry> mounts;
    std::string line;
    while (std::getline(text, line)) {
        if (auto entry = ParseLine(line)) {
            mounts.push_back(std::move(*entry));
        }
    }
    return mounts;
}

std::vector<std::string> MountPointsToRelease(const std::vector<MountEntry>& mounts,
                                              const std::vector<DeviceNumber>& devices,
                                              const std::vector<std::string>& device_nodes) {
    std::vector<std::string> mount_points;
    // mountinfo lists mounts in the order they were made.
    for (auto it = mounts.rbegin(); it != mounts.rend(); ++it) {
        const bool fuse = it->type == "fuse" || it->type.starts_with("fuse.");
        if (!fuse && (Contains(devices, it->device) || Contains(device_nodes, it->source))) {
            mount_points.push_back(it->mount_point);
        }
    }
    return mount_points;
}

}  // namespace ulvren
