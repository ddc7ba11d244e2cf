#include "ui/password_encoding.h"

#include "host/platform.h"
#include "protocol/vendor_protocol.h"

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

std::variant<std::string, PasswordError> EncodePassword(std::string_view utf8,
                                                        UiLanguage language) {
    const unsigned code_page = PasswordCodePage(language);
    const auto bytes = platform::Utf8ToCodePage(utf8, code_page);
    if (!bytes) {
        return PasswordError{"the password holds a character that code page " +
                             std::to_string(code_page) + " cannot carry"};
    }
    if (bytes->size() > kMaxPasswordLength) {
        return PasswordError{"a password is at most " + std::to_string(kMaxPasswordLength) +
                             " bytes in code page " + std::to_string(code_page) +
                             "; this one has " + std::to_string(bytes->size())};
    }
    return *bytes;
}

}  // namespace ulvren
