#pragma once

#include <string>
#include <string_view>

namespace ulvren::authorize {

// The helper's second argument after "authorize" that asks for the clock on plug-in.
inline constexpr std::string_view kClockOnPlugArgument = "--clock-on-plug";

// The template unit the rule asks systemd for, instantiated with the generic node's kernel name
// (ulvren-set-clock@sg2.service runs "ulvren --device /dev/sg2 set-clock").
inline constexpr std::string_view kSetClockUnitTemplate = "ulvren-set-clock@";

// What the recorder's matching line does besides its uaccess tag: with the clock on plug-in it
// goes on to SetClockRuleLines, else nothing more.
std::string SetClockJump(bool clock_on_plug);

// The lines the jump leads to, placed before the rule's end label: the generic node gets the
// "systemd" tag on every event (its device unit lives as long as the node and the rule, so the
// service that waits for the recorder ends when it goes), and on "add" alone the service, so
// that the authorisation's own change event sets nothing and each plug sets the clock once.
// Empty without the clock on plug-in.
std::string SetClockRuleLines(bool clock_on_plug);

}  // namespace ulvren::authorize
