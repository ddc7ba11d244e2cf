#pragma once

#include <cstdint>
#include <span>

namespace ulvren {

// Where string-table blocks come from. On Windows a module is the executable's or a library's
// module handle and its blocks are resources; elsewhere a module is a StringTable (see below).
// The null module always stands for the program's own texts.
using ModuleHandle = const void*;

// One string-table block as Windows lays it out: sixteen entries back to back, each a 16-bit
// little-endian count followed by that many UTF-16 code units (little-endian, no terminator).
struct StringBlock {
    std::uint16_t number;    // id / 16 + 1
    std::uint16_t language;  // Windows language identifier
    std::span<const std::uint8_t> bytes;
};

// A set of blocks that stands in for a module's string-table resources.
struct StringTable {
    std::span<const StringBlock> blocks;
};

// The bytes of string-table block `number` in exactly `language` in `module`, or an empty span
// when the module has no such block. The null module is the program's own texts. Served from
// tables in memory (compiled_string_blocks.cpp) except where the platform has string-table
// resources of its own (Windows), whose CMake file then supplies the blocks in their place.
std::span<const std::uint8_t> FindStringBlock(ModuleHandle module, std::uint16_t number,
                                              std::uint16_t language);

// The table compiled into the program from the catalogue's data file.
const StringTable& CompiledStringTable();

// The module handle that makes the lookup read `table` (not on Windows, where modules are real).
inline ModuleHandle ModuleOf(const StringTable& table) {
    return &table;
}

}  // namespace ulvren
