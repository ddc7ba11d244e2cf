#include "cli/one_line_report.h"

#include <sstream>
#include <string>

#include "cli/commands.h"
#include "cli/messages.h"
#include "text/text_ids.h"

namespace ulvren::cli {
namespace {

// The command's own lines as one: "ulvren: " dropped, joined with "; ".
std::string JoinedLines(const std::string& said) {
    constexpr std::string_view kPrefix = "ulvren: ";
    std::istringstream lines(said);
    std::string joined;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(kPrefix)) {
            line.erase(0, kPrefix.size());
        }
        if (!line.empty()) {
            joined += (joined.empty() ? "" : "; ") + line;
        }
    }
    return joined;
}

// "YYYYMMDDhhmmss" of a clock string as "YYYY-MM-DD hh:mm:ss".
std::string TimeOf(const std::string& clock) {
    return clock.substr(0, 4) + "-" + clock.substr(4, 2) + "-" + clock.substr(6, 2) + " " +
           clock.substr(8, 2) + ":" + clock.substr(10, 2) + ":" + clock.substr(12, 2);
}

}  // namespace

int RunWithOneLineReport(CliOptions options, UiLanguage language, std::ostream& out,
                         std::ostream& err) {
    options.one_line = false;
    std::ostringstream said;
    CommandReport report;
    const int status = RunCommand(options, language, said, said, &report);
    const std::string path =
        report.device_path.empty() ? options.device_path.value_or("?") : report.device_path;
    if (status == kExitOk) {
        out << FillText(TEXT_CLI_CLOCK_SET_ON, language, {path, TimeOf(report.clock_string)})
            << '\n';
    } else {
        err << FillText(TEXT_CLI_CLOCK_NOT_SET_ON, language, {path, JoinedLines(said.str())})
            << '\n';
    }
    return status;
}

}  // namespace ulvren::cli
