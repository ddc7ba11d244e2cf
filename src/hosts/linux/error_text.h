#pragma once

#include <string>
#include <string_view>

namespace ulvren {

// What the Linux host says when the kernel refuses a device open or a pass-through command for
// lack of rights: the way out for a user at the desk is the one-time authorisation, which gives
// the seated user the recorder's nodes.
inline constexpr std::string_view kPermissionDeniedText =
    "permission denied: run \"ulvren authorize\" once to let this computer's seated users use "
    "the recorder";

// "<what>: <the system's description of error>", e.g. "cannot open /dev/sdz: No such file or
// directory".
std::string ErrnoText(std::string_view what, int error);

// EACCES and EPERM: the user lacks the rights for the call.
bool IsAccessDenied(int error);

// As ErrnoText, except that EACCES and EPERM give kPermissionDeniedText.
std::string DeviceAccessErrorText(std::string_view what, int error);

}  // namespace ulvren
