// UlvrenTool.exe itself under Wine, over the system's host, where no recorder is attached: it
// starts, finds no device, shows text 33 in its capacity field and closes cleanly.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/control_ids.h"
#include "ui/system_language.h"
#include "views/win32/ansi_text.h"

namespace ulvren {
namespace {

constexpr DWORD kPatienceMs = 60000;

// The program's Unix path as Wine names it.
std::string WindowsPath(std::string path) {
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return "Z:" + path;
}

struct Search {
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM data) {
    auto* wanted = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == wanted->process && GetDlgItem(window, CONTROL_CAPACITY_FIELD) != nullptr) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND MainWindowOf(DWORD process) {
    Search search{process};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Window events only wake the waiting thread; what changed is read afresh.
void CALLBACK IgnoreWindowEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {}

std::string CapacityText(HWND window) {
    char text[256] = {};
    GetDlgItemTextA(window, CONTROL_CAPACITY_FIELD, text, sizeof text);
    return views::win32::AnsiToUtf8(text);
}

// Waits until `done` holds, checking it again after each window event of `process` (a window
// shown, a text changed), which are handled while this thread waits for messages.
template <typename Done>
bool WaitForWindowEvents(DWORD process, Done done) {
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, IgnoreWindowEvent,
                                               process, 0, WINEVENT_OUTOFCONTEXT);
    const DWORD deadline = GetTickCount() + kPatienceMs;
    bool held = done();
    while (!held && GetTickCount() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - GetTickCount(), QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        held = done();
    }
    UnhookWinEvent(hook);
    return held;
}

// The started program; ended by force if a check failed before it closed.
struct Started {
    PROCESS_INFORMATION process{};
    ~Started() {
        if (process.hProcess == nullptr) {
            return;
        }
        if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 1);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

TEST(SystemHostStart, FindsNoDeviceShowsItAndClosesCleanly) {
    std::string command = "\"" + WindowsPath(ULVREN_TOOL_EXE) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    Started started;
    PROCESS_INFORMATION& process = started.process;
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << command << ": error " << GetLastError();
    HWND window = nullptr;
    ASSERT_TRUE(WaitForWindowEvents(process.dwProcessId, [&] {
        window = MainWindowOf(process.dwProcessId);
        return window != nullptr;
    }));

    const std::string not_found =
        LoadLocalizedTextUtf8(TEXT_DEVICE_NOT_FOUND, SystemUiLanguage()).value();
    EXPECT_TRUE(WaitForWindowEvents(process.dwProcessId, [&] {
        return CapacityText(window) == not_found;
    })) << CapacityText(window);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, CONTROL_FORMAT_BUTTON)));

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, kPatienceMs), WAIT_OBJECT_0);
    DWORD exit_code = 1;
    GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 0u);
}

}  // namespace
}  // namespace ulvren
