#pragma once

#include <string>
#include <string_view>

namespace ulvren {

// What the Linux host says when the kernel refuses a device open or a pass-through command for
// lack of privilege: vendor opcodes are not on the kernel's list of commands that any writer of
// the node may send.
inline constexpr std::string_view kPermissionDeniedText =
    "permission denied: vendor commands need root (CAP_SYS_RAWIO)";

// "<what>: <the system's description of error>", e.g. "cannot open /dev/sdz: No such file or
// directory".
std::string ErrnoText(std::string_view what, int error);

// EACCES and EPERM: the user lacks the rights for the call.
bool IsAccessDenied(int error);

// As ErrnoText, except that EACCES and EPERM give kPermissionDeniedText.
std::string DeviceAccessErrorText(std::string_view what, int error);

}  // namespace ulvren
