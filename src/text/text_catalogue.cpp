#include "text/text_catalogue.h"

#include <memory>
#include <new>

#include "protocol/byte_order.h"
#include "text/string_table.h"
#include "text/utf_conversion.h"

namespace ulvren {
namespace {

constexpr std::size_t kUnitSize = 2;
constexpr unsigned kEntriesPerBlock = 16;

struct FreeText {
    void operator()(char16_t* text) const { FreeLocalizedText(text); }
};
using OwnedText = std::unique_ptr<char16_t, FreeText>;

}  // namespace

const std::uint8_t* FindStringEntry(ModuleHandle module, TextId id, UiLanguage language) {
    // The block number is a 16-bit resource name, so ids from 2^20 on wrap around.
    const auto block_number = static_cast<std::uint16_t>((id >> 4) + 1);
    const unsigned entry_index = id & (kEntriesPerBlock - 1);
    const std::span<const std::uint8_t> block =
        FindStringBlock(module, block_number, static_cast<std::uint16_t>(language));
    if (block.empty()) {
        return nullptr;
    }

    // Step over the entries before ours, each its count and then count units. A block that ends
    // early is treated like a block that could not be loaded.
    std::size_t offset = 0;
    for (unsigned entry = 0;; ++entry) {
        if (block.size() - offset < kUnitSize) {
            return nullptr;
        }
        const std::size_t length = kUnitSize * (1 + LoadLe16(block, offset));
        if (block.size() - offset < length) {
            return nullptr;
        }
        if (entry == entry_index) {
            return block.data() + offset;
        }
        offset += length;
    }
}

char16_t* LoadLocalizedText(ModuleHandle module, TextId id, UiLanguage language) {
    const std::uint8_t* entry = FindStringEntry(module, id, language);
    const std::size_t count = entry == nullptr ? 0 : LoadLe16(std::span(entry, kUnitSize), 0);
    auto* copy = new (std::nothrow) char16_t[count + 1];
    if (copy == nullptr) {
        return nullptr;
    }
    for (std::size_t unit = 0; unit < count; ++unit) {
        copy[unit] = static_cast<char16_t>(
            LoadLe16(std::span(entry + kUnitSize * (1 + unit), kUnitSize), 0));
    }
    copy[count] = u'\0';
    return copy;
}

void FreeLocalizedText(char16_t* text) {
    delete[] text;
}

std::u16string LocalizedText(TextId id, UiLanguage language) {
    const OwnedText text(LoadLocalizedText(nullptr, id, language));
    return text ? std::u16string(text.get()) : std::u16string();
}

std::optional<std::string> LoadLocalizedTextUtf8(TextId id, UiLanguage language) {
    const OwnedText text(LoadLocalizedText(nullptr, id, language));
    if (!text) {
        return std::nullopt;
    }
    return Utf16ToUtf8(text.get());
}

std::string LocalizedTextUtf8(TextId id, UiLanguage language) {
    return LoadLocalizedTextUtf8(id, language).value_or(std::string());
}

}  // namespace ulvren
