// What every front end sends: clock strings and password bytes.
#include <gtest/gtest.h>

#include <variant>

#include "ui/clock_string.h"
#include "ui/password_encoding.h"

namespace ulvren {
namespace {

TEST(ClockString, IsBuiltOnlyFromARealDateAndTime) {
    struct Case {
        LocalDateTime time;
        TimeStamp stamp;
        std::optional<std::string> clock;
    };
    const Case cases[] = {
        {{2011, 7, 27, 10, 49, 20}, TimeStamp::Show, "20110727104920Y"},
        {{2012, 3, 4, 5, 6, 7}, TimeStamp::Hide, "20120304050607N"},
        {{2000, 2, 29, 0, 0, 0}, TimeStamp::Show, "20000229000000Y"},      // leap year by 400
        {{2040, 12, 31, 23, 59, 59}, TimeStamp::Hide, "20401231235959N"},  // past 32-bit time
        {{1, 1, 1, 0, 0, 0}, TimeStamp::Hide, "00010101000000N"},
        {{1900, 2, 29, 0, 0, 0}, TimeStamp::Show, std::nullopt},  // not a leap year
        {{2013, 2, 29, 0, 0, 0}, TimeStamp::Show, std::nullopt},
        {{2012, 4, 31, 0, 0, 0}, TimeStamp::Show, std::nullopt},
        {{2012, 13, 1, 0, 0, 0}, TimeStamp::Show, std::nullopt},
        {{2012, 0, 1, 0, 0, 0}, TimeStamp::Show, std::nullopt},
        {{2012, 1, 1, 24, 0, 0}, TimeStamp::Show, std::nullopt},
        {{2012, 1, 1, 0, 60, 0}, TimeStamp::Show, std::nullopt},
        {{2012, 1, 1, 0, 0, -1}, TimeStamp::Show, std::nullopt},
        {{10000, 1, 1, 0, 0, 0}, TimeStamp::Show, std::nullopt},  // would need five digits
        {{0, 1, 1, 0, 0, 0}, TimeStamp::Show, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildClockString(c.time, c.stamp), c.clock)
            << c.time.year << '-' << c.time.month << '-' << c.time.day;
    }
}

TEST(ClockString, ParsesOnlyTheFullForm) {
    EXPECT_EQ(ParseDateTime("2012-03-04T05:06:07"), (LocalDateTime{2012, 3, 4, 5, 6, 7}));
    EXPECT_EQ(ParseDateTime("2012-03-04 05:06:07"), (LocalDateTime{2012, 3, 4, 5, 6, 7}));
    for (const char* bad :
         {"", "2012-03-04", "2012-03-04T05:06", "2012-03-04T05:06:07Z", "2012/03/04T05:06:07",
          "+012-03-04T05:06:07", "2012-0a-04T05:06:07", "2012-02-30T05:06:07"}) {
        EXPECT_FALSE(ParseDateTime(bad)) << bad;
    }
    EXPECT_EQ(FormatCurrentTimeText({2011, 7, 27, 10, 49, 20}), "2011-07-27 10:49:20");
}

TEST(PasswordEncoding, UsesTheCodePageOfTheLanguage) {
    struct Case {
        const char* utf8;
        UiLanguage language;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        {"", UiLanguage::EnglishUnitedStates, ""},
        {"secret", UiLanguage::EnglishUnitedStates, "secret"},
        {"caf\xc3\xa9", UiLanguage::EnglishUnitedStates, "caf\xe9"},
        {"\xe5\xaf\x86\xe7\xa0\x81", UiLanguage::ChineseSimplified, "\xc3\xdc\xc2\xeb"},   // 密码
        {"\xe5\xaf\x86\xe7\xa2\xbc", UiLanguage::ChineseTraditional, "\xb1\x4b\xbd\x58"},  // 密碼
        {"\xe5\xaf\x86\xe7\xa0\x81", UiLanguage::EnglishUnitedStates, std::nullopt},
        {"\xe7\xa0\x81", UiLanguage::ChineseTraditional, std::nullopt},     // 码 is not in Big5
        {"\xf0\x9f\x98\x80", UiLanguage::ChineseSimplified, std::nullopt},  // an emoji
        {"\xff\xfe", UiLanguage::EnglishUnitedStates, std::nullopt},        // not UTF-8
        {"123456789012", UiLanguage::EnglishUnitedStates, "123456789012"},
        {"1234567890123", UiLanguage::EnglishUnitedStates, std::nullopt},
        // Six characters of two bytes each fill the twelve; a seventh is one too many.
        {"\xe5\xaf\x86\xe7\xa0\x81\xe5\xaf\x86\xe7\xa0\x81\xe5\xaf\x86\xe7\xa0\x81",
         UiLanguage::ChineseSimplified, "\xc3\xdc\xc2\xeb\xc3\xdc\xc2\xeb\xc3\xdc\xc2\xeb"},
        {"\xe5\xaf\x86\xe7\xa0\x81\xe5\xaf\x86\xe7\xa0\x81\xe5\xaf\x86\xe7\xa0\x81\xe5\xaf\x86",
         UiLanguage::ChineseSimplified, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto result = EncodePassword(c.utf8, c.language);
        if (c.bytes) {
            ASSERT_TRUE(std::holds_alternative<std::string>(result)) << c.utf8;
            EXPECT_EQ(std::get<std::string>(result), *c.bytes) << c.utf8;
        } else {
            ASSERT_TRUE(std::holds_alternative<PasswordRefusal>(result)) << c.utf8;
        }
    }
}

}  // namespace
}  // namespace ulvren
