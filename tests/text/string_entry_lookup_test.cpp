#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/text_catalogue.h"

namespace ulvren {
namespace {

constexpr std::uint16_t kLanguage = 1033;
constexpr auto kUiLanguage = static_cast<UiLanguage>(kLanguage);

void AppendUnit(std::uint16_t unit, std::vector<std::uint8_t>& bytes) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
}

// A block of counted entries, as many as given (a well-formed block has sixteen).
std::vector<std::uint8_t> BlockOf(const std::vector<std::u16string>& entries) {
    std::vector<std::uint8_t> bytes;
    for (const std::u16string& entry : entries) {
        AppendUnit(static_cast<std::uint16_t>(entry.size()), bytes);
        for (const char16_t unit : entry) {
            AppendUnit(unit, bytes);
        }
    }
    return bytes;
}

struct FreeText {
    void operator()(char16_t* text) const { FreeLocalizedText(text); }
};

std::u16string Load(ModuleHandle module, TextId id) {
    const std::unique_ptr<char16_t, FreeText> copy(LoadLocalizedText(module, id, kUiLanguage));
    EXPECT_NE(copy, nullptr);
    return copy ? std::u16string(copy.get()) : u"(null)";
}

// A module whose block 1 holds texts of every length 0 to 15 (text n has n units), so that
// each lookup must step over entries of different sizes, the empty one included.
class SteppingTest : public ::testing::Test {
  protected:
    SteppingTest() {
        std::vector<std::u16string> entries;
        for (char16_t length = 0; length < 16; ++length) {
            entries.emplace_back(length, static_cast<char16_t>(u'a' + length));
        }
        bytes_ = BlockOf(entries);
        block_ = {1, kLanguage, bytes_};
        table_ = {{&block_, 1}};
    }

    ModuleHandle Module() const { return ModuleOf(table_); }

    std::vector<std::uint8_t> bytes_;
    StringBlock block_{};
    StringTable table_{};
};

TEST_F(SteppingTest, EachEntryIsReachedPastThoseBeforeIt) {
    std::size_t offset = 0;
    for (TextId id = 0; id < 16; ++id) {
        EXPECT_EQ(FindStringEntry(Module(), id, kUiLanguage), bytes_.data() + offset) << id;
        EXPECT_EQ(Load(Module(), id), std::u16string(id, static_cast<char16_t>(u'a' + id)));
        offset += 2 * (1 + id);
    }
}

TEST_F(SteppingTest, OnlyTheExactBlockAndLanguageAreUsed) {
    EXPECT_EQ(FindStringEntry(Module(), 16, kUiLanguage), nullptr);
    EXPECT_EQ(FindStringEntry(Module(), 1, UiLanguage::ChineseSimplified), nullptr);
    EXPECT_EQ(Load(Module(), 17), u"");
}

TEST(StringEntryLookupTest, UnitsAreReadLittleEndianAndCopiedUnchanged) {
    // U+4E2D and the surrogate pair of U+1F600: stored units, not characters, are copied.
    const std::u16string text = u"\u4E2D\U0001F600";
    const std::vector<std::uint8_t> bytes = BlockOf({u"", text});
    EXPECT_EQ(bytes[4], 0x2D);
    EXPECT_EQ(bytes[5], 0x4E);
    const StringBlock block{1, kLanguage, bytes};
    const StringTable table{{&block, 1}};
    EXPECT_EQ(Load(ModuleOf(table), 1), text);
}

// A block cut short is treated like one that could not be loaded: no entry, an empty text.
struct TruncatedBlockCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    TextId id;
};

class TruncatedBlockTest : public ::testing::TestWithParam<TruncatedBlockCase> {};

TEST_P(TruncatedBlockTest, GivesNoEntryAndAnEmptyText) {
    const StringBlock block{1, kLanguage, GetParam().bytes};
    const StringTable table{{&block, 1}};
    EXPECT_EQ(FindStringEntry(ModuleOf(table), GetParam().id, kUiLanguage), nullptr);
    EXPECT_EQ(Load(ModuleOf(table), GetParam().id), u"");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TruncatedBlockTest,
    ::testing::Values(
        TruncatedBlockCase{"TextLongerThanBlock", {0x03, 0x00, 0x41, 0x00, 0x42, 0x00}, 0},
        TruncatedBlockCase{"EarlierEntryRunsPastEnd", {0x00, 0x00, 0x09, 0x00, 0x41, 0x00}, 2},
        TruncatedBlockCase{"LastEntryMissing", BlockOf(std::vector<std::u16string>(15)), 15}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST(StringEntryLookupTest, EntriesBeforeATruncationStillWork) {
    const std::vector<std::uint8_t> bytes = {0x01, 0x00, 0x41, 0x00, 0x05, 0x00, 0x42, 0x00};
    const StringBlock block{1, kLanguage, bytes};
    const StringTable table{{&block, 1}};
    EXPECT_EQ(Load(ModuleOf(table), 0), u"A");
    EXPECT_EQ(FindStringEntry(ModuleOf(table), 1, kUiLanguage), nullptr);
}

}  // namespace
}  // namespace ulvren
