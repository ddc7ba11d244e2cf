#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace ulvren::cli {

// "ulvren authorize" lets this computer's seated users use the recorder that is plugged in (one
// administrator approval, through pkexec); "ulvren deauthorize" takes that back for every
// recorder. The exit status when `arguments` is exactly one of the two, else nothing.
std::optional<int> RunAuthorizationCommand(const std::vector<std::string>& arguments,
                                           std::ostream& err);

}  // namespace ulvren::cli
