// Compiles the generated resource script with the Windows resource compiler of the MinGW-w64
// binutils and checks that the string tables it builds are byte for byte the compiled ones.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "text/string_table.h"

namespace ulvren {
namespace {

constexpr std::uint16_t kStringTableType = 6;

// (block number, language) to the block's bytes.
using BlockMap = std::map<std::tuple<std::uint16_t, std::uint16_t>, std::vector<std::uint8_t>>;

std::uint32_t ReadLittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | bytes.at(at + i);
    }
    return value;
}

// The string tables of a .res file. Each resource is a header (data size, header size, type,
// name, data version, memory flags, language, version, characteristics) then its data, both
// padded to four bytes; types and names here are numbers (0xFFFF and a 16-bit id).
BlockMap StringTablesOfResFile(const std::vector<std::uint8_t>& res) {
    BlockMap blocks;
    for (std::size_t at = 0; at + 8 <= res.size();) {
        const std::uint32_t data_size = ReadLittleEndian(res, at, 4);
        const std::uint32_t header_size = ReadLittleEndian(res, at + 4, 4);
        const bool numeric = ReadLittleEndian(res, at + 8, 2) == 0xFFFF &&
                             ReadLittleEndian(res, at + 12, 2) == 0xFFFF;
        if (numeric && ReadLittleEndian(res, at + 10, 2) == kStringTableType) {
            const auto number = static_cast<std::uint16_t>(ReadLittleEndian(res, at + 14, 2));
            const auto language = static_cast<std::uint16_t>(ReadLittleEndian(res, at + 22, 2));
            const auto data = res.begin() + static_cast<std::ptrdiff_t>(at + header_size);
            blocks[{number, language}].assign(data, data + data_size);
        }
        at += header_size + ((data_size + 3) & ~3u);
    }
    return blocks;
}

TEST(ResourceCompilerTest, BuildsTheCompiledStringTablesFromTheResourceScript) {
    const std::string res_path = ::testing::TempDir() + "ulvren_texts.res";
    const std::string command =
        std::string(ULVREN_WINDRES) +
        " --preprocessor=cpp -O res -i \"" ULVREN_TEXT_RESOURCE_SCRIPT "\" -o \"" + res_path + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0)
        << command << "\n(the resource compiler comes with binutils-mingw-w64-x86-64)";

    std::ifstream file(res_path, std::ios::binary);
    const std::vector<std::uint8_t> res{std::istreambuf_iterator<char>(file),
                                        std::istreambuf_iterator<char>()};
    BlockMap compiled;
    for (const StringBlock& block : CompiledStringTable().blocks) {
        compiled[{block.number, block.language}].assign(block.bytes.begin(), block.bytes.end());
    }
    // Blocks 1 to 3 and 5 to 7 in each of the three languages.
    ASSERT_EQ(compiled.size(), 18u);
    EXPECT_EQ(StringTablesOfResFile(res), compiled);
}

}  // namespace
}  // namespace ulvren
