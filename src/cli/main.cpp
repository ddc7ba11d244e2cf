// ulvren: the command-line companion of the recorder tool.
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/authorization_command.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/one_line_report.h"
#include "cli/same_file.h"
#include "cli/terminal_text.h"
#include "host/command_line_services.h"
#include "host/host.h"
#include "host/platform.h"
#include "host/single_device_host.h"
#include "host/tracing_host.h"
#include "hosts/simulated/simulated_machine.h"
#include "recorder/recorder_settings.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/system_language.h"

using namespace ulvren;

namespace {

// A trace written over the simulated recorder's own image or state file would destroy them.
bool TraceClashesWithSimulation(const cli::CliOptions& options, const cli::Messages& messages) {
    if (!options.trace_path || !options.simulate_image) {
        return false;
    }
    std::vector<std::string> images{*options.simulate_image};
    images.insert(images.end(), options.further_images.begin(), options.further_images.end());
    for (const std::string& image : images) {
        for (const std::string& own : {image, StateFilePathFor(image)}) {
            if (cli::NamesSameFile(*options.trace_path, own)) {
                messages.Say(TEXT_CLI_TRACE_OVER_SIMULATION, {*options.trace_path, own});
                return true;
            }
        }
    }
    return false;
}

int Run(const cli::CliOptions& options, const cli::Messages& messages) {
    if (TraceClashesWithSimulation(options, messages)) {
        return cli::kExitUsage;
    }
    std::optional<SimulatedMachine> machine;
    std::unique_ptr<Host> system_host;
    Host* host = nullptr;
    if (options.simulate_image) {
        SimulatedMachineError error;
        machine = OpenSimulatedMachine(
            {*options.simulate_image, options.size_sectors, options.max_transfer_sectors}, error);
        for (const std::string& image : options.further_images) {
            if (machine &&
                !AddSimulatedRecorder(
                    *machine, {image, options.size_sectors, options.max_transfer_sectors}, error)) {
                machine.reset();
            }
        }
        if (!machine) {
            messages.Say(TEXT_CLI_SIMULATION_UNUSABLE, {error.text});
            return error.kind == SimulatedMachineError::Kind::BadOptions ? cli::kExitUsage
                                                                         : cli::kExitCannotRun;
        }
        host = machine->host.get();
    } else {
        system_host = platform::OpenSystemHost();
        host = system_host.get();
    }

    std::ofstream trace_file;
    std::unique_ptr<TracingHost> tracing;
    if (options.trace_path) {
        trace_file.open(*options.trace_path, std::ios::out | std::ios::trunc);
        if (!trace_file) {
            messages.Say(TEXT_CLI_TRACE_CANNOT_OPEN, {*options.trace_path});
            return cli::kExitCannotRun;
        }
        tracing = std::make_unique<TracingHost>(*host, trace_file);
        host = tracing.get();
    }
    // With --device, discovery sees that path as the only drive: every command finds the
    // recorder there or nowhere before it locks or changes anything.
    std::unique_ptr<SingleDeviceHost> single_device;
    if (options.device_path) {
        single_device = std::make_unique<SingleDeviceHost>(*host, *options.device_path);
        host = single_device.get();
    }
    int status = cli::kExitOk;
    {
        ScopedHost installed(*host);
        status = options.one_line
                     ? cli::RunWithOneLineReport(options, messages.Language(), std::cout, std::cerr)
                     : cli::RunCommand(options, messages.Language(), std::cout, std::cerr);
    }

    // What the tool itself could not do outweighs what the device answered.
    if (tracing) {
        trace_file.close();
        auto failure = tracing->WriteFailure();
        if (!failure && !trace_file) {
            failure = LocalizedTextUtf8(TEXT_CLI_CLOSING_FAILED, messages.Language());
        }
        if (failure) {
            messages.Say(TEXT_CLI_TRACE_WRITE_FAILED, {*options.trace_path, *failure});
            status = cli::kExitCannotRun;
        }
    }
    if (machine) {
        if (const auto file_error = machine->FirstFileError()) {
            messages.Say(TEXT_CLI_SIMULATION_NOT_KEPT, {*file_error});
            status = cli::kExitCannotRun;
        }
    }
    return status;
}

// Output that could not be written is no success: a full disk behind standard output or error
// makes the run one whose own part the tool could not do. Standard error says so when it can.
int WithOutputChecked(int status, const cli::Messages& messages) {
    std::cout.flush();
    std::cerr.flush();
    if (std::cout.fail() && !std::cerr.fail()) {
        messages.Say(TEXT_CLI_OUTPUT_NOT_WRITTEN);
    }
    return std::cout.fail() || std::cerr.fail() ? cli::kExitCannotRun : status;
}

int RunAndReport(int argc, char** argv, const cli::Messages& messages) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const auto status = cli::RunAuthorizationCommand(arguments, messages)) {
        return *status;
    }
    const cli::ParseResult parsed = cli::ParseCommandLine(arguments);
    if (!parsed.options) {
        // As in the tools around it, usage errors and --help stay English.
        messages.SayAsIs(parsed.error);
        std::cerr << "Try 'ulvren --help' for more information.\n";
        return cli::kExitUsage;
    }
    const cli::CliOptions& options = *parsed.options;
    if (options.help) {
        std::cout << cli::UsageText();
        return cli::kExitOk;
    }
    if (options.version) {
        std::cout << "ulvren " << ULVREN_VERSION << '\n';
        return cli::kExitOk;
    }
    try {
        return Run(options, messages);
    } catch (const std::exception& failure) {
        // Nothing should get here; whatever does is reported, not left to abort the process.
        messages.SayAsIs(failure.what());
        return cli::kExitCannotRun;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything is opened: an image or trace must never become descriptor 0, 1 or 2.
    if (!platform::EnsureStandardStreamsOpen()) {
        return cli::kExitCannotRun;
    }
    // A terminal in a legacy character set (zh_TW.Big5) gets the texts in it.
    const cli::TerminalText terminal_text(platform::OpenTerminalCharset());
    const cli::Messages messages(std::cerr, SystemUiLanguage());
    return WithOutputChecked(RunAndReport(argc, argv, messages), messages);
}
