// ulvren: the command-line companion of the recorder tool.
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/authorization_command.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/same_file.h"
#include "cli/terminal_text.h"
#include "host/command_line_services.h"
#include "host/host.h"
#include "host/platform.h"
#include "host/single_device_host.h"
#include "host/tracing_host.h"
#include "hosts/simulated/simulated_machine.h"
#include "recorder/recorder_settings.h"
#include "ui/system_language.h"

using namespace ulvren;

namespace {

// A trace written over the simulated recorder's own image or state file would destroy them.
bool TraceClashesWithSimulation(const cli::CliOptions& options) {
    if (!options.trace_path || !options.simulate_image) {
        return false;
    }
    for (const std::string& own :
         {*options.simulate_image, StateFilePathFor(*options.simulate_image)}) {
        if (cli::NamesSameFile(*options.trace_path, own)) {
            std::cerr << "ulvren: the trace file " << *options.trace_path
                      << " is the simulated recorder's " << own << "; give another --trace\n";
            return true;
        }
    }
    return false;
}

int Run(const cli::CliOptions& options) {
    if (TraceClashesWithSimulation(options)) {
        return cli::kExitUsage;
    }
    std::optional<SimulatedMachine> machine;
    std::unique_ptr<Host> system_host;
    Host* host = nullptr;
    if (options.simulate_image) {
        SimulatedMachineError error;
        machine = OpenSimulatedMachine(
            {*options.simulate_image, options.size_sectors, options.max_transfer_sectors}, error);
        if (!machine) {
            std::cerr << "ulvren: " << error.text << '\n';
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
            std::cerr << "ulvren: cannot write trace file " << *options.trace_path << '\n';
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
        status = cli::RunCommand(options, SystemUiLanguage(), std::cout, std::cerr);
    }

    // What the tool itself could not do outweighs what the device answered.
    if (tracing) {
        trace_file.close();
        auto failure = tracing->WriteFailure();
        if (!failure && !trace_file) {
            failure = "closing it failed";
        }
        if (failure) {
            std::cerr << "ulvren: cannot write trace file " << *options.trace_path << ": "
                      << *failure << '\n';
            status = cli::kExitCannotRun;
        }
    }
    if (machine) {
        if (const auto file_error = machine->file_errors->First()) {
            std::cerr << "ulvren: " << *file_error << '\n';
            status = cli::kExitCannotRun;
        }
    }
    return status;
}

// Output that could not be written is no success: a full disk behind standard output or error
// makes the run one whose own part the tool could not do.
int WithOutputChecked(int status) {
    std::cout.flush();
    std::cerr.flush();
    return std::cout.fail() || std::cerr.fail() ? cli::kExitCannotRun : status;
}

int RunAndReport(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const auto status = cli::RunAuthorizationCommand(arguments, std::cerr)) {
        return *status;
    }
    const cli::ParseResult parsed = cli::ParseCommandLine(arguments);
    if (!parsed.options) {
        std::cerr << "ulvren: " << parsed.error << "\nTry 'ulvren --help' for more information.\n";
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
        return Run(options);
    } catch (const std::exception& failure) {
        // Nothing should get here; whatever does is reported, not left to abort the process.
        std::cerr << "ulvren: " << failure.what() << '\n';
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
    return WithOutputChecked(RunAndReport(argc, argv));
}
