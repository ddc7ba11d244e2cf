// Passwords give the same bytes on every platform, or are refused on every platform. The same
// table runs against glibc's iconv on Linux and against the system's tables on Windows.
#include "ui/portable_code_page.h"

#include <gtest/gtest.h>

namespace ulvren {
namespace {

struct Case {
    const char* name;
    const char* utf8;
    unsigned code_page;
    std::optional<std::string> bytes;
};

class PortableCodePage : public ::testing::TestWithParam<Case> {};

TEST_P(PortableCodePage, GivesOneAnswerOnEveryPlatform) {
    EXPECT_EQ(PortableCodePageBytes(GetParam().utf8, GetParam().code_page), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, PortableCodePage,
    ::testing::Values(
        // Control characters, which Windows takes in part in 1252.
        Case{"Tab", "a\tb", 1252, std::nullopt}, Case{"Delete", "\x7f", 1252, std::nullopt},
        Case{"C1Control", "\xc2\x81", 1252, std::nullopt},
        Case{"LastC1Control", "\xc2\x9f", 936, std::nullopt},
        Case{"SpaceAndTilde", " ~", 1252, " ~"}, Case{"NoBreakSpace", "\xc2\xa0", 1252, "\xa0"},
        // Private-use characters, which Windows takes by the thousand in 936 and 950.
        Case{"PrivateUseFirst", "\xee\x80\x80", 936, std::nullopt},
        Case{"PrivateUseLast", "\xef\xa3\xbf", 950, std::nullopt},
        Case{"SupplementaryPrivateUse", "\xf3\xb0\x80\x80", 950, std::nullopt},
        // Tag characters, which glibc drops without a word.
        Case{"Tag", "a\xf3\xa0\x81\x81", 1252, std::nullopt},
        // The box-drawing characters that 950 holds twice take Windows' bytes everywhere.
        Case{"DoubleHorizontal", "\xe2\x95\x90", 950, "\xf9\xf9"},
        Case{"VerticalSingleAndRightDouble",
             "a\xe2\x95\x9e"
             "b",
             950,
             "a\xf9\xe9"
             "b"},
        Case{"VerticalSingleAndLeftDouble", "\xe2\x95\xa1", 950, "\xf9\xeb"},
        Case{"VerticalSingleAndHorizontalDouble", "\xe2\x95\xaa\xe5\xaf\x86", 950,
             "\xf9\xea\xb1\x4b"},
        Case{"DoubleHorizontalIn936", "\xe2\x95\x90", 936, "\xa8\x54"},
        Case{"Euro", "\xe2\x82\xac", 1252, "\x80"},
        Case{"EuroIn950", "\xe2\x82\xac", 950, "\xa3\xe1"}),
    [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace ulvren
