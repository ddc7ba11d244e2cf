#include "text/utf_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace ulvren {
namespace {

struct ConversionCase {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

class WellFormedUtf8Test : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(WellFormedUtf8Test, ConvertsBothWays) {
    EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
    EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, WellFormedUtf8Test,
    ::testing::Values(
        ConversionCase{"Empty", "", u""},
        ConversionCase{"Ascii", "Set Date/Time ", u"Set Date/Time "},
        ConversionCase{"NulIsKept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        ConversionCase{"TwoBytes", "\xC2\x80\xDF\xBF", u"\u0080\u07FF"},
        ConversionCase{"ThreeBytes", "\xE0\xA0\x80\xE7\xA1\xAE", u"\u0800\u786E"},
        ConversionCase{"FullWidthExclamation", "\xEF\xBC\x81", u"\uFF01"},
        ConversionCase{"EdgesOfTheSurrogateGap", "\xED\x9F\xBF\xEE\x80\x80", u"\uD7FF\uE000"},
        ConversionCase{"LastOfBmp", "\xEF\xBF\xBF", u"\uFFFF"},
        ConversionCase{"FirstAboveBmp", "\xF0\x90\x80\x80", u"\U00010000"},
        ConversionCase{"Emoji", "\xF0\x9F\x98\x80", u"\U0001F600"},
        ConversionCase{"LastCodePoint", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

struct MalformedCase {
    const char* name;
    std::string utf8;
};

class MalformedUtf8Test : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedUtf8Test, IsRefused) {
    EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Sequences, MalformedUtf8Test,
                         ::testing::Values(MalformedCase{"LoneContinuation", "A\x80"},
                                           MalformedCase{"TruncatedTwoBytes", "\xC3"},
                                           MalformedCase{"TruncatedFourBytes", "\xF0\x9F\x98"},
                                           MalformedCase{"ContinuationReplacedByAscii",
                                                         "\xE7\x41\xAE"},
                                           MalformedCase{"OverlongNul", "\xC0\x80"},
                                           MalformedCase{"OverlongThreeBytes", "\xE0\x9F\xBF"},
                                           MalformedCase{"OverlongFourBytes", "\xF0\x8F\xBF\xBF"},
                                           MalformedCase{"EncodedHighSurrogate", "\xED\xA0\x80"},
                                           MalformedCase{"EncodedLowSurrogate", "\xED\xBF\xBF"},
                                           MalformedCase{"AboveLastCodePoint", "\xF4\x90\x80\x80"},
                                           MalformedCase{"FiveByteForm", "\xF8\x88\x80\x80\x80"},
                                           MalformedCase{"ByteFF", "ok\xFF"}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

TEST(Utf16ToUtf8Test, UnpairedSurrogatesBecomeReplacementCharacters) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t{0xD83D}}), replacement);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t{0xDE00}, u'A'}), replacement + "A");
    EXPECT_EQ(
        Utf16ToUtf8(std::u16string{char16_t{0xD83D}, u'A', char16_t{0xD83D}, char16_t{0xDE00}}),
        replacement + "A\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t{0xDE00}, char16_t{0xD83D}}),
              replacement + replacement);
}

}  // namespace
}  // namespace ulvren
