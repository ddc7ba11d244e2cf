#pragma once

#include <string>

#include "recorder/device_faults.h"

namespace ulvren::kernel_test {

// Carries out one line of the responder's control channel on `faults` and says how it went ("ok" or
// "error: ..."). The lines:
//   clear                         no faults from now on
//   vendor FAULT [OPCODE]         FAULT is no-reply, refused, wrong-echo, wrong-signature or
//                                 missing-yes; OPCODE in hex (f6); without it, every vendor command
//   fail-writes-from K            the K-th WRITE(10) from now and every later one: MEDIUM ERROR
//   unplug-at-write K             the device leaves the bus during the K-th WRITE(10) from now
std::string ApplyControlLine(DeviceFaults& faults, const std::string& line);

}  // namespace ulvren::kernel_test
