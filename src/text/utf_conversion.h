#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ulvren {

// Strict UTF-8 to UTF-16. Characters above U+FFFF become surrogate pairs. Returns nothing for
// malformed input: a stray or missing continuation byte, an overlong form, an encoded surrogate,
// a value above U+10FFFF or a byte that never occurs in UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);

// UTF-16 to UTF-8, for toolkits and terminals that take UTF-8. Surrogate pairs become one
// four-byte character; a surrogate without its partner becomes U+FFFD, so that any text the
// catalogue hands out prints as something.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace ulvren
