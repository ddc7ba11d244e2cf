#include "cli/cli_options.h"

#include <charconv>

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

bool IsCommand(const std::string& word) {
    return word == "detect" || word == "format";
}

}  // namespace

std::string UsageText() {
    return "usage: ulvren [options] COMMAND\n"
           "\n"
           "commands:\n"
           "  detect                        find the recorder, show its capacity and disk type\n"
           "  format --type public|password set the disk type and write a fresh FAT32 file system\n"
           "\n"
           "options:\n"
           "  --device PATH                 use this device instead of searching for it\n"
           "  --simulate IMAGE              use a simulated recorder stored in IMAGE\n"
           "  --size SECTORS                size of a new simulated image (default 16777216, 8 "
           "GiB)\n"
           "  --max-transfer SECTORS        largest transfer of the simulated adapter (1-65535)\n"
           "  --trace FILE                  write one line per device request to FILE\n"
           "  --help                        show this text\n"
           "  --version                     show the version\n";
}

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    CliOptions options;
    auto fail = [](std::string message) { return ParseResult{std::nullopt, std::move(message)}; };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) {
                return std::nullopt;
            }
            return arguments[++i];
        };
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--version") {
            options.version = true;
        } else if (word == "--simulate" || word == "--device" || word == "--trace" ||
                   word == "--type" || word == "--size" || word == "--max-transfer") {
            const auto text = value();
            if (!text || text->empty()) {
                return fail(word + " needs a value");
            }
            if (word == "--simulate") {
                options.simulate_image = *text;
            } else if (word == "--device") {
                options.device_path = *text;
            } else if (word == "--trace") {
                options.trace_path = *text;
            } else if (word == "--type") {
                if (*text != "public" && *text != "password") {
                    return fail("--type takes public or password, not '" + *text + "'");
                }
                options.disk_type = *text;
            } else if (word == "--size") {
                options.size_sectors = ParseNumber<std::uint64_t>(*text);
                if (!options.size_sectors) {
                    return fail("--size takes a number of 512-byte sectors, not '" + *text + "'");
                }
            } else {
                options.max_transfer_sectors = ParseNumber<std::uint32_t>(*text);
                if (!options.max_transfer_sectors || *options.max_transfer_sectors == 0 ||
                    *options.max_transfer_sectors > 65535) {
                    return fail("--max-transfer takes a number of sectors from 1 to 65535");
                }
            }
        } else if (IsCommand(word) && options.command.empty()) {
            options.command = word;
        } else {
            return fail("unknown argument '" + word + "'");
        }
    }
    if (options.help || options.version) {
        return {options, {}};
    }
    if (options.command.empty()) {
        return fail("no command given");
    }
    if ((options.size_sectors || options.max_transfer_sectors) && !options.simulate_image) {
        return fail("--size and --max-transfer go with --simulate");
    }
    if (options.command == "format" && !options.disk_type) {
        return fail("format needs --type public or --type password");
    }
    if (options.command != "format" && options.disk_type) {
        return fail("--type goes with format");
    }
    return {options, {}};
}

}  // namespace ulvren::cli
