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

// Runs one command through the same workers as the window, on whatever host is installed, and
// returns the exit status. `device_path`, when given, receives the path the command used (empty
// when it found none).
int RunCommand(const CliOptions& options, UiLanguage language, std::ostream& out, std::ostream& err,
               std::string* device_path = nullptr);

}  // namespace ulvren::cli
