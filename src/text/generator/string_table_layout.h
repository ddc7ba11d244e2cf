#pragma once

#include <cstdint>
#include <vector>

#include "text/generator/catalogue_source.h"

namespace ulvren {

// A string-table block as the resource compiler would store it.
struct LaidOutBlock {
    std::uint16_t number = 0;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> bytes;
};

// Lays the catalogue out in string-table blocks: for each language (in header order) every block
// that holds at least one text, in ascending block order. Each block has sixteen entries, each a
// 16-bit little-endian count followed by that many little-endian UTF-16 units; absent texts are
// count 0.
std::vector<LaidOutBlock> LayOutStringTable(const CatalogueSource& source);

}  // namespace ulvren
