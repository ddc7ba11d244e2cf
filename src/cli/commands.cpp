#include "cli/commands.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <variant>

#include "cli/cli_window.h"
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

// Said once when another program has kept the device for this long while a command waits.
constexpr auto kWaitingNoticeDelay = std::chrono::seconds(1);
constexpr const char* kWaitingNotice =
    "ulvren: waiting for another program that is using the recorder\n";
// Said at the first request to end the program while a format runs.
constexpr const char* kFormatGoesOnNotice =
    "ulvren: the format goes on until it is done; a second interrupt ends the program at once\n";

// What the user gives before the device is touched: the passwords' bytes and the clock string.
struct CommandInput {
    std::vector<std::string> passwords;
    std::string clock_string;
};

std::vector<std::string> PasswordPrompts(Command command, UiLanguage language) {
    if (command == Command::Login) {
        return {LocalizedTextUtf8(TEXT_PASSWORD, language)};
    }
    if (command == Command::ChangePassword) {
        return {LocalizedTextUtf8(TEXT_OLD_PASSWORD, language),
                LocalizedTextUtf8(TEXT_NEW_PASSWORD, language),
                LocalizedTextUtf8(TEXT_CONFIRM_NEW_PASSWORD, language)};
    }
    return {};
}

// Empty, with the reason printed, when the input cannot go to the device.
std::optional<CommandInput> GatherInput(const CliOptions& options, UiLanguage language,
                                        std::ostream& err) {
    CommandInput input;
    const auto prompts = PasswordPrompts(options.command, language);
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
    if (options.command == Command::SetClock) {
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

// Hands the command's input to the window members, as the window's button handlers do, and
// starts its worker. Returns the status that means the command succeeded.
int StartCommandWorker(const CliOptions& options, const CommandInput& input,
                       OperationRunner& runner) {
    WindowMembers& members = runner.Window().members;
    switch (options.command) {
        case Command::Format:
            members.disk_type_index.Set(*options.disk_type == "password" ? 1 : 0);
            StartFormat(runner);
            return STATUS_FORMAT_OK;
        case Command::SetClock:
            members.clock_string.Set(input.clock_string);
            StartSetClock(runner);
            return STATUS_CLOCK_SET;
        case Command::Login:
            members.login_password.Set(input.passwords[0]);
            StartLogin(runner);
            return STATUS_LOGIN_OK;
        case Command::ChangePassword:
            members.old_password.Set(input.passwords[0]);
            members.new_password.Set(input.passwords[1]);
            members.confirm_password.Set(input.passwords[2]);
            StartChangePassword(runner);
            return STATUS_PASSWORD_CHANGED;
        case Command::Detect:
            break;
    }
    StartDetect(runner);
    return STATUS_DETECT_DONE;
}

}  // namespace

int RunCommand(const CliOptions& options, UiLanguage language, std::ostream& out,
               std::ostream& err) {
    const auto input = GatherInput(options, language, err);
    if (!input) {
        return kExitUsage;
    }
    // Compared as the change-password dialog's handler compares them: exactly, before anything
    // reaches the device.
    if (options.command == Command::ChangePassword && input->passwords[1] != input->passwords[2]) {
        out << LocalizedTextUtf8(TEXT_PASSWORD_MISMATCH, language) << '\n';
        return kExitDeviceSaidNo;
    }

    // The workers are joined before this returns, so the notice may refer to `err` and `said`.
    std::atomic<bool> said{false};
    const NamedSystemMutex::WaitNotice waiting_notice{kWaitingNoticeDelay, [&err, &said] {
                                                          if (!said.exchange(true)) {
                                                              err << kWaitingNotice << std::flush;
                                                          }
                                                      }};
    auto state = std::make_shared<SharedWindowState>(OpenDeviceMutex(waiting_notice));
    CliWindow window(*state, language, out, err);
    state->link.Attach(window);
    int result = kExitDeviceSaidNo;
    {
        OperationRunner runner(state);
        // Every command finds the recorder first (with --device at that path only), so that
        // nothing is locked, unmounted or sent to a disk that did not identify as the recorder.
        window.SetDetectionReport(options.command == Command::Detect ? DetectionReport::Show
                                                                     : DetectionReport::Silent);
        StartDetect(runner);
        runner.WaitUntilIdle();
        window.SetDetectionReport(DetectionReport::Silent);
        const bool found = window.Saw(STATUS_DETECT_DONE);

        if (options.command == Command::Detect) {
            const bool complete =
                found && window.Saw(STATUS_CAPACITY_OK) && window.Saw(STATUS_DISK_TYPE_OK);
            result = complete ? kExitOk : kExitDeviceSaidNo;
        } else if (found) {
            // As the window lets a running format finish, so does the command line: the first
            // request to end the program only says so.
            const auto deferral = options.command == Command::Format
                                      ? platform::DeferEndRequests(kFormatGoesOnNotice)
                                      : nullptr;
            const int success = StartCommandWorker(options, *input, runner);
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
