#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ulvren::cli {

struct CliOptions {
    std::string command;  // detect, format
    std::optional<std::string> simulate_image;
    std::optional<std::uint64_t> size_sectors;
    std::optional<std::uint32_t> max_transfer_sectors;
    std::optional<std::string> device_path;
    std::optional<std::string> trace_path;
    std::optional<std::string> disk_type;  // format: public or password
    bool help = false;
    bool version = false;
};

struct ParseResult {
    std::optional<CliOptions> options;
    std::string error;  // set when options is empty
};

ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace ulvren::cli
