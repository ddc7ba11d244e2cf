#pragma once

#include <string>
#include <string_view>

namespace ulvren {

// "<what>: <the system's description of error>", e.g. "cannot open /dev/sdz: No such file or
// directory".
std::string ErrnoText(std::string_view what, int error);

// EACCES and EPERM: the user lacks the rights for the call.
bool IsAccessDenied(int error);

}  // namespace ulvren
