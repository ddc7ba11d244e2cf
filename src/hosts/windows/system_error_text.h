#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ulvren {

// "`what`: <the system's words for `error`> (error <number>)", for a person to read.
std::string SystemErrorText(std::string_view what, std::uint32_t error);

}  // namespace ulvren
