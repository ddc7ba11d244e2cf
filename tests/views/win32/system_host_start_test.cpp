// UlvrenTool.exe itself under Wine, over the system's host, where no recorder is attached: it
// starts, finds no device, shows text 33 in its capacity field and closes cleanly.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "host/platform.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/control_ids.h"
#include "views/win32/ansi_text.h"

namespace ulvren {
namespace {

constexpr DWORD kPatienceMs = 20000;

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

HWND MainWindowOf(DWORD process) {
    Search search{process};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* wanted = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == wanted->process && GetDlgItem(window, CONTROL_CAPACITY_FIELD) != nullptr) {
                wanted->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string CapacityText(HWND window) {
    char text[256] = {};
    GetDlgItemTextA(window, CONTROL_CAPACITY_FIELD, text, sizeof text);
    return win32::AnsiToUtf8(text);
}

// Every change of a window's text is a name-change event; they are handled while this thread
// waits for messages.
std::string WaitForCapacityText(HWND window, DWORD process, const std::string& expected) {
    const HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {}, process, 0,
        WINEVENT_OUTOFCONTEXT);
    const DWORD deadline = GetTickCount() + kPatienceMs;
    std::string text = CapacityText(window);
    while (text != expected && GetTickCount() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - GetTickCount(), QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        text = CapacityText(window);
    }
    UnhookWinEvent(hook);
    return text;
}

TEST(SystemHostStart, FindsNoDeviceShowsItAndClosesCleanly) {
    std::string command = "\"" + WindowsPath(ULVREN_TOOL_EXE) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << command << ": error " << GetLastError();
    ASSERT_EQ(WaitForInputIdle(process.hProcess, kPatienceMs), 0u);
    const HWND window = MainWindowOf(process.dwProcessId);
    ASSERT_NE(window, nullptr);

    const std::string not_found =
        LoadLocalizedTextUtf8(TEXT_DEVICE_NOT_FOUND, platform::SystemUiLanguage()).value();
    EXPECT_EQ(WaitForCapacityText(window, process.dwProcessId, not_found), not_found);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, CONTROL_FORMAT_BUTTON)));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, kPatienceMs), WAIT_OBJECT_0);
    DWORD exit_code = 1;
    GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace ulvren
