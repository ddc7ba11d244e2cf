#pragma once

#include "text/ui_language.h"

namespace ulvren {

// The language of the user interface: the system default locale, compared whole.
UiLanguage SystemUiLanguage();

}  // namespace ulvren
