#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ulvren {

// Windows ANSI code pages in which passwords travel to the recorder. The tool uses the code page
// of its language on every platform, so a password set on one platform opens the recorder on the
// other.
inline constexpr unsigned kCodePageWesternEuropean = 1252;
inline constexpr unsigned kCodePageSimplifiedChinese = 936;
inline constexpr unsigned kCodePageTraditionalChinese = 950;

// Converts UTF-8 text into the bytes of `code_page`. Empty when the text is not valid UTF-8 or
// holds a character that the code page cannot represent (nothing is dropped or replaced).
// Implemented by each platform's host.
std::optional<std::string> Utf8ToCodePage(std::string_view utf8, unsigned code_page);

}  // namespace ulvren
