#pragma once

#include <string>

#include "host/host.h"
#include "text/ui_language.h"

namespace ulvren {

// What the window and the command line say when the device lock cannot be had at all: that the
// recorder was left alone for it, in the user's language, and on a line of its own the lock's
// reason (its file, and what is wrong with it or its folder).
std::string DeviceLockRefusalText(const HostError& reason, UiLanguage language);

}  // namespace ulvren
