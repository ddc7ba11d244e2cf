#pragma once

#include <string>
#include <string_view>

#include "hosts/posix/errno_text.h"

namespace ulvren {

// What the Linux host says when the kernel refuses a device open or a pass-through command for
// lack of rights: the way out for a user at the desk is the one-time authorisation, which gives
// the seated user the recorder's nodes.
inline constexpr std::string_view kPermissionDeniedText =
    "permission denied: run \"ulvren authorize\" once to let this computer's seated users use "
    "the recorder";

// As ErrnoText, except that EACCES and EPERM give kPermissionDeniedText.
std::string DeviceAccessErrorText(std::string_view what, int error);

}  // namespace ulvren
