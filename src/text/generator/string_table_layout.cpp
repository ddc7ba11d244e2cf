#include "text/generator/string_table_layout.h"

#include <map>
#include <string>

#include "protocol/byte_order.h"

namespace ulvren {
namespace {

constexpr std::uint32_t kEntriesPerBlock = 16;

void AppendLittleEndian16(std::uint16_t value, std::vector<std::uint8_t>& out) {
    std::uint8_t bytes[2];
    StoreLe16(bytes, 0, value);
    out.insert(out.end(), bytes, bytes + 2);
}

}  // namespace

std::vector<LaidOutBlock> LayOutStringTable(const CatalogueSource& source) {
    std::vector<LaidOutBlock> blocks;
    for (std::size_t column = 0; column < source.languages.size(); ++column) {
        // Block number, then entry index, to the text there.
        std::map<std::uint16_t, std::map<std::uint32_t, const std::u16string*>> entries;
        for (const CatalogueText& text : source.texts) {
            const auto number = static_cast<std::uint16_t>(text.id / kEntriesPerBlock + 1);
            entries[number][text.id % kEntriesPerBlock] = &text.by_language[column];
        }
        for (const auto& [number, texts] : entries) {
            LaidOutBlock block{number, source.languages[column], {}};
            for (std::uint32_t entry = 0; entry < kEntriesPerBlock; ++entry) {
                const auto found = texts.find(entry);
                if (found == texts.end()) {
                    AppendLittleEndian16(0, block.bytes);
                    continue;
                }
                const std::u16string& text = *found->second;
                AppendLittleEndian16(static_cast<std::uint16_t>(text.size()), block.bytes);
                for (const char16_t unit : text) {
                    AppendLittleEndian16(unit, block.bytes);
                }
            }
            blocks.push_back(std::move(block));
        }
    }
    return blocks;
}

}  // namespace ulvren
