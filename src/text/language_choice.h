#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "text/ui_language.h"

namespace ulvren {

// Windows: the language for the system default locale identifier. Only the whole values 1028
// and 2052 select Chinese; every other locale, other Chinese ones and those with a non-default
// sort order included, gets English.
UiLanguage LanguageFromLcid(std::uint32_t lcid);

// Linux: the language for a POSIX locale name such as "zh_TW.UTF-8" or "de_DE@euro". The
// encoding and modifier do not matter; "zh_TW" gives Traditional and "zh_CN" Simplified Chinese,
// anything else English.
UiLanguage LanguageFromLocaleName(std::string_view locale_name);

// Reads an environment variable: its value, or null when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

// Linux: the language of the message locale, which is the first non-empty of LC_ALL,
// LC_MESSAGES and LANG (English when none is set).
UiLanguage LanguageFromLocaleEnvironment(const EnvironmentReader& read_environment);

// The same, read from the process environment.
UiLanguage LanguageFromLocaleEnvironment();

}  // namespace ulvren
