#include "text/language_choice.h"

#include <array>
#include <cstdlib>

namespace ulvren {
namespace {

constexpr std::uint32_t kLcidChineseTaiwan = 1028;
constexpr std::uint32_t kLcidChinesePrc = 2052;

}  // namespace

UiLanguage LanguageFromLcid(std::uint32_t lcid) {
    if (lcid == kLcidChineseTaiwan) {
        return UiLanguage::ChineseTraditional;
    }
    if (lcid == kLcidChinesePrc) {
        return UiLanguage::ChineseSimplified;
    }
    return UiLanguage::EnglishUnitedStates;
}

UiLanguage LanguageFromLocaleName(std::string_view locale_name) {
    // language[_territory][.codeset][@modifier]: only language and territory count.
    const std::string_view language_and_territory =
        locale_name.substr(0, locale_name.find_first_of(".@"));
    if (language_and_territory == "zh_TW") {
        return UiLanguage::ChineseTraditional;
    }
    if (language_and_territory == "zh_CN") {
        return UiLanguage::ChineseSimplified;
    }
    return UiLanguage::EnglishUnitedStates;
}

UiLanguage LanguageFromLocaleEnvironment(const EnvironmentReader& read_environment) {
    // The order in which the C library decides the LC_MESSAGES category.
    constexpr std::array<const char*, 3> kVariables = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (const char* variable : kVariables) {
        const char* value = read_environment(variable);
        if (value != nullptr && *value != '\0') {
            return LanguageFromLocaleName(value);
        }
    }
    return UiLanguage::EnglishUnitedStates;
}

UiLanguage LanguageFromLocaleEnvironment() {
    return LanguageFromLocaleEnvironment([](const char* name) { return std::getenv(name); });
}

}  // namespace ulvren
