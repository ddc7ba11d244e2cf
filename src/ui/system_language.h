#pragma once

#include "text/ui_language.h"

namespace ulvren {

// The language of the user interface: the system's locale as the platform reports it, mapped by
// the catalogue's rules (Windows by its locale identifier, POSIX systems by the locale's name).
UiLanguage SystemUiLanguage();

}  // namespace ulvren
