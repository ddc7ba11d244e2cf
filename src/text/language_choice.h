#pragma once

#include <cstdint>
#include <string_view>

#include "text/ui_language.h"

namespace ulvren {

// Windows: the language for the system default locale identifier. Only the whole values 1028
// and 2052 select Chinese; every other locale, other Chinese ones and those with a non-default
// sort order included, gets English.
UiLanguage LanguageFromLcid(std::uint32_t lcid);

// POSIX systems: the language for a locale name such as "zh_TW.UTF-8" or "de_DE@euro". The
// encoding and modifier do not matter; "zh_TW" gives Traditional and "zh_CN" Simplified Chinese,
// anything else (the empty name of no locale included) English.
UiLanguage LanguageFromLocaleName(std::string_view locale_name);

}  // namespace ulvren
