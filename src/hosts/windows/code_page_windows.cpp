// Code-page conversion through the system's own tables.
#include <windows.h>

#include <climits>

#include "host/platform.h"
#include "text/utf_conversion.h"

namespace ulvren::platform {

std::optional<std::string> Utf8ToCodePage(std::string_view utf8, unsigned code_page) {
    // The UTF-8 is read by the same strict decoder on every platform, so that what counts as
    // malformed does not depend on the system.
    const auto utf16 = Utf8ToUtf16(utf8);
    if (!utf16 || utf16->size() > INT_MAX / 2) {
        return std::nullopt;
    }
    if (utf16->empty()) {
        return std::string();
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(utf16->data());
    const int wide_length = static_cast<int>(utf16->size());
    // No best fit: a character without its own place in the code page is refused, not swapped
    // for a look-alike. The used-default flag catches the rest.
    BOOL used_default = FALSE;
    const int size = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide, wide_length,
                                         nullptr, 0, nullptr, &used_default);
    if (size <= 0 || used_default) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    used_default = FALSE;
    if (WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide, wide_length, bytes.data(), size,
                            nullptr, &used_default) != size ||
        used_default) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace ulvren::platform
