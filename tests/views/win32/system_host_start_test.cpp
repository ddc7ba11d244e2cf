// UlvrenTool.exe itself under Wine, over the system's host, where no recorder is attached: it
// starts, finds no device, shows text 33 in its capacity field and closes cleanly.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "started_program.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "ui/control_ids.h"
#include "ui/system_language.h"
#include "views/win32/ansi_text.h"

namespace ulvren {
namespace {

std::string CapacityText(HWND window) {
    char text[256] = {};
    GetDlgItemTextA(window, CONTROL_CAPACITY_FIELD, text, sizeof text);
    return views::win32::AnsiToUtf8(text);
}

TEST(SystemHostStart, FindsNoDeviceShowsItAndClosesCleanly) {
    testing::StartedProgram started(ULVREN_TOOL_EXE, "");
    ASSERT_TRUE(started) << ULVREN_TOOL_EXE << ": error " << GetLastError();
    const PROCESS_INFORMATION& process = started.process;
    HWND window = nullptr;
    ASSERT_TRUE(testing::WaitForWindowEvents(process.dwProcessId, [&] {
        window = testing::WindowWithControl(process.dwProcessId, CONTROL_CAPACITY_FIELD);
        return window != nullptr;
    }));

    const std::string not_found =
        LoadLocalizedTextUtf8(TEXT_DEVICE_NOT_FOUND, SystemUiLanguage()).value();
    EXPECT_TRUE(testing::WaitForWindowEvents(process.dwProcessId, [&] {
        return CapacityText(window) == not_found;
    })) << CapacityText(window);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, CONTROL_FORMAT_BUTTON)));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(started.WaitForExit(), 0u);
}

}  // namespace
}  // namespace ulvren
