#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/messages.h"

namespace ulvren::cli {

// The two commands that change who may use the recorder, with their lines in the usage. They run
// on their own: no option goes with them and no recorder is looked for first.
struct AuthorizationCommand {
    std::string_view name;
    std::string_view summary;
};
inline constexpr AuthorizationCommand kAuthorizationCommands[] = {
    {"authorize", "let this computer's seated users use the recorder (Linux)"},
    {"deauthorize", "take that back for every recorder"},
};

// "ulvren authorize" lets this computer's seated users use the recorder that is plugged in (one
// administrator approval, through pkexec); "ulvren deauthorize" takes that back for every
// recorder. The exit status when `arguments` is exactly one of the two, else nothing.
std::optional<int> RunAuthorizationCommand(const std::vector<std::string>& arguments,
                                           const Messages& messages);

}  // namespace ulvren::cli
