#include "text/generator/generated_sources.h"

#include <cstdio>

#include "protocol/byte_order.h"
#include "text/utf_conversion.h"

namespace ulvren {
namespace {

constexpr const char* kMadeByNotice =
    "// Made by ulvren_text_generator from the catalogue's data file (texts.tsv); edit that file,\n"
    "// not this one.\n";

constexpr std::size_t kBytesPerEntry = 2;

std::string Hex(unsigned value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, value);
    return buffer;
}

std::string BlockArrayName(const LaidOutBlock& block) {
    return "kBlock" + std::to_string(block.number) + "Language" + std::to_string(block.language);
}

// The block's bytes, one entry per line under a comment naming its text id.
std::string BlockArray(const LaidOutBlock& block) {
    std::string out = "constexpr std::uint8_t " + BlockArrayName(block) + "[] = {\n";
    std::size_t offset = 0;
    std::size_t text_id = (block.number - 1u) * 16u;
    for (; offset + kBytesPerEntry <= block.bytes.size(); ++text_id) {
        const std::size_t count = LoadLe16(block.bytes, offset);
        const std::size_t end = offset + kBytesPerEntry * (1 + count);
        out += "    // text " + std::to_string(text_id) + "\n   ";
        for (std::size_t byte = offset; byte < end && byte < block.bytes.size(); ++byte) {
            out += " " + Hex(block.bytes[byte], 2) + ",";
        }
        out += "\n";
        offset = end;
    }
    return out + "};\n\n";
}

// A string literal of the resource compiler: quotes are doubled and backslashes escaped.
std::string ResourceStringLiteral(const std::u16string& text) {
    std::string out = "\"";
    for (const char c : Utf16ToUtf8(text)) {
        if (c == '"') {
            out += "\"\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string CompiledTableSource(const std::vector<LaidOutBlock>& blocks) {
    std::string out = kMadeByNotice;
    out += "#include <cstdint>\n\n#include \"text/string_table.h\"\n\nnamespace ulvren {\n";
    out += "namespace {\n\n";
    for (const LaidOutBlock& block : blocks) {
        out += BlockArray(block);
    }
    if (!blocks.empty()) {
        out += "constexpr StringBlock kBlocks[] = {\n";
        for (const LaidOutBlock& block : blocks) {
            out += "    {" + std::to_string(block.number) + ", " + std::to_string(block.language) +
                   ", " + BlockArrayName(block) + "},\n";
        }
        out += "};\n\n";
    }
    out += "}  // namespace\n\nconst StringTable& CompiledStringTable() {\n";
    out += blocks.empty() ? "    static constexpr StringTable kTable{};\n"
                          : "    static constexpr StringTable kTable{kBlocks};\n";
    out += "    return kTable;\n}\n\n}  // namespace ulvren\n";
    return out;
}

std::string TextIdsHeader(const CatalogueSource& source) {
    std::string out = "#pragma once\n\n";
    out += kMadeByNotice;
    out += "\n#include \"text/text_id.h\"\n\nnamespace ulvren {\n\n";
    for (const CatalogueText& text : source.texts) {
        out +=
            "inline constexpr TextId TEXT_" + text.name + " = " + std::to_string(text.id) + ";\n";
    }
    return out + "\n}  // namespace ulvren\n";
}

std::string ResourceScript(const CatalogueSource& source) {
    std::string out = kMadeByNotice;
    out += "\n#pragma code_page(65001)\n";
    for (std::size_t column = 0; column < source.languages.size(); ++column) {
        // A language identifier is the primary language in its low ten bits and the
        // sublanguage above them.
        const unsigned language = source.languages[column];
        out += "\nLANGUAGE " + Hex(language & 0x3FF, 2) + ", " + Hex(language >> 10, 2) + "\n";
        out += "STRINGTABLE\nBEGIN\n";
        for (const CatalogueText& text : source.texts) {
            out += "    " + std::to_string(text.id) + ", " +
                   ResourceStringLiteral(text.by_language[column]) + "\n";
        }
        out += "END\n";
    }
    return out;
}

}  // namespace ulvren
