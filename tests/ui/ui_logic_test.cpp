// What every front end shows and sends: status texts, clock strings, password bytes.
#include <gtest/gtest.h>

#include <variant>

#include "text/text_ids.h"
#include "ui/clock_string.h"
#include "ui/password_encoding.h"
#include "ui/status_reactions.h"

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

TEST(StatusReactions, ShowTheOutcomeOfEachButtonAndNothingForRefreshes) {
    using namespace std::chrono_literals;
    constexpr auto kBox = StatusDisplay::MessageBox;
    constexpr auto kField = StatusDisplay::CapacityField;
    constexpr auto kNothing = StatusDisplay::Nothing;
    struct Case {
        int status;
        StatusDisplay display;
        std::optional<TextId> text;
        std::chrono::milliseconds pause = 0ms;
        bool follows_index = false;
    };
    const Case cases[] = {
        {STATUS_OPEN_FAILED, kNothing, std::nullopt},
        {STATUS_DETECT_DONE, kNothing, std::nullopt},
        {STATUS_DEVICE_NOT_FOUND, kField, TEXT_DEVICE_NOT_FOUND},
        {STATUS_FORMAT_OK, kBox, TEXT_FORMAT_OK, 2000ms, true},
        {STATUS_FORMAT_FAILED, kBox, TEXT_FORMAT_FAILED},
        {STATUS_OLD_PASSWORD_WRONG, kBox, TEXT_OLD_PASSWORD_WRONG},
        {STATUS_PASSWORD_CHANGED, kBox, TEXT_PASSWORD_CHANGED},
        {STATUS_PASSWORD_CHANGE_FAILED, kBox, TEXT_PASSWORD_CHANGE_FAILED},
        {STATUS_LOGIN_OK, kBox, TEXT_LOGIN_OK, 2000ms},
        {STATUS_LOGIN_FAILED, kBox, TEXT_LOGIN_FAILED},
        {STATUS_CLOCK_SET, kBox, TEXT_CLOCK_SET},
        {STATUS_CLOCK_SET_FAILED, kBox, TEXT_CLOCK_SET_FAILED},
        {STATUS_DISK_TYPE_SET, kNothing, std::nullopt},
        {STATUS_DISK_TYPE_SET_FAILED, kNothing, std::nullopt},
        {STATUS_CAPACITY_OK, kNothing, std::nullopt},
        {STATUS_CAPACITY_UNKNOWN, kField, TEXT_UNKNOWN_CAPACITY},
        {STATUS_DISK_TYPE_OK, kNothing, std::nullopt},
        {STATUS_DISK_TYPE_UNKNOWN, kNothing, std::nullopt},
        {0, kNothing, std::nullopt},
        {19, kNothing, std::nullopt},
        {1000, kNothing, std::nullopt},
    };
    for (const Case& c : cases) {
        const StatusReaction& reaction = ReactionTo(c.status);
        EXPECT_EQ(reaction.display, c.display) << c.status;
        EXPECT_EQ(reaction.text, c.text) << c.status;
        EXPECT_EQ(reaction.pause, c.pause) << c.status;
        EXPECT_EQ(reaction.password_controls_follow_index, c.follows_index) << c.status;
        EXPECT_TRUE(reaction.refreshes) << c.status;
    }
}

}  // namespace
}  // namespace ulvren
