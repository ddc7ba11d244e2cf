#include "recorder/recorder_settings.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "protocol/hex.h"
#include "protocol/scsi.h"
#include "recorder/file_beside.h"

namespace ulvren {
namespace {

std::optional<std::uint32_t> ParseNumber(const std::string& text) {
    std::uint32_t value = 0;
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (code != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string StateFilePathFor(const std::string& image_path) {
    return image_path + ".state";
}

std::string SerializeSettings(const RecorderSettings& settings) {
    std::ostringstream out;
    out << "disk_type=" << static_cast<unsigned>(settings.disk_type) << '\n'
        << "password_hex=" << HexBytes(settings.password) << '\n'
        << "clock=" << settings.clock << '\n'
        << "time_stamp=" << (settings.time_stamp ? 1 : 0) << '\n'
        << "logged_in=" << (settings.logged_in ? 1 : 0) << '\n'
        << "max_transfer_sectors=" << settings.max_transfer_sectors << '\n';
    return out.str();
}

std::optional<RecorderSettings> ParseSettings(const std::string& text, std::string& error) {
    RecorderSettings settings;
    std::istringstream in(text);
    std::string line;
    int line_number = 0;
    while (std::getline(in, line)) {
        ++line_number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            error = "line " + std::to_string(line_number) + ": expected key=value";
            return std::nullopt;
        }
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        bool valid = true;
        if (key == "disk_type") {
            const auto number = ParseNumber(value);
            valid = number && *number <= 255;
            if (valid)
                settings.disk_type = static_cast<std::uint8_t>(*number);
        } else if (key == "password_hex") {
            const auto bytes = BytesFromHex(value);
            valid = bytes.has_value();
            if (valid)
                settings.password = *bytes;
        } else if (key == "clock") {
            settings.clock = value;
        } else if (key == "time_stamp" || key == "logged_in") {
            valid = value == "0" || value == "1";
            (key == "time_stamp" ? settings.time_stamp : settings.logged_in) = value == "1";
        } else if (key == "max_transfer_sectors") {
            const auto number = ParseNumber(value);
            valid = number && *number >= 1 && *number <= kMaxWrite10Sectors;
            if (valid)
                settings.max_transfer_sectors = *number;
        }
        // Unknown keys are kept out of the way of older and newer versions alike.
        if (!valid) {
            error = "line " + std::to_string(line_number) + ": bad value for " + key;
            return std::nullopt;
        }
    }
    return settings;
}

std::optional<RecorderSettings> LoadSettingsFile(const std::string& path, std::string& error) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        error = "cannot read " + path + ": " + LastCallErrorText();
        return std::nullopt;
    }
    std::string text;
    char buffer[4096];
    for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;) {
        text.append(buffer, got);
    }
    // A read error (a directory at the path, a failing disk) must not pass for an empty file.
    const bool failed = std::ferror(in) != 0;
    const std::string read_error = failed ? LastCallErrorText() : std::string();
    std::fclose(in);
    if (failed) {
        error = "cannot read " + path + ": " + read_error;
        return std::nullopt;
    }
    std::string parse_error;
    auto settings = ParseSettings(text, parse_error);
    if (!settings) {
        error = path + ": " + parse_error;
    }
    return settings;
}

std::optional<RecorderSettings> LoadKeptSettings(const std::string& path, std::string& error) {
    std::error_code code;
    const bool kept = std::filesystem::exists(path, code);
    if (code) {
        error = "cannot read " + path + ": " + code.message();
        return std::nullopt;
    }
    return kept ? LoadSettingsFile(path, error) : RecorderSettings{};
}

bool SaveSettingsFile(const std::string& path, const RecorderSettings& settings,
                      std::string& error) {
    const auto temporary = WriteNewFileBeside(path, SerializeSettings(settings), error);
    if (!temporary) {
        return false;
    }
    std::error_code code;
    std::filesystem::rename(*temporary, path, code);
    if (code) {
        error = "cannot replace " + path + ": " + code.message();
        std::filesystem::remove(*temporary, code);
        return false;
    }
    return true;
}

}  // namespace ulvren
