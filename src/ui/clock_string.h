#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/clock.h"

namespace ulvren {

enum class TimeStamp { Hide, Show };

// True for a date that exists (leap years included) with a time of day, in the years that four
// digits can carry (1 to 9999).
bool IsValidDateTime(const LocalDateTime& time);

// The 15-character clock command text: YYYYMMDDhhmmss, then "Y" to show a time stamp on
// recordings or "N" not to. Empty for a date and time that do not exist, so that no clock string
// is ever built from a time that cannot be broken down.
std::optional<std::string> BuildClockString(const LocalDateTime& time, TimeStamp stamp);

// Reads "YYYY-MM-DDTHH:MM:SS" (a space may stand for the T). Empty when the text is not of that
// form or names no real date and time.
std::optional<LocalDateTime> ParseDateTime(std::string_view text);

// The current-time text of the window: "YYYY-MM-DD hh:mm:ss".
std::string FormatCurrentTimeText(const LocalDateTime& time);

}  // namespace ulvren
