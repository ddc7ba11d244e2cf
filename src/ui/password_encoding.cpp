#include "ui/password_encoding.h"

#include "host/platform.h"
#include "protocol/vendor_protocol.h"
#include "text/text_ids.h"

namespace ulvren {
namespace {

// The Windows ANSI code pages in which passwords travel to the recorder.
constexpr unsigned kCodePageWesternEuropean = 1252;
constexpr unsigned kCodePageSimplifiedChinese = 936;
constexpr unsigned kCodePageTraditionalChinese = 950;

}  // namespace

unsigned PasswordCodePage(UiLanguage language) {
    switch (language) {
        case UiLanguage::ChineseSimplified:
            return kCodePageSimplifiedChinese;
        case UiLanguage::ChineseTraditional:
            return kCodePageTraditionalChinese;
        default:
            return kCodePageWesternEuropean;
    }
}

TextId PasswordRefusalText(PasswordRefusal refusal) {
    return refusal == PasswordRefusal::TooLong ? TEXT_PASSWORD_TOO_LONG
                                               : TEXT_PASSWORD_CHARACTER_REFUSED;
}

std::variant<std::string, PasswordRefusal> EncodePassword(std::string_view utf8,
                                                          UiLanguage language) {
    const auto bytes = platform::Utf8ToCodePage(utf8, PasswordCodePage(language));
    if (!bytes) {
        return PasswordRefusal::UnsupportedCharacter;
    }
    if (bytes->size() > kMaxPasswordLength) {
        return PasswordRefusal::TooLong;
    }
    return *bytes;
}

}  // namespace ulvren
