#include "cli/commands.h"

#include <memory>
#include <variant>

#include "cli/cli_window.h"
#include "cli/command_table.h"
#include "cli/password_input.h"
#include "host/command_line_services.h"
#include "host/platform.h"
#include "operations/operation_runner.h"
#include "operations/starters.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/clock_string.h"
#include "ui/password_encoding.h"

namespace ulvren::cli {
namespace {

std::vector<std::string> PasswordPrompts(const CommandDescriptor& command, UiLanguage language) {
    std::vector<std::string> prompts;
    for (const TextId prompt : command.password_prompts) {
        prompts.push_back(LocalizedTextUtf8(prompt, language));
    }
    return prompts;
}

// Empty, with the reason printed, when the input cannot go to the device.
std::optional<CommandInput> GatherInput(const CommandDescriptor& command, const CliOptions& options,
                                        UiLanguage language, std::ostream& err) {
    CommandInput input;
    const auto prompts = PasswordPrompts(command, language);
    if (!prompts.empty()) {
        std::string error;
        const auto typed = ReadPasswords(
            prompts,
            options.password_stdin ? PasswordSource::StandardInput : PasswordSource::Terminal,
            error);
        if (!typed) {
            err << "ulvren: " << error << '\n';
            return std::nullopt;
        }
        for (const std::string& password : *typed) {
            auto encoded = EncodePassword(password, language);
            if (const auto* refusal = std::get_if<PasswordRefusal>(&encoded)) {
                err << "ulvren: " << LocalizedTextUtf8(PasswordRefusalText(*refusal), language)
                    << '\n';
                return std::nullopt;
            }
            input.passwords.push_back(std::get<std::string>(encoded));
        }
    }
    if (command.sets_clock) {
        const auto clock =
            BuildClockString(options.time.value_or(platform::SystemClock().Now()), options.stamp);
        if (!clock) {
            err << "ulvren: this computer's clock gives no valid date and time\n";
            return std::nullopt;
        }
        input.clock_string = *clock;
    }
    return input;
}

}  // namespace

int RunCommand(const CliOptions& options, UiLanguage language, std::ostream& out,
               std::ostream& err) {
    const CommandDescriptor& command = DescriptorOf(options.command);
    const auto input = GatherInput(command, options, language, err);
    if (!input) {
        return kExitUsage;
    }
    // Compared as the change-password dialog's handler compares them: exactly, before anything
    // reaches the device.
    const auto& passwords = input->passwords;
    if (command.confirms_new_password && passwords.end()[-2] != passwords.end()[-1]) {
        out << LocalizedTextUtf8(TEXT_PASSWORD_MISMATCH, language) << '\n';
        return kExitDeviceSaidNo;
    }

    // A wait for another program that holds the device is said by the window, once.
    auto state = std::make_shared<SharedWindowState>(OpenDeviceMutex());
    CliWindow window(*state, language, out, err);
    state->link.Attach(window);
    int result = kExitDeviceSaidNo;
    {
        OperationRunner runner(state);
        // Every command finds the recorder first (with --device at that path only), so that
        // nothing is locked, unmounted or sent to a disk that did not identify as the recorder.
        window.SetDetectionReport(command.start == nullptr ? DetectionReport::Show
                                                           : DetectionReport::Silent);
        StartDetect(runner);
        runner.WaitUntilIdle();
        window.SetDetectionReport(DetectionReport::Silent);
        const bool found = window.Saw(STATUS_DETECT_DONE);

        if (command.start == nullptr) {
            // The detection was the command.
            const bool complete =
                found && window.Saw(STATUS_CAPACITY_OK) && window.Saw(STATUS_DISK_TYPE_OK);
            result = complete ? kExitOk : kExitDeviceSaidNo;
        } else if (found) {
            // As the window lets a running format finish, so does the command line: the first
            // request to end the program only says so.
            const auto deferral =
                command.goes_on_notice.empty()
                    ? nullptr
                    : platform::DeferEndRequests(std::string(command.goes_on_notice));
            const int success = command.start(options, *input, runner);
            runner.WaitUntilIdle();
            result = window.Saw(success) ? kExitOk : kExitDeviceSaidNo;
        } else if (options.device_path) {
            err << "ulvren: no recorder answers at " << *options.device_path
                << "; nothing there was locked, unmounted or changed\n";
        }
        runner.Shutdown();
    }
    state->link.Detach();
    return result;
}

}  // namespace ulvren::cli
