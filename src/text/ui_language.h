#pragma once

#include <cstdint>

namespace ulvren {

// The languages of the user interface, as Windows language identifiers. The value is the
// language of the string-table lookup unchanged, so any other identifier may be passed to the
// lookup too; it finds no block and yields empty texts.
enum class UiLanguage : std::uint16_t {
    EnglishUnitedStates = 1033,
    ChineseSimplified = 2052,
    ChineseTraditional = 1028,
};

}  // namespace ulvren
