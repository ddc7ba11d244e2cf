#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ulvren {

// "`what`: <the system's words for `error`> (error <number>)", for a person to read.
std::string SystemErrorText(std::string_view what, std::uint32_t error);

// Leaves that text in the calling thread's last host error and returns it; a lack of rights is
// told apart, since a person can do something about it.
std::string ReportSystemError(std::string_view what, std::uint32_t error);

}  // namespace ulvren
