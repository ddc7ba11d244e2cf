#include "started_program.h"

namespace ulvren::testing {
namespace {

// The program's Unix path as Wine names it.
std::string WindowsPath(std::string path) {
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return "Z:" + path;
}

struct Search {
    DWORD process;
    int control;
    HWND found = nullptr;
};

BOOL CALLBACK FindWindowWithControl(HWND window, LPARAM data) {
    auto* wanted = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == wanted->process && IsWindowVisible(window) &&
        GetDlgItem(window, wanted->control) != nullptr) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

constexpr DWORD kRecheckMs = 20;

// Window events only wake the waiting thread; what changed is read afresh.
void CALLBACK IgnoreWindowEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {}

}  // namespace

StartedProgram::StartedProgram(const std::string& unix_path, const std::string& arguments,
                               const std::string& output_file) {
    std::string command = "\"" + WindowsPath(unix_path) + "\"" + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    HANDLE output = nullptr;
    if (!output_file.empty()) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        output = CreateFileA(output_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                             CREATE_ALWAYS, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                        nullptr, &startup, &process)) {
        process = {};
    }
    if (output != nullptr) {
        CloseHandle(output);
    }
}

StartedProgram::~StartedProgram() {
    if (process.hProcess == nullptr) {
        return;
    }
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kPatienceMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

DWORD StartedProgram::WaitForExit() const {
    DWORD exit_code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, kPatienceMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exit_code);
    }
    return exit_code;
}

bool WaitForWindowEvents(DWORD process, bool (*done)(void*), void* context) {
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, IgnoreWindowEvent,
                                               process, 0, WINEVENT_OUTOFCONTEXT);
    const DWORD start = GetTickCount();
    bool held = done(context);
    while (!held && GetTickCount() - start < kPatienceMs) {
        // Not every change raises an event under Wine (a static's new text may not): the
        // condition is read again at least every few milliseconds.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kRecheckMs, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        held = done(context);
    }
    UnhookWinEvent(hook);
    return held;
}

HWND WindowWithControl(DWORD process, int control) {
    Search search{process, control};
    EnumWindows(FindWindowWithControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace ulvren::testing
