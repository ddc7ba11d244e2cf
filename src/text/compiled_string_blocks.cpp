// The string-table blocks from tables in memory, for platforms without string-table resources.
#include "text/string_table.h"

namespace ulvren {

// The compiled table for the null module, otherwise the table that the handle points at.
std::span<const std::uint8_t> FindStringBlock(ModuleHandle module, std::uint16_t number,
                                              std::uint16_t language) {
    const StringTable& table =
        module == nullptr ? CompiledStringTable() : *static_cast<const StringTable*>(module);
    for (const StringBlock& block : table.blocks) {
        if (block.number == number && block.language == language) {
            return block.bytes;
        }
    }
    return {};
}

}  // namespace ulvren
