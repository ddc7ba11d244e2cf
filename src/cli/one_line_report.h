#pragma once

#include <ostream>

#include "cli/cli_options.h"
#include "text/ui_language.h"

namespace ulvren::cli {

// "set-clock --one-line", as the set-clock service runs it: the command's outcome in one line,
// for the journal. On success, on standard output, the recorder's path and the time set; else, on
// standard error, the path and why not: what the command would have said, lines joined. The time
// named is the one sent. Returns the command's exit status.
int RunWithOneLineReport(CliOptions options, UiLanguage language, std::ostream& out,
                         std::ostream& err);

}  // namespace ulvren::cli
