#pragma once

#include <string>
#include <string_view>

namespace ulvren::views::win32 {

// The windows are narrow (-A): their texts are in the ANSI code page, the logic's in UTF-8.

// `utf8` in the ANSI code page; `representable` is false (and the result empty) when it holds a
// character that the code page has not.
std::string Utf8ToAnsi(std::string_view utf8, bool& representable);
// ANSI code-page text as UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
// Text in `code_page` as UTF-16, for the few places where a text must show whatever the ANSI
// code page (the list items, which the template carries in code page 936).
std::wstring CodePageToWide(std::string_view bytes, unsigned code_page);
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace ulvren::views::win32
