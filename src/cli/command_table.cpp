#include "cli/command_table.h"

#include <algorithm>
#include <charconv>

#include "operations/operation_status.h"
#include "operations/starters.h"
#include "protocol/scsi.h"
#include "text/text_ids.h"
#include "ui/clock_string.h"

namespace ulvren::cli {
namespace {

using Refusal = std::optional<std::string>;

template <typename Number>
std::optional<Number> ParseNumber(const std::string& text) {
    Number value{};
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (code != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// --- the options' values ---

// Keeps the value as it is given.
template <std::optional<std::string> CliOptions::*kMember>
Refusal Keep(CliOptions& options, std::string_view, const std::string& value) {
    options.*kMember = value;
    return std::nullopt;
}

// Sets a flag.
template <bool CliOptions::*kMember>
Refusal Set(CliOptions& options, std::string_view, const std::string&) {
    options.*kMember = true;
    return std::nullopt;
}

// The first image, then one more recorder for each further one.
Refusal TakeImage(CliOptions& options, std::string_view, const std::string& value) {
    if (options.simulate_image) {
        options.further_images.push_back(value);
    } else {
        options.simulate_image = value;
    }
    return std::nullopt;
}

Refusal TakeSize(CliOptions& options, std::string_view, const std::string& value) {
    options.size_sectors = ParseNumber<std::uint64_t>(value);
    if (!options.size_sectors) {
        return "--size takes a number of 512-byte sectors, not '" + value + "'";
    }
    return std::nullopt;
}

Refusal TakeMaxTransfer(CliOptions& options, std::string_view, const std::string& value) {
    options.max_transfer_sectors = ParseNumber<std::uint32_t>(value);
    if (!options.max_transfer_sectors || *options.max_transfer_sectors == 0 ||
        *options.max_transfer_sectors > kMaxWrite10Sectors) {
        return "--max-transfer takes a number of sectors from 1 to " +
               std::to_string(kMaxWrite10Sectors);
    }
    return std::nullopt;
}

Refusal TakeTime(CliOptions& options, std::string_view, const std::string& value) {
    options.time = ParseDateTime(value);
    if (!options.time) {
        return "--time takes a real date and time as YYYY-MM-DDTHH:MM:SS, not '" + value + "'";
    }
    return std::nullopt;
}

Refusal TakeStamp(CliOptions& options, std::string_view spelling, const std::string&) {
    options.stamp = spelling == "--stamp" ? TimeStamp::Show : TimeStamp::Hide;
    return std::nullopt;
}

// --- the commands' workers ---

int StartFormatCommand(const CliOptions& options, const CommandInput&, OperationRunner& runner) {
    runner.Window().members.disk_type_index.Set(*options.disk_type == "password" ? 1 : 0);
    StartFormat(runner);
    return STATUS_FORMAT_OK;
}

int StartSetClockCommand(const CliOptions&, const CommandInput& input, OperationRunner& runner) {
    runner.Window().members.clock_string.Set(input.clock_string);
    StartSetClock(runner);
    return STATUS_CLOCK_SET;
}

int StartLoginCommand(const CliOptions&, const CommandInput& input, OperationRunner& runner) {
    runner.Window().members.login_password.Set(input.passwords[0]);
    StartLogin(runner);
    return STATUS_LOGIN_OK;
}

int StartChangePasswordCommand(const CliOptions&, const CommandInput& input,
                               OperationRunner& runner) {
    WindowMembers& members = runner.Window().members;
    members.old_password.Set(input.passwords[0]);
    members.new_password.Set(input.passwords[1]);
    members.confirm_password.Set(input.passwords[2]);
    StartChangePassword(runner);
    return STATUS_PASSWORD_CHANGED;
}

}  // namespace

std::span<const CommandDescriptor> Commands() {
    static const std::vector<CommandDescriptor> commands = {
        {
            .command = Command::Detect,
            .name = "detect",
            .summary = {"find every recorder, show the capacity and disk type of each"},
        },
        {
            .command = Command::Format,
            .name = "format",
            .options = {{.spellings = {"--type"},
                         .choices = {"public", "password"},
                         .required = true,
                         .apply = Keep<&CliOptions::disk_type>}},
            .summary = {"set the disk type and write a fresh FAT32 file system"},
            .goes_on_notice = TEXT_CLI_FORMAT_GOES_ON,
            .start = StartFormatCommand,
        },
        {
            .command = Command::SetClock,
            .name = "set-clock",
            .options = {{.spellings = {"--time"},
                         .value_name = "YYYY-MM-DDTHH:MM:SS",
                         .apply = TakeTime},
                        {.spellings = {"--stamp", "--no-stamp"}, .apply = TakeStamp},
                        {.spellings = {"--one-line"}, .apply = Set<&CliOptions::one_line>}},
            .summary = {"set the recorder's clock (default: this computer's time,",
                        "with a time stamp on recordings); --one-line says the outcome",
                        "in one line with the recorder's path and the time set"},
            .sets_clock = true,
            .start = StartSetClockCommand,
        },
        {
            .command = Command::Login,
            .name = "login",
            .summary = {"log in to a password disk"},
            .password_prompts = {TEXT_PASSWORD},
            .start = StartLoginCommand,
        },
        {
            .command = Command::ChangePassword,
            .name = "change-password",
            .summary = {"check the old password, then set a new one"},
            .password_prompts = {TEXT_OLD_PASSWORD, TEXT_NEW_PASSWORD, TEXT_CONFIRM_NEW_PASSWORD},
            .confirms_new_password = true,
            .start = StartChangePasswordCommand,
        },
    };
    return commands;
}

std::span<const OptionDescriptor> GeneralOptions() {
    static const std::vector<OptionDescriptor> options = {
        {.spellings = {"--device"},
         .value_name = "PATH",
         .help = {"look for the recorder at this path only"},
         .apply = Keep<&CliOptions::device_path>},
        {.spellings = {"--all"},
         .help = {"run the command on every recorder found, one after another"},
         .goes_with_operations = true,
         .excludes_option = "--device",
         .apply = Set<&CliOptions::all>},
        {.spellings = {"--password-stdin"},
         .help = {"read passwords one per line from standard input",
                  "(change-password: old, new, new again)"},
         .goes_with_passwords = true,
         .apply = Set<&CliOptions::password_stdin>},
        {.spellings = {"--simulate"},
         .value_name = "IMAGE",
         .help = {"use a simulated recorder stored in IMAGE; given again, one more",
                  "recorder at the next drive letter (F:, G:, ...)"},
         .repeats = true,
         .apply = TakeImage},
        {.spellings = {"--size"},
         .value_name = "SECTORS",
         .help = {"size of a new simulated image (default 16777216, 8 GiB)"},
         .goes_with_option = "--simulate",
         .apply = TakeSize},
        {.spellings = {"--max-transfer"},
         .value_name = "SECTORS",
         .help = {"largest transfer of the simulated adapter (1-65535)"},
         .goes_with_option = "--simulate",
         .apply = TakeMaxTransfer},
        {.spellings = {"--trace"},
         .value_name = "FILE",
         .help = {"write one line per device request to FILE"},
         .apply = Keep<&CliOptions::trace_path>},
        {.spellings = {"--help"},
         .alias = "-h",
         .help = {"show this text"},
         .runs_no_command = true,
         .apply = Set<&CliOptions::help>},
        {.spellings = {"--version"},
         .alias = "-V",
         .help = {"show the version"},
         .runs_no_command = true,
         .apply = Set<&CliOptions::version>},
    };
    return options;
}

const CommandDescriptor& DescriptorOf(Command command) {
    const auto commands = Commands();
    return *std::find_if(commands.begin(), commands.end(),
                         [command](const CommandDescriptor& d) { return d.command == command; });
}

}  // namespace ulvren::cli
