// The version resource of each program, read back from its executable with the version calls:
// the fixed and the string versions are the project's, and it says what the program is.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Program {
    const char* path;
    std::u16string original_file_name;
};

const Program kPrograms[] = {
    {ULVREN_TOOL_EXE, u"UlvrenTool.exe"},
    {ULVREN_CLI_EXE, u"ulvren.exe"},
};

void PrintTo(const Program& program, std::ostream* out) {
    *out << program.path;
}

std::u16string StringValue(std::vector<char>& info, const std::u16string& name) {
    const std::u16string key = u"\\StringFileInfo\\040904B0\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), reinterpret_cast<const wchar_t*>(key.c_str()), &value,
                        &length) ||
        length == 0) {
        return {};
    }
    return std::u16string(static_cast<const char16_t*>(value), length - 1);
}

std::u16string Widen(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

class VersionResource : public ::testing::TestWithParam<Program> {};

TEST_P(VersionResource, CarriesTheProjectsVersion) {
    const Program& program = GetParam();
    const DWORD size = GetFileVersionInfoSizeA(program.path, nullptr);
    ASSERT_NE(size, 0u) << program.path << ": no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(program.path, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD major_minor = MAKELONG(ULVREN_VERSION_MINOR, ULVREN_VERSION_MAJOR);
    const DWORD patch = MAKELONG(0, ULVREN_VERSION_PATCH);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(std::tie(fixed->dwFileVersionMS, fixed->dwFileVersionLS),
              std::tie(major_minor, patch));
    EXPECT_EQ(std::tie(fixed->dwProductVersionMS, fixed->dwProductVersionLS),
              std::tie(major_minor, patch));

    EXPECT_EQ(StringValue(info, u"FileVersion"), Widen(ULVREN_VERSION));
    EXPECT_EQ(StringValue(info, u"ProductVersion"), Widen(ULVREN_VERSION));
    EXPECT_EQ(StringValue(info, u"ProductName"), u"Ulvren Tool");
    EXPECT_EQ(StringValue(info, u"OriginalFilename"), program.original_file_name);
    EXPECT_EQ(StringValue(info, u"LegalCopyright"), Widen(ULVREN_COPYRIGHT));
    EXPECT_NE(StringValue(info, u"FileDescription"), u"");
}

INSTANTIATE_TEST_SUITE_P(Programs, VersionResource, ::testing::ValuesIn(kPrograms),
                         [](const auto& test) {
                             std::string name;
                             for (const char16_t c : test.param.original_file_name) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) {
                                     name += static_cast<char>(c);
                                 }
                             }
                             return name;
                         });

}  // namespace
