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
    // The one option it may take, and what it adds; empty for none.
    std::string_view option = {};
    std::string_view option_summary = {};
};
inline constexpr AuthorizationCommand kAuthorizationCommands[] = {
    {"authorize", "let this computer's seated users use the recorder (Linux)", "--clock-on-plug",
     "and set its clock to this computer's time at every plug"},
    {"deauthorize", "take that back for every recorder"},
};

// "ulvren authorize" lets this computer's seated users use the recorder that is plugged in (one
// administrator approval, through pkexec), with "--clock-on-plug" also setting its clock at every
// plug; "ulvren deauthorize" takes both back for every recorder. The exit status when `arguments`
// is exactly one of these, else nothing.
std::optional<int> RunAuthorizationCommand(const std::vector<std::string>& arguments,
                                           const Messages& messages);

}  // namespace ulvren::cli
