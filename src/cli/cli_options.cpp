#include "cli/cli_options.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "cli/authorization_command.h"
#include "cli/command_table.h"

namespace ulvren::cli {
namespace {

// The usage's two columns: a synopsis indented by two, and from this column on what it does.
constexpr std::size_t kSummaryColumn = 34;

// "a", "a and b", "a, b and c" (or "a, b or c").
std::string JoinAsList(const std::vector<std::string_view>& items,
                       std::string_view last_separator = " and ") {
    std::string list;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            list += i + 1 == items.size() ? last_separator : ", ";
        }
        list += items[i];
    }
    return list;
}

std::string Join(const std::vector<std::string_view>& items, std::string_view separator) {
    std::string joined;
    for (const std::string_view item : items) {
        joined += joined.empty() ? "" : separator;
        joined += item;
    }
    return joined;
}

// "--size goes with ...", "--size and --max-transfer go with ...".
std::string GoWith(const std::vector<std::string_view>& options, std::string_view partner) {
    return JoinAsList(options) + (options.size() == 1 ? " goes with " : " go with ") +
           std::string(partner);
}

// An option as a synopsis shows it: "--type public|password", "[--stamp|--no-stamp]".
std::string Synopsis(const OptionDescriptor& option) {
    std::string text = Join(option.spellings, "|");
    if (!option.choices.empty()) {
        text += " " + Join(option.choices, "|");
    } else if (!option.value_name.empty()) {
        text += " " + std::string(option.value_name);
    }
    return option.required ? text : "[" + text + "]";
}

// The synopsis, then the summary from kSummaryColumn on; on a line of its own when too long.
void AddUsageEntry(std::string& usage, const std::string& synopsis,
                   const std::vector<std::string_view>& summary) {
    std::string line = "  " + synopsis;
    for (const std::string_view summary_line : summary) {
        if (line.size() + 2 > kSummaryColumn) {
            usage += line + "\n";
            line.clear();
        }
        line.resize(kSummaryColumn, ' ');
        line += summary_line;
        usage += line + "\n";
        line.clear();
    }
}

// "--type public or --type password"; "--time YYYY-MM-DDTHH:MM:SS" for an option without choices.
std::string WaysToGive(const OptionDescriptor& option) {
    if (option.choices.empty()) {
        return std::string(option.Name()) + " " + std::string(option.value_name);
    }
    std::vector<std::string> ways;
    for (const std::string_view choice : option.choices) {
        ways.push_back(std::string(option.Name()) + " " + std::string(choice));
    }
    return JoinAsList(std::vector<std::string_view>(ways.begin(), ways.end()), " or ");
}

std::string GeneralOptionSynopsis(const OptionDescriptor& option) {
    std::string text(option.Name());
    if (!option.value_name.empty()) {
        text += " " + std::string(option.value_name);
    }
    return text;
}

// A command-line word as an option: the option and the spelling it was given in.
struct FoundOption {
    const OptionDescriptor* option = nullptr;
    std::string_view spelling;
};

FoundOption FindOption(std::string_view word) {
    auto find_in = [word](std::span<const OptionDescriptor> options) -> FoundOption {
        for (const OptionDescriptor& option : options) {
            if (!option.alias.empty() && word == option.alias) {
                return {&option, option.Name()};
            }
            for (const std::string_view spelling : option.spellings) {
                if (word == spelling) {
                    return {&option, spelling};
                }
            }
        }
        return {};
    };
    if (const FoundOption general = find_in(GeneralOptions()); general.option != nullptr) {
        return general;
    }
    for (const CommandDescriptor& command : Commands()) {
        if (const FoundOption own = find_in(command.options); own.option != nullptr) {
            return own;
        }
    }
    return {};
}

const CommandDescriptor* FindCommand(std::string_view word) {
    const auto commands = Commands();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [word](const CommandDescriptor& c) { return c.name == word; });
    return found != commands.end() ? &*found : nullptr;
}

std::vector<std::string_view> SpellingsOf(const std::vector<OptionDescriptor>& options) {
    std::vector<std::string_view> spellings;
    for (const OptionDescriptor& option : options) {
        spellings.insert(spellings.end(), option.spellings.begin(), option.spellings.end());
    }
    return spellings;
}

// Why the options given do not go together, if they do not.
std::optional<std::string> Contradiction(const CommandDescriptor& chosen,
                                         const std::set<const OptionDescriptor*>& given) {
    const auto is_given = [&given](const OptionDescriptor& option) {
        return given.contains(&option);
    };
    // Options that mean nothing without another one.
    for (const OptionDescriptor& partner : GeneralOptions()) {
        std::vector<std::string_view> dependents;
        bool any_given = false;
        for (const OptionDescriptor& option : GeneralOptions()) {
            if (option.goes_with_option == partner.Name()) {
                dependents.push_back(option.Name());
                any_given = any_given || is_given(option);
            }
        }
        if (any_given && !is_given(partner)) {
            return GoWith(dependents, partner.Name());
        }
    }
    // Each command's own options: the ones it needs, and none of another's.
    for (const CommandDescriptor& command : Commands()) {
        if (&command == &chosen) {
            for (const OptionDescriptor& option : command.options) {
                if (option.required && !is_given(option)) {
                    return std::string(command.name) + " needs " + WaysToGive(option);
                }
            }
        } else if (std::any_of(command.options.begin(), command.options.end(), is_given)) {
            return GoWith(SpellingsOf(command.options), command.name);
        }
    }
    // Options that exclude another one, and those that only the commands with a worker take.
    for (const OptionDescriptor& option : GeneralOptions()) {
        if (!is_given(option)) {
            continue;
        }
        for (const OptionDescriptor& other : GeneralOptions()) {
            if (other.Name() == option.excludes_option && is_given(other)) {
                return std::string(option.Name()) + " cannot go with " + std::string(other.Name());
            }
        }
        if (option.goes_with_operations && chosen.start == nullptr) {
            std::vector<std::string_view> operations;
            for (const CommandDescriptor& command : Commands()) {
                if (command.start != nullptr) {
                    operations.push_back(command.name);
                }
            }
            return GoWith({option.Name()}, JoinAsList(operations));
        }
    }
    // Options that only the commands reading passwords take.
    if (chosen.password_prompts.empty()) {
        std::vector<std::string_view> readers;
        for (const CommandDescriptor& command : Commands()) {
            if (!command.password_prompts.empty()) {
                readers.push_back(command.name);
            }
        }
        for (const OptionDescriptor& option : GeneralOptions()) {
            if (option.goes_with_passwords && is_given(option)) {
                return GoWith({option.Name()}, JoinAsList(readers));
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::string UsageText() {
    std::string usage = "usage: ulvren [options] COMMAND\n\ncommands:\n";
    for (const CommandDescriptor& command : Commands()) {
        std::string synopsis(command.name);
        for (const OptionDescriptor& option : command.options) {
            synopsis += " " + Synopsis(option);
        }
        AddUsageEntry(usage, synopsis, command.summary);
    }
    for (const AuthorizationCommand& command : kAuthorizationCommands) {
        if (command.option.empty()) {
            AddUsageEntry(usage, std::string(command.name), {command.summary});
        } else {
            AddUsageEntry(usage,
                          std::string(command.name) + " [" + std::string(command.option) + "]",
                          {command.summary, command.option_summary});
        }
    }
    usage += "\noptions:\n";
    for (const OptionDescriptor& option : GeneralOptions()) {
        if (!option.runs_no_command) {
            AddUsageEntry(usage, GeneralOptionSynopsis(option), option.help);
        }
    }
    usage +=
        "  (every option that takes a value also takes it as --option=VALUE, once;\n"
        "   --simulate may come again)\n";
    for (const OptionDescriptor& option : GeneralOptions()) {
        if (option.runs_no_command) {
            AddUsageEntry(usage, GeneralOptionSynopsis(option), option.help);
        }
    }
    usage +=
        "\n"
        "exit status: 0 done, 1 the device said no or was not found, 2 bad usage,\n"
        "             3 the tool could not make, read or write the image, trace or state file\n";
    return usage;
}

namespace {

// authorize and deauthorize reach the parser only with words they do not take beside them: the
// answer names the first such word (an option like --device or --help, or another command).
std::string WithAuthorizationCommand(const std::vector<std::string>& arguments, std::size_t at) {
    for (const AuthorizationCommand& command : kAuthorizationCommands) {
        if (arguments[at] == command.name && arguments.size() > 1) {
            const std::string other = arguments[at == 0 ? 1 : 0];
            return "'" + other + "' does not go with " + std::string(command.name) +
                   " (run 'ulvren " + std::string(command.name) + "' on its own)";
        }
    }
    return {};
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    CliOptions options;
    const CommandDescriptor* command = nullptr;
    std::set<const OptionDescriptor*> given;
    auto fail = [](std::string message) { return ParseResult{std::nullopt, std::move(message)}; };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        // --option=value stands for --option value.
        std::string word = arguments[i];
        std::optional<std::string> attached_value;
        if (const std::size_t equals = word.find('=');
            word.starts_with("--") && equals != word.npos) {
            attached_value = word.substr(equals + 1);
            word.resize(equals);
        }
        const FoundOption found = FindOption(word);
        if (attached_value && (found.option == nullptr || !found.option->TakesValue())) {
            return fail("unknown argument '" + arguments[i] + "'");
        }
        if (found.option == nullptr) {
            const CommandDescriptor* named = FindCommand(word);
            if (const std::string refusal = WithAuthorizationCommand(arguments, i);
                !refusal.empty()) {
                return fail(refusal);
            }
            if (named == nullptr || command != nullptr) {
                return fail("unknown argument '" + word + "'");
            }
            command = named;
            options.command = named->command;
            continue;
        }
        const OptionDescriptor& option = *found.option;
        std::string value;
        if (option.TakesValue()) {
            if (!attached_value && i + 1 < arguments.size()) {
                attached_value = arguments[++i];
            }
            if (!attached_value || attached_value->empty()) {
                return fail(word + " needs a value");
            }
            value = *attached_value;
        }
        // A second value would contradict the first, or silently replace it; so would a second
        // choice of several spellings. A plain switch may come twice.
        const bool says_once =
            !option.repeats && (option.TakesValue() || option.spellings.size() > 1);
        if (!given.insert(&option).second && says_once) {
            return fail("give " + Join(option.spellings, " or ") + " once");
        }
        if (!option.choices.empty() && std::find(option.choices.begin(), option.choices.end(),
                                                 value) == option.choices.end()) {
            return fail(std::string(option.Name()) + " takes " +
                        JoinAsList(option.choices, " or ") + ", not '" + value + "'");
        }
        if (auto refusal = option.apply(options, found.spelling, value)) {
            return fail(std::move(*refusal));
        }
    }
    if (std::any_of(given.begin(), given.end(),
                    [](const OptionDescriptor* option) { return option->runs_no_command; })) {
        return {options, {}};
    }
    if (command == nullptr) {
        return fail("no command given");
    }
    if (auto contradiction = Contradiction(*command, given)) {
        return fail(std::move(*contradiction));
    }
    return {options, {}};
}

}  // namespace ulvren::cli
