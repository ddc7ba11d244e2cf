#pragma once

#include <cstdint>
#include <span>

#include "text/string_table.h"

namespace ulvren {

// The bytes of string-table block `number` in exactly `language` among the resources of
// `module` (an HMODULE; null for the program's own executable): FindResourceExA, LoadResource,
// LockResource and SizeofResource. Empty when any of them fails. The bytes live as long as the
// module.
std::span<const std::uint8_t> FindResourceStringBlock(ModuleHandle module, std::uint16_t number,
                                                      std::uint16_t language);

}  // namespace ulvren
