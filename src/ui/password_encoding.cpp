#include "ui/password_encoding.h"

#include "protocol/vendor_protocol.h"
#include "text/text_ids.h"
#include "ui/portable_code_page.h"

namespace ulvren {

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
    const auto bytes = PortableCodePageBytes(utf8, PasswordCodePage(language));
    if (!bytes) {
        return PasswordRefusal::UnsupportedCharacter;
    }
    if (bytes->size() > kMaxPasswordLength) {
        return PasswordRefusal::TooLong;
    }
    return *bytes;
}

}  // namespace ulvren
