#pragma once

#include <string>
#include <vector>

#include "text/generator/catalogue_source.h"
#include "text/generator/string_table_layout.h"

namespace ulvren {

// C++ source that defines CompiledStringTable() over `blocks`, byte for byte.
std::string CompiledTableSource(const std::vector<LaidOutBlock>& blocks);

// A header with one TEXT_<name> constant per text.
std::string TextIdsHeader(const CatalogueSource& source);

// A Windows resource script fragment: one STRINGTABLE per language, in UTF-8 under
// "#pragma code_page(65001)", which the resource compiler turns into the same blocks.
std::string ResourceScript(const CatalogueSource& source);

}  // namespace ulvren
