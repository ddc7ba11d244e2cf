#pragma once

#include <ostream>
#include <string>

#include "cli/cli_options.h"
#include "text/ui_language.h"

namespace ulvren::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitDeviceSaidNo = 1;
inline constexpr int kExitUsage = 2;
// The tool itself could not do its part: an image, trace or state file that cannot be made, read
// or written.
inline constexpr int kExitCannotRun = 3;

// What a command used, for a report of it: the recorder's path (empty when none was found) and
// the clock string sent (set-clock).
struct CommandReport {
    std::string device_path;
    std::string clock_string;
};

// Runs one command through the same workers as the window, on whatever host is installed, and
// returns the exit status; `report`, when given, receives what it used.
int RunCommand(const CliOptions& options, UiLanguage language, std::ostream& out, std::ostream& err,
               CommandReport* report = nullptr);

}  // namespace ulvren::cli
