#include "ui/system_language.h"

#include "host/platform.h"
#include "text/language_choice.h"

namespace ulvren {

UiLanguage SystemUiLanguage() {
    const platform::SystemLocale locale = platform::CurrentSystemLocale();
    return locale.lcid ? LanguageFromLcid(*locale.lcid) : LanguageFromLocaleName(locale.name);
}

}  // namespace ulvren
