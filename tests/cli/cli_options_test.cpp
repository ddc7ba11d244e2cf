#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <set>

#include "cli/command_table.h"

namespace ulvren::cli {
namespace {

std::vector<std::string> Words(std::initializer_list<const char*> words) {
    return {words.begin(), words.end()};
}

struct RefusedLine {
    std::vector<std::string> words;
    const char* reason;
};

TEST(CommandLine, RefusesWhatCannotWorkAndSaysWhy) {
    const RefusedLine cases[] = {
        {Words({}), "no command given"},
        {Words({"detect", "format"}), "unknown argument 'format'"},
        {Words({"format"}), "format needs --type"},
        {Words({"detect", "--type", "public"}), "--type goes with format"},
        {Words({"format", "--type", "secret"}), "public or password"},
        {Words({"--size", "100", "detect"}), "go with --simulate"},
        {Words({"--simulate", "a.img", "--max-transfer", "0", "detect"}), "1 to 65535"},
        {Words({"--simulate", "a.img", "--max-transfer", "65536", "detect"}), "1 to 65535"},
        {Words({"--simulate", "a.img", "--size", "12x", "detect"}), "512-byte sectors"},
        {Words({"set-clock", "--time", "2012-02-30T00:00:00"}), "real date"},
        {Words({"set-clock", "--time", "2012-3-4T05:06:07"}), "real date"},
        {Words({"set-clock", "--stamp", "--no-stamp"}), "once"},
        {Words({"login", "--no-stamp"}), "go with set-clock"},
        {Words({"format", "--type", "public", "--password-stdin"}), "goes with login"},
        {Words({"login", "--device"}), "--device needs a value"},
        {Words({"login", "--device", ""}), "--device needs a value"},
        {Words({"format", "--type", "public", "--type", "password"}), "give --type once"},
        {Words({"format", "--type=public", "--type", "public"}), "give --type once"},
        {Words({"--device", "/dev/sdb", "--device=/dev/sdc", "login"}), "give --device once"},
        {Words({"login", "--device="}), "--device needs a value"},
        {Words({"set-clock", "--stamp=yes"}), "unknown argument '--stamp=yes'"},
        {Words({"detect", ""}), "unknown argument ''"},
        {Words({"detect", "-h=1"}), "unknown argument '-h=1'"},
        // The usage lists these commands: the answer says what is wrong around them.
        {Words({"authorize", "--help"}), "'--help' does not go with authorize"},
        {Words({"--device", "/dev/sdb", "authorize"}), "'--device' does not go with authorize"},
        {Words({"deauthorize", "detect"}), "'detect' does not go with deauthorize"},
    };
    for (const RefusedLine& c : cases) {
        const ParseResult result = ParseCommandLine(c.words);
        EXPECT_FALSE(result.options) << c.reason;
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
    }
}

TEST(CommandLine, TakesEachCommandWithItsOptions) {
    auto parsed =
        ParseCommandLine(Words({"--simulate", "r.img", "--size", "4294967295", "--max-transfer",
                                "65535", "--trace", "t.log", "format", "--type", "password"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->command, Command::Format);
    EXPECT_EQ(parsed.options->size_sectors, 4294967295u);
    EXPECT_EQ(parsed.options->max_transfer_sectors, 65535u);
    EXPECT_EQ(parsed.options->disk_type, "password");
    EXPECT_EQ(parsed.options->trace_path, "t.log");

    parsed = ParseCommandLine(Words({"set-clock", "--time", "2012-02-29T23:59:59", "--no-stamp"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->time, (LocalDateTime{2012, 2, 29, 23, 59, 59}));
    EXPECT_EQ(parsed.options->stamp, TimeStamp::Hide);

    parsed = ParseCommandLine(Words({"set-clock"}));
    ASSERT_TRUE(parsed.options);
    EXPECT_FALSE(parsed.options->time);
    EXPECT_EQ(parsed.options->stamp, TimeStamp::Show);

    // --option=value is --option value; the value may hold '=' itself.
    parsed = ParseCommandLine(
        Words({"--simulate=a=b.img", "--size=4096", "format", "--type=public", "--trace=t.log"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->simulate_image, "a=b.img");
    EXPECT_EQ(parsed.options->size_sectors, 4096u);
    EXPECT_EQ(parsed.options->disk_type, "public");
    EXPECT_EQ(parsed.options->trace_path, "t.log");

    parsed =
        ParseCommandLine(Words({"--device", "/dev/sdb", "change-password", "--password-stdin"}));
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->command, Command::ChangePassword);
    EXPECT_TRUE(parsed.options->password_stdin);
    EXPECT_EQ(parsed.options->device_path, "/dev/sdb");

    EXPECT_TRUE(ParseCommandLine(Words({"--version"})).options->version);
    EXPECT_TRUE(ParseCommandLine(Words({"--help"})).options->help);
}

// The usage is laid out from the table of commands; scripts and the manual quote it.
// A word means one thing: one option, or one command, wherever it stands on the line.
TEST(CommandLine, EveryWordOfTheTableIsUnique) {
    std::set<std::string_view> words;
    auto add_options = [&words](std::span<const OptionDescriptor> options) {
        for (const OptionDescriptor& option : options) {
            for (const std::string_view spelling : option.spellings) {
                EXPECT_TRUE(words.insert(spelling).second) << spelling;
            }
            if (!option.alias.empty()) {
                EXPECT_TRUE(words.insert(option.alias).second) << option.alias;
            }
        }
    };
    add_options(GeneralOptions());
    for (const CommandDescriptor& command : Commands()) {
        EXPECT_TRUE(words.insert(command.name).second) << command.name;
        add_options(command.options);
        EXPECT_EQ(&DescriptorOf(command.command), &command) << command.name;
    }
}

}  // namespace
}  // namespace ulvren::cli
