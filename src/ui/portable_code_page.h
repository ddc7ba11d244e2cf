#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ulvren {

// The Windows ANSI code pages in which passwords travel to the recorder.
inline constexpr unsigned kCodePageWesternEuropean = 1252;
inline constexpr unsigned kCodePageSimplifiedChinese = 936;
inline constexpr unsigned kCodePageTraditionalChinese = 950;

// Whether a password may hold `c` on every platform. The code-page tables of the systems
// disagree on three kinds of character, so these are refused everywhere: control characters
// (Windows takes five of them in 1252 that glibc refuses), private-use characters (Windows takes
// thousands in 936 and 950) and the tag characters U+E0000 to U+E007F (glibc drops them without
// a trace).
bool IsPortablePasswordCharacter(char32_t c);

// The bytes of `utf8` in `code_page`, the same on every platform: empty when the text is not
// valid UTF-8, holds a character refused above, or one that the code page cannot carry. In 950
// the four box-drawing characters U+2550, U+255E, U+2561 and U+256A, which the tables put in two
// places each, always take the bytes that Windows gives them (F9F9, F9E9, F9EB, F9EA).
std::optional<std::string> PortableCodePageBytes(std::string_view utf8, unsigned code_page);

}  // namespace ulvren
