#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ulvren {

// What one of the window programs is (on either toolkit), for its --help and --version.
struct ProgramDescription {
    std::string_view name;   // "ulvren-tool"
    std::string_view usage;  // the whole --help text
    std::string_view version;
};

// Answers -h/--help and -V/--version before the toolkit starts, so that both work without a
// display. The exit status when the program is to end now, else nothing.
std::optional<int> AnswerHelpOrVersion(const ProgramDescription& program, int argc,
                                       const char* const* argv, std::ostream& out);

// Checks the arguments left after the toolkit took its own: each must be one of `flags`, given
// once. When one is not, says what was wrong in one line and where help is in another, and
// returns the exit status for bad usage; else nothing.
std::optional<int> RefuseUnknownArguments(const ProgramDescription& program,
                                          const std::vector<std::string>& arguments,
                                          std::span<const std::string_view> flags,
                                          std::ostream& err);

}  // namespace ulvren
