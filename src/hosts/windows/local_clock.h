#pragma once

#include "ui/clock_string.h"

namespace ulvren {

// The computer's local date and time, as Windows keeps it (GetLocalTime).
LocalDateTime SystemLocalTime();

}  // namespace ulvren
