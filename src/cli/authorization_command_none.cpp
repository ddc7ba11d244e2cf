#include "cli/authorization_command.h"

namespace ulvren::cli {

// Windows gives its administrators' tool the recorder as it is: there is nothing to authorize.
std::optional<int> RunAuthorizationCommand(const std::vector<std::string>&, std::ostream&) {
    return std::nullopt;
}

}  // namespace ulvren::cli
