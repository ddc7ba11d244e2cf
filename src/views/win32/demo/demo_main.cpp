// UlvrenToolDemo.exe: the main window over a simulated recorder, with a second window that plugs
// and unplugs the recorder and a USB disk that is no recorder.
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "host/platform.h"
#include "hosts/simulated/demo_machine.h"
#include "operations/device_mutex.h"
#include "ui/program_arguments.h"
#include "ui/system_language.h"
#include "views/win32/demo/device_window.h"
#include "views/win32/demo/startup_check.h"
#include "views/win32/message_box.h"
#include "views/win32/tool_app.h"

using namespace ulvren;

namespace {

constexpr std::string_view kCheck = "--check";
constexpr ProgramDescription kProgram{
    "UlvrenToolDemo",
    "usage: UlvrenToolDemo [--check]\n"
    "  The recorder tool's window over a simulated recorder. The recorder's image and settings\n"
    "  live in %LOCALAPPDATA%\\UlvrenToolDemo.\n"
    "  --check        start, detect the recorder, print what the window shows, and exit\n"
    "                 (0 when the recorder was found)\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n",
    ULVREN_VERSION};

// A program of the GUI subsystem gets no console. Its output goes where the standard handles
// lead (a file or pipe its starter gave it), else to the console of the program that started
// it, where there is one.
void ConnectOutput() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((output == nullptr || output == INVALID_HANDLE_VALUE) &&
        AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

// The demo's folder under the user's local application data, made when it is missing; empty
// when that fails.
std::string DemoFolder() {
    char local[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    const std::string folder = std::string(local) + "\\UlvrenToolDemo";
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return {};
    }
    return folder;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ConnectOutput();
    if (const auto status = AnswerHelpOrVersion(kProgram, __argc, __argv, std::cout)) {
        return *status;
    }
    const std::vector<std::string> arguments(__argv + 1, __argv + __argc);
    constexpr std::array<std::string_view, 1> kFlags{kCheck};
    if (const auto status = RefuseUnknownArguments(kProgram, arguments, kFlags, std::cerr)) {
        return *status;
    }
    const bool check = !arguments.empty();
    // A failure to start is told on the error output and, for someone who started the window
    // without one, in a box.
    const auto fail = [&](const std::string& text, int status) {
        std::cerr << "UlvrenToolDemo: " << text << std::endl;
        if (!check) {
            views::win32::ShowExclamationBox(nullptr, text);
        }
        return status;
    };

    const std::string folder = DemoFolder();
    if (folder.empty()) {
        return fail("cannot create the folder UlvrenToolDemo in %LOCALAPPDATA%", 2);
    }
    SimulatedMachineError error;
    std::optional<DemoMachine> demo = OpenDemoMachine(folder, error);
    if (!demo) {
        return fail(error.text, error.kind == SimulatedMachineError::Kind::BadOptions ? 2 : 3);
    }
    SimulatedHost& host = *demo->machine.host;
    ScopedHost installed(host);
    const CToolDlg::Environment environment{OpenDeviceMutex(), &platform::SystemClock(),
                                            &SystemUiLanguage};
    views::win32::CToolApp app(instance);
    if (check) {
        views::win32::StartupCheck startup_check(std::cout);
        app.Run(environment, &startup_check);
        return startup_check.ExitCode();
    }
    views::win32::DeviceWindow devices(instance, host, SimulatedMachine::kRecorderRoot,
                                       demo->image_path, DemoMachine::kSecondRecorderRoot);
    return app.Run(environment, &devices);
}
