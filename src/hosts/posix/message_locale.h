#pragma once

#include <functional>
#include <string>

namespace ulvren {

// Reads an environment variable: its value, or null when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

// The name of the message locale, decided as the C library decides LC_MESSAGES: the first
// non-empty of LC_ALL, LC_MESSAGES and LANG; empty when none is set.
std::string MessageLocaleName(const EnvironmentReader& read_environment);

}  // namespace ulvren
