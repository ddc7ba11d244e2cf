#pragma once

#include <cstdint>

namespace ulvren {

// An open volume as the host seam hands it out. The value is opaque to everything above the seam.
using DeviceHandle = std::intptr_t;

// No device is open: all bits set, the value that the Windows host's INVALID_HANDLE_VALUE has.
// Every device operation except the three volume controls tests for it and fails without I/O;
// closing it is a no-op.
inline constexpr DeviceHandle kInvalidDeviceHandle = -1;

}  // namespace ulvren
