#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "text/string_table.h"
#include "text/text_id.h"
#include "text/ui_language.h"

namespace ulvren {

// The counted entry of text `id` inside the string-table block of `language` in `module`: a
// pointer to its 16-bit little-endian count, followed by the text's code units. Null when the
// module has no such block, or when the block is too short to hold the entry. The pointer lives
// as long as the module.
const std::uint8_t* FindStringEntry(ModuleHandle module, TextId id, UiLanguage language);

// A new NUL-terminated UTF-16 copy of text `id` in exactly `language`; release it with
// FreeLocalizedText. A missing block or an empty entry gives an empty text, never null: null
// means only that the copy could not be allocated.
char16_t* LoadLocalizedText(ModuleHandle module, TextId id, UiLanguage language);

void FreeLocalizedText(char16_t* text);

// The program's own text `id` in `language`, as a string (empty when memory ran out).
std::u16string LocalizedText(TextId id, UiLanguage language);

// The same in UTF-8, for the windows: empty only when the copy could not be allocated (the
// caller then skips the text), while a missing text gives "".
std::optional<std::string> LoadLocalizedTextUtf8(TextId id, UiLanguage language);

// The same, in UTF-8, for toolkits and terminals that take UTF-8.
std::string LocalizedTextUtf8(TextId id, UiLanguage language);

}  // namespace ulvren
