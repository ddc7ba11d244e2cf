#include "hosts/windows/system_language.h"

#include <windows.h>

#include "text/language_choice.h"

namespace ulvren {

UiLanguage SystemUiLanguage() {
    return LanguageFromLcid(GetSystemDefaultLCID());
}

}  // namespace ulvren
