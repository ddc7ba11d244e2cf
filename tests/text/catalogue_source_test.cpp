#include "text/generator/catalogue_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/generator/generated_sources.h"
#include "text/generator/string_table_layout.h"

namespace ulvren {
namespace {

const std::string kHeader = "id\tname\t1033\t2052\n";

CatalogueSource ParseOrFail(const std::string& file_text) {
    std::string error;
    std::optional<CatalogueSource> source = ParseCatalogueSource(file_text, error);
    EXPECT_TRUE(source.has_value()) << error;
    return source.value_or(CatalogueSource{});
}

TEST(CatalogueSourceTest, ReadsTextsAsUtf16KeepingBlanks) {
    const CatalogueSource source = ParseOrFail("# comment\n\n" + kHeader +
                                               "1\tOK\tOK\t\xE7\xA1\xAE\xE8\xAE\xA4\r\n"
                                               "34\tDATE_TIME_2\tDate/Time \t\xF0\x9F\x98\x80\n");
    EXPECT_EQ(source.languages, (std::vector<std::uint16_t>{1033, 2052}));
    ASSERT_EQ(source.texts.size(), 2u);
    EXPECT_EQ(source.texts[0].id, 1u);
    EXPECT_EQ(source.texts[0].name, "OK");
    EXPECT_EQ(source.texts[0].by_language, (std::vector<std::u16string>{u"OK", u"\u786E\u8BA4"}));
    EXPECT_EQ(source.texts[1].id, 34u);
    EXPECT_EQ(source.texts[1].by_language,
              (std::vector<std::u16string>{u"Date/Time ", u"\U0001F600"}));
}

struct FaultyFileCase {
    const char* name;
    std::string file_text;
    std::string expected_error;
};

class FaultyCatalogueSourceTest : public ::testing::TestWithParam<FaultyFileCase> {};

TEST_P(FaultyCatalogueSourceTest, IsRefusedWithTheLineAndReason) {
    std::string error;
    EXPECT_EQ(ParseCatalogueSource(GetParam().file_text, error), std::nullopt);
    EXPECT_NE(error.find(GetParam().expected_error), std::string::npos) << error;
}

FaultyFileCase Line(const char* name, const std::string& line, const std::string& expected) {
    return {name, kHeader + "1\tFIRST\ta\tb\n" + line + "\n", "line 3: " + expected};
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyCatalogueSourceTest,
    ::testing::Values(
        FaultyFileCase{"NoHeader", "# only a comment\n", "no header line"},
        FaultyFileCase{"BadLanguage", "id\tname\t1033\tzh\n", "bad language identifier 'zh'"},
        Line("IdZero", "0\tX\ta\tb", "bad text id '0'"),
        Line("IdTooLarge", "65536\tX\ta\tb", "bad text id '65536'"),
        Line("IdWithPlus", "+2\tX\ta\tb", "bad text id '+2'"),
        Line("IdNotANumber", "two\tX\ta\tb", "bad text id 'two'"),
        Line("IdTwice", "1\tX\ta\tb", "text id 1 appears twice"),
        Line("NameLowerCase", "2\tformat_ok\ta\tb", "bad constant name 'format_ok'"),
        Line("NameTwice", "2\tFIRST\ta\tb", "constant name FIRST appears twice"),
        Line("TooFewFields", "2\tX\ta", "expected 4 tab-separated fields, found 3"),
        Line("MalformedUtf8", "2\tX\ta\t\xE7\xA1", "malformed UTF-8 in the 2052 text"),
        Line("EmptyText", "2\tX\t\tb", "the 1033 text is empty"),
        Line("TextTooLong", "2\tX\ta\t" + std::string(65536, 'b'),
             "the 2052 text is longer than 65535")),
    [](const auto& case_info) { return std::string(case_info.param.name); });

std::vector<std::uint8_t> Units(std::initializer_list<std::uint16_t> units) {
    std::vector<std::uint8_t> bytes;
    for (const std::uint16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

TEST(StringTableLayoutTest, BlocksHoldSixteenCountedEntriesPerLanguage) {
    const CatalogueSource source = ParseOrFail(kHeader +
                                               "15\tLAST\tOK\t\xE2\x82\xAC\n"
                                               "16\tNEXT\tA\t\xF0\x9F\x98\x80\n"
                                               "65535\tTOP\tZ\tz\n");
    const std::vector<LaidOutBlock> blocks = LayOutStringTable(source);
    ASSERT_EQ(blocks.size(), 6u);

    // Entries 0 to 14 absent, entry 15 "OK".
    std::vector<std::uint8_t> block1(15 * 2, 0);
    const std::vector<std::uint8_t> ok = Units({2, 'O', 'K'});
    block1.insert(block1.end(), ok.begin(), ok.end());
    EXPECT_EQ(blocks[0].number, 1);
    EXPECT_EQ(blocks[0].language, 1033);
    EXPECT_EQ(blocks[0].bytes, block1);

    // Entry 0 "A", entries 1 to 15 absent.
    std::vector<std::uint8_t> block2 = Units({1, 'A'});
    block2.resize(block2.size() + 15 * 2, 0);
    EXPECT_EQ(blocks[1].number, 2);
    EXPECT_EQ(blocks[1].bytes, block2);

    EXPECT_EQ(blocks[2].number, 4096);
    EXPECT_EQ(blocks[2].bytes.size(), 15 * 2 + 4u);

    // The other language: U+1F600 takes two units.
    EXPECT_EQ(blocks[4].language, 2052);
    EXPECT_EQ(std::vector<std::uint8_t>(blocks[4].bytes.begin(), blocks[4].bytes.begin() + 6),
              Units({2, 0xD83D, 0xDE00}));
}

TEST(ResourceScriptTest, EscapesQuotesAndBackslashes) {
    const std::string script =
        ResourceScript(ParseOrFail(kHeader + "7\tQUOTE\tsay \"hi\" \\ now\t\xE7\xA1\xAE\n"));
    EXPECT_NE(script.find("    7, \"say \"\"hi\"\" \\\\ now\"\n"), std::string::npos) << script;
    EXPECT_NE(script.find("    7, \"\xE7\xA1\xAE\"\n"), std::string::npos) << script;
}

}  // namespace
}  // namespace ulvren
