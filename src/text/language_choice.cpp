#include "text/language_choice.h"

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

}  // namespace ulvren
