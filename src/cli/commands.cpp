#include "cli/commands.h"

#include <memory>
#include <variant>

#include "cli/cli_window.h"
#include "cli/command_table.h"
#include "cli/messages.h"
#include "cli/password_input.h"
#include "cli/progress_line.h"
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

// `text` as the terminal shows it: a notice written from a signal handler does not pass through
// the standard error stream, which converts everything else.
std::string ForTerminal(const std::string& text) {
    const auto charset = platform::OpenTerminalCharset();
    return charset ? charset->FromUtf8(text) : text;
}

std::optional<std::string> ClockStringFor(const CliOptions& options) {
    return BuildClockString(options.time.value_or(platform::SystemClock().Now()), options.stamp);
}

// Empty, with the reason printed, when the input cannot go to the device.
std::optional<CommandInput> GatherInput(const CommandDescriptor& command, const CliOptions& options,
                                        const Messages& messages) {
    const UiLanguage language = messages.Language();
    CommandInput input;
    const auto prompts = PasswordPrompts(command, language);
    if (!prompts.empty()) {
        Message error;
        const auto typed = ReadPasswords(
            prompts,
            options.password_stdin ? PasswordSource::StandardInput : PasswordSource::Terminal,
            error);
        if (!typed) {
            messages.Say(error);
            return std::nullopt;
        }
        for (const std::string& password : *typed) {
            auto encoded = EncodePassword(password, language);
            if (const auto* refusal = std::get_if<PasswordRefusal>(&encoded)) {
                messages.Say(PasswordRefusalText(*refusal));
                return std::nullopt;
            }
            input.passwords.push_back(std::get<std::string>(encoded));
        }
    }
    if (command.sets_clock) {
        const auto clock = ClockStringFor(options);
        if (!clock) {
            messages.Say(TEXT_CLI_NO_VALID_CLOCK);
            return std::nullopt;
        }
        input.clock_string = *clock;
    }
    return input;
}

// --all: the command on each recorder in turn, each in a session of its own, its device path
// named before its result. A recorder that fails does not stop the others; the status is that of
// the first failure.
int RunOnEach(const std::vector<FoundRecorder>& recorders, const CommandDescriptor& command,
              const CliOptions& options, const CommandInput& input, OperationRunner& runner,
              CliWindow& window) {
    int result = kExitOk;
    for (const FoundRecorder& recorder : recorders) {
        window.PrintDevicePath(recorder.path);
        runner.Window().members.device_path.Set(recorder.path);
        const std::size_t before = window.StatusCount();
        const int success = command.start(options, input, runner);
        runner.WaitUntilIdle();
        if (!window.SawSince(before, success) && result == kExitOk) {
            result = kExitDeviceSaidNo;
        }
    }
    return result;
}

}  // namespace

int RunCommand(const CliOptions& options, UiLanguage language, std::ostream& out, std::ostream& err,
               CommandReport* report) {
    const CommandDescriptor& command = DescriptorOf(options.command);
    const Messages messages(err, language);
    auto input = GatherInput(command, options, messages);
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
    // On a terminal a format shows how far it has come; elsewhere nothing is added to the output.
    // The workers are joined before this returns, so the progress may refer to `progress`.
    ProgressLine progress(err, language);
    fat32::WriteProgress format_progress;
    if (platform::StandardErrorIsTerminal()) {
        format_progress = [&progress](std::uint32_t written, std::uint32_t total) {
            progress.Update(written, total, ProgressLine::Clock::now());
        };
    }
    auto state = std::make_shared<SharedWindowState>(OpenDeviceMutex(), std::move(format_progress));
    CliWindow window(*state, language, out, err, progress);
    state->link.Attach(window);
    int result = kExitDeviceSaidNo;
    {
        OperationRunner runner(state);
        // Every command finds the recorder first (with --device at that path only), so that
        // nothing is locked, unmounted or sent to a disk that did not identify as the recorder.
        // detect and --all look for every recorder; the others stop at the first.
        const bool every = command.start == nullptr || options.all;
        window.SetDetectionReport(command.start == nullptr ? DetectionReport::Show
                                                           : DetectionReport::Silent);
        if (every) {
            StartDetectEvery(runner);
        } else {
            StartDetect(runner);
        }
        runner.WaitUntilIdle();
        window.SetDetectionReport(DetectionReport::Silent);
        const bool found = window.Saw(STATUS_DETECT_DONE);
        const std::vector<FoundRecorder> recorders = state->members.recorders.Get();

        if (command.start == nullptr) {
            // The detection was the command: the first recorder's lines came with its statuses.
            bool complete =
                found && window.Saw(STATUS_CAPACITY_OK) && window.Saw(STATUS_DISK_TYPE_OK);
            for (std::size_t i = 1; i < recorders.size(); ++i) {
                out << '\n';
                window.PrintRecorder(recorders[i]);
                complete = complete && recorders[i].sector_count && recorders[i].disk_type;
            }
            result = complete ? kExitOk : kExitDeviceSaidNo;
        } else if (options.all ? !recorders.empty() : found) {
            // As the window lets a running format finish, so does the command line: the first
            // request to end the program only says so.
            const auto deferral = command.goes_on_notice
                                      ? platform::DeferEndRequests(ForTerminal(
                                            messages.Line({*command.goes_on_notice, {}})))
                                      : nullptr;
            // This computer's time is read again once the recorder was found: the detection
            // may have waited for another program, and the time sent is the time it is sent.
            if (command.sets_clock && !options.time) {
                input->clock_string = ClockStringFor(options).value_or(input->clock_string);
            }
            if (options.all) {
                result = RunOnEach(recorders, command, options, *input, runner, window);
            } else {
                const int success = command.start(options, *input, runner);
                runner.WaitUntilIdle();
                result = window.Saw(success) ? kExitOk : kExitDeviceSaidNo;
            }
        } else if (options.device_path) {
            messages.Say(TEXT_CLI_NO_RECORDER_AT, {*options.device_path});
        }
        runner.Shutdown();
    }
    state->link.Detach();
    if (report != nullptr) {
        report->device_path =
            window.Saw(STATUS_DETECT_DONE) ? state->members.device_path.Get() : "";
        report->clock_string = input->clock_string;
    }
    return result;
}

}  // namespace ulvren::cli
