#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "text/text_id.h"
#include "text/ui_language.h"

namespace ulvren {

// The Windows ANSI code page of a language: the bytes in which the tool's passwords travel to
// the recorder on every platform, so that a password set on one opens the recorder on the other.
unsigned PasswordCodePage(UiLanguage language);

// Why a password cannot go to the recorder.
enum class PasswordRefusal {
    UnsupportedCharacter,  // a character has no place in the code page
    TooLong,               // more bytes than the recorder's twelve
};

// The catalogue text that tells the user of a refusal.
TextId PasswordRefusalText(PasswordRefusal refusal);

// The bytes of a password typed as UTF-8, in the code page of `language`, or why it is refused.
// Nothing is cut or replaced.
std::variant<std::string, PasswordRefusal> EncodePassword(std::string_view utf8,
                                                          UiLanguage language);

}  // namespace ulvren
