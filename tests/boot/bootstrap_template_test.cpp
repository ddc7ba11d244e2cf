#include "format/bootstrap_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "format/bootstrap/bootstrap_code.h"

namespace ulvren {
namespace {

constexpr std::size_t kDataOffset = 0x170;  // boot-sector offset where the code area ends
constexpr std::size_t kSignatureOffset = 0x1FE;

// The template's bytes from boot-sector offset `offset`, `count` of them.
std::vector<std::uint8_t> TemplateBytes(std::size_t offset, std::size_t count) {
    const auto bytes = BootstrapTemplate();
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(offset - kBootstrapOffset);
    return {first, first + static_cast<std::ptrdiff_t>(count)};
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

struct DataField {
    const char* name;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
};

const std::vector<DataField>& DataFields() {
    static const std::vector<DataField> fields{
        {"loader name", 0x170, Bytes("NTLDR      ")},
        {"zero bytes after the name", 0x17B, std::vector<std::uint8_t>(49, 0)},
        {"media message", 0x1AC, Bytes("\r\nRemove disks or other media.\xFF")},
        {"disk error message", 0x1CB, Bytes("\r\nDisk error\xFF")},
        {"restart message", 0x1D8, Bytes("\r\nPress any key to restart\r\n")},
        {"zero bytes after the messages", 0x1F4, std::vector<std::uint8_t>(5, 0)},
        {"message offsets", 0x1F9, {0xAC, 0xCB, 0xD8}},
        {"zero bytes before the signature", 0x1FC, {0x00, 0x00}},
    };
    return fields;
}

TEST(BootstrapTemplate, DataPartHoldsEachFieldAtItsOffset) {
    std::size_t next = kDataOffset;  // the fields follow each other without a gap
    for (const DataField& field : DataFields()) {
        SCOPED_TRACE(field.name);
        EXPECT_EQ(field.offset, next);
        EXPECT_EQ(TemplateBytes(field.offset, field.bytes.size()), field.bytes);
        next = field.offset + field.bytes.size();
    }
    EXPECT_EQ(next, kSignatureOffset);
    EXPECT_EQ(kBootstrapOffset + kBootstrapSize, kSignatureOffset);
}

// The offset table's bytes plus the high byte 0x01 must land on each message's CR LF.
TEST(BootstrapTemplate, MessageOffsetsPointAtTheMessages) {
    for (const std::uint8_t low_byte : TemplateBytes(0x1F9, 3)) {
        const std::size_t message_offset = 0x100 + low_byte;
        EXPECT_EQ(TemplateBytes(message_offset, 2), Bytes("\r\n")) << std::hex << message_offset;
    }
}

TEST(BootstrapTemplate, CodeEndsBeforeTheDataAndZeroBytesPadTheRest) {
    const std::size_t code_size = BootstrapCodeSize();
    ASSERT_GT(code_size, 0u);
    ASSERT_LE(kBootstrapOffset + code_size, kDataOffset);
    const std::size_t code_end = kBootstrapOffset + code_size;
    EXPECT_EQ(TemplateBytes(code_end, kDataOffset - code_end),
              std::vector<std::uint8_t>(kDataOffset - code_end, 0));
}

}  // namespace
}  // namespace ulvren
