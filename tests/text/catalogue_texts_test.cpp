#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include "text/string_table.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"

namespace ulvren {
namespace {

struct ExpectedText {
    TextId id;
    std::u16string_view english;
    std::u16string_view simplified;
    std::u16string_view traditional;
};

// The catalogue as the program must show it, in its three languages.
constexpr ExpectedText kExpectedTexts[] = {
    {1, u"OK", u"确认", u"確定"},
    {2, u"Cancel", u"取消", u"取消"},
    {3, u"Password", u"密码", u"密碼"},
    {4, u"Old password", u"旧密码", u"舊密碼"},
    {5, u"New password", u"新密码", u"新密碼"},
    {6, u"Confirm new password", u"确认新密码", u"確認新密碼"},
    {7, u"Enter password", u"输入密码", u"輸入密碼"},
    {8, u"Format", u"格式化", u"格式化"},
    {9, u"Login", u"登录", u"登入"},
    {10, u"Change password", u"更改密码", u"修改密碼"},
    {11, u"Manage Date/Time ", u"日期/时间管理", u"管理日期/時間"},
    {12, u"USE system Date/Time", u"使用系统日期/时间", u"使用系統日期/時間"},
    {13, u"Custom Date/Time", u"自定义日期/时间", u"自定義日期/時間"},
    {14, u"Set", u"设置", u"設定"},
    {15, u"Disk Capacity", u"磁盘容量", u"隨身碟容量"},
    {16, u"Show time stamp", u"录像/照相显示时间戳", u"顯示日期/時間"},
    {17, u"USB Disk Type", u"U盘类型", u"隨身碟類型"},
    {18, u"Public Disk", u"公开盘", u"公開碟"},
    {19, u"Password Disk", u"加密盘", u"密碼碟"},
    {20, u"Confirm password don't match new password!", u"确认新密码和新密码不一致!",
     u"輸入驗證密碼錯誤"},
    {21, u"Manage USB Disk", u"U盘管理", u"管理隨身碟"},
    {22, u"Format successfully!", u"格式化成功！", u"格式化成功!"},
    {23, u"Format failed!", u"格式化失败!", u"格式化失敗!"},
    {24, u"Incorrect old password!", u"不正确的旧密码!", u"舊密碼不正確!"},
    {25, u"Change password successfully!", u"更改密码成功!", u"密碼修改成功!"},
    {26, u"Change password failed!", u"更改密码失败!", u"密碼修改失敗!"},
    {27, u"Login successfully!", u"登录成功!", u"登入成功!"},
    {28, u"Login failed!", u"登录失败!", u"登入失敗!"},
    {29, u"Set Date/Time successfully!", u"设置日期/时间成功!", u"日期/時間設定成功!"},
    {30, u"Set Date/Time failed!", u"设置日期/时间失败!", u"日期/時間設定失敗!"},
    {31, u"Byte", u"字节", u"Byte"},
    {32, u"Unknown capacity", u"未知容量", u"未知容量"},
    {33, u"Device not found", u"未找到此设备", u"未偵測到設備"},
    {34, u"USB Disk Type", u"U盘类型", u"隨身碟類型"},
};

struct LanguageColumn {
    UiLanguage language;
    std::u16string_view ExpectedText::*column;
    const char* name;
};

constexpr LanguageColumn kLanguages[] = {
    {UiLanguage::EnglishUnitedStates, &ExpectedText::english, "English"},
    {UiLanguage::ChineseSimplified, &ExpectedText::simplified, "Simplified"},
    {UiLanguage::ChineseTraditional, &ExpectedText::traditional, "Traditional"},
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

class CatalogueTextTest
    : public ::testing::TestWithParam<std::tuple<ExpectedText, LanguageColumn>> {};

TEST_P(CatalogueTextTest, IsTheTableTextWithOneTerminatorAfterIt) {
    const auto& [text, language] = GetParam();
    const std::u16string_view expected = text.*language.column;

    const OwnedText copy(LoadLocalizedText(nullptr, text.id, language.language));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::u16string_view(copy.get(), expected.size()), expected);
    EXPECT_EQ(std::char_traits<char16_t>::length(copy.get()), expected.size())
        << "a 0 unit inside the text, or none after it";

    const std::uint8_t* entry = FindStringEntry(nullptr, text.id, language.language);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(EntryCount(entry), expected.size());
    EXPECT_EQ(LocalizedText(text.id, language.language), expected);
}

INSTANTIATE_TEST_SUITE_P(AllTexts, CatalogueTextTest,
                         ::testing::Combine(::testing::ValuesIn(kExpectedTexts),
                                            ::testing::ValuesIn(kLanguages)),
                         [](const auto& case_info) {
                             return "Text" + std::to_string(std::get<0>(case_info.param).id) + "_" +
                                    std::get<1>(case_info.param).name;
                         });

TEST(CatalogueTest, UndefinedIdsGiveAnAllocatedEmptyText) {
    for (const LanguageColumn& language : kLanguages) {
        for (TextId id = 0; id < 64; ++id) {
            if (id >= 1 && id <= 34) {
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
        const std::size_t length32 = (kExpectedTexts[31].*language.column).size();
        const std::size_t length33 = (kExpectedTexts[32].*language.column).size();
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
