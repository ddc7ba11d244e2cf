#include "cli/one_line_report.h"

#include <sstream>
#include <string>

#include "cli/commands.h"
#include "cli/messages.h"
#include "host/platform.h"
#include "text/text_ids.h"
#include "ui/clock_string.h"

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

}  // namespace

int RunWithOneLineReport(CliOptions options, UiLanguage language, std::ostream& out,
                         std::ostream& err) {
    if (!options.time) {
        options.time = platform::SystemClock().Now();
    }
    options.one_line = false;
    std::ostringstream said;
    std::string path;
    const int status = RunCommand(options, language, said, said, &path);
    if (path.empty()) {
        path = options.device_path.value_or("?");
    }
    if (status == kExitOk) {
        out << FillText(TEXT_CLI_CLOCK_SET_ON, language,
                        {path, FormatCurrentTimeText(*options.time)})
            << '\n';
    } else {
        err << FillText(TEXT_CLI_CLOCK_NOT_SET_ON, language, {path, JoinedLines(said.str())})
            << '\n';
    }
    return status;
}

}  // namespace ulvren::cli
