// The message locale as a POSIX platform reports it, and the language the catalogue's rules make
// of it.
#include "hosts/posix/message_locale.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "text/language_choice.h"

namespace ulvren {
namespace {

// LC_ALL, LC_MESSAGES and LANG; null means not set.
struct LocaleCase {
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    UiLanguage expected;
};

class LanguageFromLocaleEnvironmentTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LanguageFromLocaleEnvironmentTest, UsesTheFirstNonEmptyVariable) {
    const LocaleCase& c = GetParam();
    std::map<std::string, const char*> environment = {{"LC_ALL", c.lc_all},
                                                      {"LC_MESSAGES", c.lc_messages},
                                                      {"LANG", c.lang},
                                                      {"LANGUAGE", "zh_TW"},
                                                      {"LC_CTYPE", "zh_CN.UTF-8"}};
    const auto read = [&](const char* name) -> const char* {
        const auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second;
    };
    EXPECT_EQ(LanguageFromLocaleName(MessageLocaleName(read)), c.expected);
}

constexpr auto kEnglish = UiLanguage::EnglishUnitedStates;
constexpr auto kSimplified = UiLanguage::ChineseSimplified;
constexpr auto kTraditional = UiLanguage::ChineseTraditional;

INSTANTIATE_TEST_SUITE_P(Environments, LanguageFromLocaleEnvironmentTest,
                         ::testing::Values(
                             // Which variable decides.
                             LocaleCase{"zh_TW", "zh_CN", "C", kTraditional},
                             LocaleCase{nullptr, "zh_CN", "zh_TW", kSimplified},
                             LocaleCase{"", "", "zh_TW.UTF-8", kTraditional},
                             LocaleCase{"", "zh_CN.UTF-8", "", kSimplified},
                             LocaleCase{"C", "zh_CN", "zh_CN", kEnglish},
                             LocaleCase{nullptr, nullptr, nullptr, kEnglish},
                             LocaleCase{"", "", "", kEnglish},
                             // Encoding and modifier suffixes.
                             LocaleCase{nullptr, nullptr, "zh_CN.GB18030", kSimplified},
                             LocaleCase{nullptr, nullptr, "zh_TW@euro", kTraditional},
                             LocaleCase{nullptr, nullptr, "zh_CN.UTF-8@pinyin", kSimplified},
                             // Everything else is English.
                             LocaleCase{nullptr, nullptr, "zh_HK.UTF-8", kEnglish},
                             LocaleCase{nullptr, nullptr, "zh_SG", kEnglish},
                             LocaleCase{nullptr, nullptr, "zh_TWN", kEnglish},
                             LocaleCase{nullptr, nullptr, "ja_JP.UTF-8", kEnglish},
                             LocaleCase{nullptr, nullptr, "POSIX", kEnglish}));

}  // namespace
}  // namespace ulvren
