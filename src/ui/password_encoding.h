#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "text/ui_language.h"

namespace ulvren {

// The Windows ANSI code page of a language: the bytes in which the tool's passwords travel to
// the recorder on every platform, so that a password set on one opens the recorder on the other.
unsigned PasswordCodePage(UiLanguage language);

struct PasswordError {
    std::string message;
};

// The bytes of a password typed as UTF-8, in the code page of `language`. Refused, with a
// message for the user, when a character has no place in that code page or when the bytes are
// more than the recorder's twelve. Nothing is cut or replaced.
std::variant<std::string, PasswordError> EncodePassword(std::string_view utf8, UiLanguage language);

}  // namespace ulvren
