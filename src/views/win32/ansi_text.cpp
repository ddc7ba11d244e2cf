#include "views/win32/ansi_text.h"

#include <windows.h>

#include "host/platform.h"
#include "text/utf_conversion.h"

namespace ulvren::views::win32 {

std::string Utf8ToAnsi(std::string_view utf8, bool& representable) {
    auto ansi = platform::Utf8ToCodePage(utf8, GetACP());
    representable = ansi.has_value();
    return ansi.value_or(std::string());
}

std::wstring CodePageToWide(std::string_view bytes, unsigned code_page) {
    if (bytes.empty()) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), length, wide.data(), size);
    return wide;
}

std::string AnsiToUtf8(std::string_view ansi) {
    return WideToUtf8(CodePageToWide(ansi, CP_ACP));
}

std::string WideToUtf8(std::wstring_view wide) {
    return Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

std::wstring Utf8ToWide(std::string_view utf8) {
    const auto utf16 = Utf8ToUtf16(utf8).value_or(std::u16string());
    return std::wstring(utf16.begin(), utf16.end());
}

}  // namespace ulvren::views::win32
