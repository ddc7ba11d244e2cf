#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"
#include "operations/operation_runner.h"
#include "text/text_id.h"

namespace ulvren::cli {

// One option of the command line. The usage, the parser and the checks of what goes with what
// all follow from these fields.
struct OptionDescriptor {
    // How it is written. Several spellings make one choice, given once: --stamp or --no-stamp.
    std::vector<std::string_view> spellings{};
    // A second spelling that stands for the first (-h for --help); the usage does not list it.
    std::string_view alias{};
    // What the usage shows for its value ("PATH"); empty for an option that takes none.
    std::string_view value_name{};
    // The values it takes, when it takes only these; the usage shows them as its value.
    std::vector<std::string_view> choices{};
    // Its lines in the list of options; a command's options are shown in the command's synopsis.
    std::vector<std::string_view> help{};
    // The option that it goes with, when it means nothing alone: --simulate for --size.
    std::string_view goes_with_option{};
    // Only with the commands that read passwords.
    bool goes_with_passwords = false;
    // Only with the commands that have a worker of their own (not detect).
    bool goes_with_operations = false;
    // An option that it cannot go with: --device for --all.
    std::string_view excludes_option{};
    // It may come again, each time with a value of its own.
    bool repeats = false;
    // A command's option that the command cannot go without.
    bool required = false;
    // --help and --version: the program answers them and runs no command.
    bool runs_no_command = false;
    // Stores the option in `options`: `spelling` is the one given, `value` its value (empty for an
    // option without one). Returns why the value cannot be taken, if it cannot.
    std::optional<std::string> (*apply)(CliOptions& options, std::string_view spelling,
                                        const std::string& value) = nullptr;

    std::string_view Name() const { return spellings.front(); }
    bool TakesValue() const { return !value_name.empty() || !choices.empty(); }
};

// What a command needs from the user before the device is touched: its passwords' bytes and the
// clock string.
struct CommandInput {
    std::vector<std::string> passwords;
    std::string clock_string;
};

// One command of the command line: everything the usage, the parser and the run need to know.
struct CommandDescriptor {
    Command command{};
    std::string_view name{};
    // Its own options, which go with no other command, in the order of its synopsis.
    std::vector<OptionDescriptor> options{};
    // Its lines in the usage.
    std::vector<std::string_view> summary{};
    // The prompts of the passwords it reads, in order.
    std::vector<TextId> password_prompts{};
    // The last two passwords are a new one and its confirmation: they must match before anything
    // reaches the device.
    bool confirms_new_password = false;
    // Builds the clock string from the options.
    bool sets_clock = false;
    // When set, the first request to end the program while the command runs only says this text,
    // and the command goes on; a second request ends the program.
    std::optional<TextId> goes_on_notice{};
    // Hands the input to the window members and starts the command's worker, after the detection
    // that every command runs first. Returns the status that means success. None for detect,
    // whose detection is the whole command.
    int (*start)(const CliOptions& options, const CommandInput& input,
                 OperationRunner& runner) = nullptr;
};

// Every command, in the order of the usage.
std::span<const CommandDescriptor> Commands();

// The options that are no command's own, in the order of the usage.
std::span<const OptionDescriptor> GeneralOptions();

const CommandDescriptor& DescriptorOf(Command command);

}  // namespace ulvren::cli
