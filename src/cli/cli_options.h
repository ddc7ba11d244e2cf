#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/clock_string.h"

namespace ulvren::cli {

enum class Command { Detect, Format, SetClock, Login, ChangePassword };

struct CliOptions {
    Command command = Command::Detect;
    std::optional<std::string> simulate_image;
    // --simulate given again: one more recorder each, at the next drive letters (F:, G:, ...).
    std::vector<std::string> further_images;
    std::optional<std::uint64_t> size_sectors;
    std::optional<std::uint32_t> max_transfer_sectors;
    std::optional<std::string> device_path;
    // Run the command on every recorder found, one after another.
    bool all = false;
    std::optional<std::string> trace_path;
    // format
    std::optional<std::string> disk_type;  // "public" or "password"
    // set-clock: the host's time when empty
    std::optional<LocalDateTime> time;
    TimeStamp stamp = TimeStamp::Show;
    // set-clock: its outcome in one line, for the journal (one_line_report.h)
    bool one_line = false;
    // login, change-password: one password per line on standard input instead of the terminal
    bool password_stdin = false;
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
