#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "text/string_table.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"

namespace ulvren {
namespace {

// The texts that the catalogue defines.
constexpr TextId kFirstText = 1;
constexpr TextId kLastText = 34;

struct LanguageColumn {
    UiLanguage language;
    const char* name;
};

constexpr LanguageColumn kLanguages[] = {
    {UiLanguage::EnglishUnitedStates, "English"},
    {UiLanguage::ChineseSimplified, "Simplified"},
    {UiLanguage::ChineseTraditional, "Traditional"},
};

struct FreeText {
    void operator()(char16_t* text) const { FreeLocalizedText(text); }
};
using OwnedText = std::unique_ptr<char16_t, FreeText>;

std::uint16_t EntryCount(const std::uint8_t* entry) {
    return static_cast<std::uint16_t>(entry[0] | (entry[1] << 8));
}

std::span<const std::uint8_t> CompiledBlock(std::uint16_t number, UiLanguage language) {
    return FindStringBlock(nullptr, number, static_cast<std::uint16_t>(language));
}

// Every defined text, in every language: a copy of its entry with one terminator after it, as
// long as the entry says, the same through every way of reading it.
TEST(CatalogueTest, EachTextIsItsEntryWithOneTerminatorAfterIt) {
    for (const LanguageColumn& language : kLanguages) {
        for (TextId id = kFirstText; id <= kLastText; ++id) {
            const std::uint8_t* entry = FindStringEntry(nullptr, id, language.language);
            ASSERT_NE(entry, nullptr) << language.name << " text " << id;
            const std::size_t length = EntryCount(entry);
            EXPECT_GT(length, 0u) << language.name << " text " << id;

            const OwnedText copy(LoadLocalizedText(nullptr, id, language.language));
            ASSERT_NE(copy, nullptr);
            EXPECT_EQ(std::char_traits<char16_t>::length(copy.get()), length)
                << language.name << " text " << id
                << ": a 0 unit inside the text, or none after it";
            const std::u16string_view text(copy.get(), length);
            EXPECT_EQ(std::memcmp(text.data(), entry + 2, 2 * length), 0)
                << language.name << " text " << id;
            EXPECT_EQ(LocalizedText(id, language.language), text)
                << language.name << " text " << id;
        }
    }
}

TEST(CatalogueTest, UndefinedIdsGiveAnAllocatedEmptyText) {
    for (const LanguageColumn& language : kLanguages) {
        for (TextId id = 0; id < 64; ++id) {
            if (id >= kFirstText && id <= kLastText) {
                continue;
            }
            const OwnedText copy(LoadLocalizedText(nullptr, id, language.language));
            ASSERT_NE(copy, nullptr) << language.name << " text " << id;
            EXPECT_EQ(copy.get()[0], u'\0') << language.name << " text " << id;
        }
    }
}

TEST(CatalogueTest, BlocksOneToThreeHoldEmptyEntriesAndBlockFourDoesNotExist) {
    for (const LanguageColumn& language : kLanguages) {
        for (TextId id : {0u, 35u, 40u, 47u}) {
            const std::uint8_t* entry = FindStringEntry(nullptr, id, language.language);
            ASSERT_NE(entry, nullptr) << language.name << " text " << id;
            EXPECT_EQ(EntryCount(entry), 0) << language.name << " text " << id;
        }
        for (TextId id : {48u, 55u, 63u}) {
            EXPECT_EQ(FindStringEntry(nullptr, id, language.language), nullptr)
                << language.name << " text " << id;
        }
        EXPECT_EQ(CompiledBlock(0, language.language).size(), 0u);
        EXPECT_EQ(CompiledBlock(4, language.language).size(), 0u);
    }
}

TEST(CatalogueTest, EntriesLieWhereTheBlockArithmeticPutsThem) {
    for (const LanguageColumn& language : kLanguages) {
        const auto block2 = CompiledBlock(2, language.language);
        const auto block3 = CompiledBlock(3, language.language);
        ASSERT_FALSE(block2.empty());
        ASSERT_FALSE(block3.empty());

        // The first text of a block is its first entry, with nothing stepped over.
        EXPECT_EQ(FindStringEntry(nullptr, 16, language.language), block2.data());
        EXPECT_EQ(FindStringEntry(nullptr, 32, language.language), block3.data());

        // Text 34 comes after the entries of texts 32 and 33.
        const std::size_t length32 = EntryCount(FindStringEntry(nullptr, 32, language.language));
        const std::size_t length33 = EntryCount(FindStringEntry(nullptr, 33, language.language));
        EXPECT_EQ(FindStringEntry(nullptr, 34, language.language),
                  block3.data() + 2 * (1 + length32) + 2 * (1 + length33));

        // Every block holds exactly sixteen entries.
        EXPECT_EQ(FindStringEntry(nullptr, 47, language.language) + 2,
                  block3.data() + block3.size());
    }
}

TEST(CatalogueTest, BlockNumberIsKeptToSixteenBits) {
    // (2^20 + 1) >> 4 is 2^16, plus 1 wraps to block 1: text 1 again.
    EXPECT_EQ(LocalizedText((1u << 20) + 1, UiLanguage::EnglishUnitedStates), u"OK");
    // 0xFFFFF falls in block 0x10000, which wraps to block 0, which does not exist.
    EXPECT_EQ(FindStringEntry(nullptr, 0xFFFFF, UiLanguage::EnglishUnitedStates), nullptr);
}

TEST(CatalogueTest, OtherLanguagesFindNoBlock) {
#ifdef _WIN32
    // Windows' resource lookup reads the neutral language 0 as "any", so only named languages.
    const std::initializer_list<std::uint16_t> languages = {1041, 2057, 3076, 4100};
#else
    const std::initializer_list<std::uint16_t> languages = {0, 1041, 2057, 3076, 4100};
#endif
    for (const std::uint16_t language : languages) {
        const auto as_ui_language = static_cast<UiLanguage>(language);
        EXPECT_EQ(FindStringEntry(nullptr, 1, as_ui_language), nullptr) << language;
        const OwnedText copy(LoadLocalizedText(nullptr, 1, as_ui_language));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy.get()[0], u'\0') << language;
    }
}

TEST(CatalogueTest, NamedIdsAndUtf8FormReachTheTexts) {
    EXPECT_EQ(LocalizedTextUtf8(TEXT_FORMAT_OK, UiLanguage::ChineseSimplified),
              "\xE6\xA0\xBC\xE5\xBC\x8F\xE5\x8C\x96\xE6\x88\x90\xE5\x8A\x9F\xEF\xBC\x81");
    EXPECT_EQ(LocalizedTextUtf8(TEXT_MANAGE_DATE_TIME, UiLanguage::EnglishUnitedStates),
              "Manage Date/Time ");
    EXPECT_EQ(TEXT_USB_DISK_TYPE_LABEL, 34u);
    EXPECT_EQ(TEXT_UNKNOWN_CAPACITY, 32u);
}

}  // namespace
}  // namespace ulvren
