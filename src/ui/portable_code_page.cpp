#include "ui/portable_code_page.h"

#include <array>
#include <utility>

#include "host/platform.h"
#include "text/utf_conversion.h"

namespace ulvren {
namespace {

struct PinnedCharacter {
    char32_t character;
    const char* bytes;
};

// Code page 950 has these in the box-drawing row A2A4 to A2A7 and again at F9F9, F9E9, F9EB and
// F9EA; glibc encodes them in the first place, Windows in the second.
constexpr std::array<PinnedCharacter, 4> kPinnedIn950 = {{
    {U'\u2550', "\xF9\xF9"},
    {U'\u255E', "\xF9\xE9"},
    {U'\u2561', "\xF9\xEB"},
    {U'\u256A', "\xF9\xEA"},
}};

const char* PinnedBytes(char32_t c, unsigned code_page) {
    if (code_page != kCodePageTraditionalChinese) {
        return nullptr;
    }
    for (const PinnedCharacter& pinned : kPinnedIn950) {
        if (pinned.character == c) {
            return pinned.bytes;
        }
    }
    return nullptr;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

bool IsPortablePasswordCharacter(char32_t c) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    const bool private_use = (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
    const bool tag = c >= 0xE0000 && c <= 0xE007F;
    return !control && !private_use && !tag;
}

std::optional<std::string> PortableCodePageBytes(std::string_view utf8, unsigned code_page) {
    const auto utf16 = Utf8ToUtf16(utf8);
    if (!utf16) {
        return std::nullopt;
    }
    std::string bytes;
    std::u16string run;  // characters that the system's tables convert alike everywhere
    const auto convert_run = [&] {
        if (run.empty()) {
            return true;
        }
        const auto converted = platform::Utf8ToCodePage(Utf16ToUtf8(run), code_page);
        run.clear();
        if (!converted) {
            return false;
        }
        bytes += *converted;
        return true;
    };
    for (std::size_t i = 0; i < utf16->size(); ++i) {
        // The decoder pairs every surrogate, so a high one is always followed by a low one.
        const std::size_t units = IsHighSurrogate((*utf16)[i]) ? 2 : 1;
        const char32_t c = units == 2 ? 0x10000 + ((char32_t{(*utf16)[i]} - 0xD800) << 10) +
                                            (char32_t{(*utf16)[i + 1]} - 0xDC00)
                                      : char32_t{(*utf16)[i]};
        if (!IsPortablePasswordCharacter(c)) {
            return std::nullopt;
        }
        if (const char* pinned = PinnedBytes(c, code_page)) {
            if (!convert_run()) {
                return std::nullopt;
            }
            bytes += pinned;
        } else {
            run.append(*utf16, i, units);
        }
        i += units - 1;
    }
    if (!convert_run()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace ulvren
