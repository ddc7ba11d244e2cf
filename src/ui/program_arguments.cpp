#include "ui/program_arguments.h"

#include <algorithm>

namespace ulvren {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

}  // namespace

std::optional<int> AnswerHelpOrVersion(const ProgramDescription& program, int argc,
                                       const char* const* argv, std::ostream& out) {
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "-h" || argument == "--help") {
            out << program.usage;
            return kExitOk;
        }
        if (argument == "-V" || argument == "--version") {
            out << program.name << ' ' << program.version << '\n';
            return kExitOk;
        }
    }
    return std::nullopt;
}

std::optional<int> RefuseUnknownArguments(const ProgramDescription& program,
                                          const std::vector<std::string>& arguments,
                                          std::span<const std::string_view> flags,
                                          std::ostream& err) {
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        std::string problem;
        if (std::find(flags.begin(), flags.end(), *it) == flags.end()) {
            problem = "unknown argument '" + *it + "'";
        } else if (std::find(arguments.begin(), it, *it) != it) {
            problem = "give " + *it + " once";
        } else {
            continue;
        }
        err << program.name << ": " << problem << '\n'
            << "Try '" << program.name << " --help' for more information.\n";
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace ulvren
