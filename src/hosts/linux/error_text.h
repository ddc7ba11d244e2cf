#pragma once

#include <string>
#include <string_view>

#include "hosts/posix/errno_text.h"

namespace ulvren {

// What the Linux host says when the kernel refuses a device open or a pass-through command for
// lack of privilege: vendor opcodes are not on the kernel's list of commands that any writer of
// the node may send.
inline constexpr std::string_view kPermissionDeniedText =
    "permission denied: vendor commands need root (CAP_SYS_RAWIO)";

// As ErrnoText, except that EACCES and EPERM give kPermissionDeniedText.
std::string DeviceAccessErrorText(std::string_view what, int error);

}  // namespace ulvren
