#include "cli/cli_options.h"

#include <charconv>
#include <map>
#include <set>

#include "protocol/scsi.h"

namespace ulvren::cli {
namespace {

template <typename Number>
std::optional<Number> ParseNumber(const std::string& text) {
    Number value{};
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (code != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"detect", Command::Detect},
        {"format", Command::Format},
        {"set-clock", Command::SetClock},
        {"login", Command::Login},
        {"change-password", Command::ChangePassword},
    };
    return commands;
}

bool TakesValue(const std::string& option) {
    return option == "--simulate" || option == "--device" || option == "--trace" ||
           option == "--type" || option == "--size" || option == "--max-transfer" ||
           option == "--time";
}

}  // namespace

std::string UsageText() {
    return "usage: ulvren [options] COMMAND\n"
           "\n"
           "commands:\n"
           "  detect                          find the recorder, show its capacity and disk type\n"
           "  format --type public|password   set the disk type and write a fresh FAT32 file "
           "system\n"
           "  set-clock [--time YYYY-MM-DDTHH:MM:SS] [--stamp|--no-stamp]\n"
           "                                  set the recorder's clock (default: this computer's "
           "time,\n"
           "                                  with a time stamp on recordings)\n"
           "  login                           log in to a password disk\n"
           "  change-password                 check the old password, then set a new one\n"
           "\n"
           "options:\n"
           "  --device PATH                   look for the recorder at this path only\n"
           "  --password-stdin                read passwords one per line from standard input\n"
           "                                  (change-password: old, new, new again)\n"
           "  --simulate IMAGE                use a simulated recorder stored in IMAGE\n"
           "  --size SECTORS                  size of a new simulated image (default 16777216, 8 "
           "GiB)\n"
           "  --max-transfer SECTORS          largest transfer of the simulated adapter (1-65535)\n"
           "  --trace FILE                    write one line per device request to FILE\n"
           "  (every option that takes a value also takes it as --option=VALUE, once)\n"
           "  --help                          show this text\n"
           "  --version                       show the version\n"
           "\n"
           "exit status: 0 done, 1 the device said no or was not found, 2 bad usage,\n"
           "             3 the tool could not make, read or write the image, trace or state "
           "file\n";
}

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    CliOptions options;
    std::optional<std::string> command_word;
    bool stamp_given = false;
    std::set<std::string> values_given;
    auto fail = [](std::string message) { return ParseResult{std::nullopt, std::move(message)}; };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        // --option=value stands for --option value.
        std::string word = arguments[i];
        std::optional<std::string> attached_value;
        if (const std::size_t equals = word.find('=');
            word.starts_with("--") && equals != word.npos) {
            attached_value = word.substr(equals + 1);
            word.resize(equals);
            if (!TakesValue(word)) {
                return fail("unknown argument '" + arguments[i] + "'");
            }
        }
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--version") {
            options.version = true;
        } else if (word == "--password-stdin") {
            options.password_stdin = true;
        } else if (word == "--stamp" || word == "--no-stamp") {
            if (stamp_given) {
                return fail("give --stamp or --no-stamp once");
            }
            stamp_given = true;
            options.stamp = word == "--stamp" ? TimeStamp::Show : TimeStamp::Hide;
        } else if (TakesValue(word)) {
            if (!attached_value && i + 1 < arguments.size()) {
                attached_value = arguments[++i];
            }
            if (!attached_value || attached_value->empty()) {
                return fail(word + " needs a value");
            }
            // A second value would contradict the first, or silently replace it.
            if (!values_given.insert(word).second) {
                return fail("give " + word + " once");
            }
            const std::string& text = *attached_value;
            if (word == "--simulate") {
                options.simulate_image = text;
            } else if (word == "--device") {
                options.device_path = text;
            } else if (word == "--trace") {
                options.trace_path = text;
            } else if (word == "--type") {
                if (text != "public" && text != "password") {
                    return fail("--type takes public or password, not '" + text + "'");
                }
                options.disk_type = text;
            } else if (word == "--time") {
                options.time = ParseDateTime(text);
                if (!options.time) {
                    return fail("--time takes a real date and time as YYYY-MM-DDTHH:MM:SS, not '" +
                                text + "'");
                }
            } else if (word == "--size") {
                options.size_sectors = ParseNumber<std::uint64_t>(text);
                if (!options.size_sectors) {
                    return fail("--size takes a number of 512-byte sectors, not '" + text + "'");
                }
            } else {
                options.max_transfer_sectors = ParseNumber<std::uint32_t>(text);
                if (!options.max_transfer_sectors || *options.max_transfer_sectors == 0 ||
                    *options.max_transfer_sectors > kMaxWrite10Sectors) {
                    return fail("--max-transfer takes a number of sectors from 1 to " +
                                std::to_string(kMaxWrite10Sectors));
                }
            }
        } else if (Commands().contains(word) && !command_word) {
            command_word = word;
            options.command = Commands().at(word);
        } else {
            return fail("unknown argument '" + word + "'");
        }
    }
    if (options.help || options.version) {
        return {options, {}};
    }
    if (!command_word) {
        return fail("no command given");
    }
    const Command command = options.command;
    if ((options.size_sectors || options.max_transfer_sectors) && !options.simulate_image) {
        return fail("--size and --max-transfer go with --simulate");
    }
    if (command == Command::Format && !options.disk_type) {
        return fail("format needs --type public or --type password");
    }
    if (command != Command::Format && options.disk_type) {
        return fail("--type goes with format");
    }
    if (command != Command::SetClock && (options.time || stamp_given)) {
        return fail("--time, --stamp and --no-stamp go with set-clock");
    }
    if (command != Command::Login && command != Command::ChangePassword && options.password_stdin) {
        return fail("--password-stdin goes with login and change-password");
    }
    return {options, {}};
}

}  // namespace ulvren::cli
