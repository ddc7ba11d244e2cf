#include "text/language_choice.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ulvren {
namespace {

struct LcidCase {
    std::uint32_t lcid;
    UiLanguage expected;
};

class LanguageFromLcidTest : public ::testing::TestWithParam<LcidCase> {};

TEST_P(LanguageFromLcidTest, ComparesTheWholeIdentifier) {
    EXPECT_EQ(LanguageFromLcid(GetParam().lcid), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lcids, LanguageFromLcidTest,
    ::testing::Values(LcidCase{1028, UiLanguage::ChineseTraditional},      // Taiwan
                      LcidCase{2052, UiLanguage::ChineseSimplified},       // PRC
                      LcidCase{1033, UiLanguage::EnglishUnitedStates},     // United States
                      LcidCase{3076, UiLanguage::EnglishUnitedStates},     // Hong Kong
                      LcidCase{4100, UiLanguage::EnglishUnitedStates},     // Singapore
                      LcidCase{1041, UiLanguage::EnglishUnitedStates},     // Japanese
                      LcidCase{0x20804, UiLanguage::EnglishUnitedStates},  // PRC, stroke sort
                      LcidCase{0x30404, UiLanguage::EnglishUnitedStates},  // Taiwan, Bopomofo
                      LcidCase{0, UiLanguage::EnglishUnitedStates}));

}  // namespace
}  // namespace ulvren
