// The Win32 main window and password dialogs over the windows' logic and the simulated recorder,
// under Wine: driven with messages as a user would, read back from the controls.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: dbt.h needs its types.
#include <dbt.h>

#include "fake_main_window_view.h"
#include "hosts/simulated/simulated_host.h"
#include "operations/queued_device_mutex.h"
#include "support/simulated_recorders.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "text/utf_conversion.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "views/win32/main_window_view.h"
#include "views/win32/message_box.h"
#include "window_driver.h"

namespace ulvren::testing {
namespace {

constexpr int kMessageBoxText = 0xFFFF;  // the static text of a message box

std::string English(TextId text) {
    return LoadLocalizedTextUtf8(text, UiLanguage::EnglishUnitedStates).value_or("(no text)");
}

// The main window over a machine with a fixed disk, its recorder not plugged in yet.
class WindowFlow : public ::testing::Test {
  protected:
    WindowFlow() { machine.AddDrive("C:\\", DriveKind::Fixed); }

    // The next message box: its text, after checking its caption; closed with OK.
    std::string TakeMessageBox() {
        const HWND box = driver.NextDialog();
        if (box == nullptr) {
            return "(no message box)";
        }
        EXPECT_EQ(WindowText(box), views::win32::ExecutableName());
        std::string text = ControlText(box, kMessageBoxText);
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        driver.Flush(main);
        return text;
    }

    SimulatedHost machine;
    ScopedHost installed{machine};
    std::shared_ptr<CountingDeviceMutex> mutex =
        std::make_shared<CountingDeviceMutex>(std::make_shared<QueuedDeviceMutex>(nullptr));
    FixedClock clock{{2026, 12, 9, 10, 11, 12}};
    views::win32::MainWindowDialog view{GetModuleHandleA(nullptr)};
    CToolDlg logic{view, {mutex, &clock, [] { return UiLanguage::EnglishUnitedStates; }}};
    WindowDriver driver{[this] { view.Run(logic); }};
    HWND main = driver.NextDialog();
};

TEST_F(WindowFlow, FindsTheRecorderFormatsItAndGuardsThePasswords) {
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), "Ulvren Tool");

    // No recorder: the capacity field says so, and the device's controls stay off.
    ASSERT_TRUE(mutex->WaitForSessions(1));
    driver.Flush(main);
    EXPECT_EQ(ControlText(main, CONTROL_CAPACITY_FIELD), English(TEXT_DEVICE_NOT_FOUND));
    for (const int control :
         {CONTROL_FORMAT_BUTTON, CONTROL_SET_CLOCK_BUTTON, CONTROL_DISK_TYPE_LIST,
          CONTROL_LOGIN_BUTTON, CONTROL_CHANGE_PASSWORD_BUTTON}) {
        EXPECT_FALSE(ControlEnabled(main, control)) << control;
    }
    EXPECT_EQ(ControlText(main, CONTROL_FORMAT_BUTTON), English(TEXT_FORMAT));

    // The recorder arrives: detection finds a public disk.
    machine.AddRecorder("E:\\", MakeRecorder(1'048'576));  // 512 MiB: FAT32 holds it
    SendMessageA(main, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    ASSERT_TRUE(mutex->WaitForSessions(2));
    driver.Flush(main);
    for (const int control :
         {CONTROL_FORMAT_BUTTON, CONTROL_SET_CLOCK_BUTTON, CONTROL_DISK_TYPE_LIST}) {
        EXPECT_TRUE(ControlEnabled(main, control)) << control;
    }
    EXPECT_FALSE(ControlEnabled(main, CONTROL_LOGIN_BUTTON));
    EXPECT_EQ(ControlText(main, CONTROL_CAPACITY_FIELD), "512 MB");
    const HWND list = GetDlgItem(main, CONTROL_DISK_TYPE_LIST);
    ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 2);
    for (int index = 0; index < 2; ++index) {
        wchar_t item[32] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(Utf16ToUtf8(reinterpret_cast<const char16_t*>(item)), kDiskTypeListItems[index]);
    }

    // Format as a password disk: Login and Change password come on, then the success box.
    SendMessageA(list, CB_SETCURSEL, 1, 0);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(CONTROL_DISK_TYPE_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    Click(main, CONTROL_FORMAT_BUTTON);
    EXPECT_EQ(TakeMessageBox(), English(TEXT_FORMAT_OK));
    EXPECT_TRUE(ControlEnabled(main, CONTROL_LOGIN_BUTTON));
    EXPECT_TRUE(ControlEnabled(main, CONTROL_CHANGE_PASSWORD_BUTTON));
    ASSERT_TRUE(mutex->WaitForSessions(3));

    // The enter-password dialog refuses a 13th character.
    Click(main, CONTROL_LOGIN_BUTTON);
    const HWND login = driver.NextDialog();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(WindowText(login), English(TEXT_ENTER_PASSWORD));
    EXPECT_EQ(ControlText(login, CONTROL_PASSWORD_LABEL), English(TEXT_PASSWORD));
    Type(login, CONTROL_PASSWORD_EDIT, "abcdefghijklm");
    EXPECT_EQ(ControlText(login, CONTROL_PASSWORD_EDIT), "abcdefghijkl");
    SendMessageA(GetDlgItem(login, IDCANCEL), BM_CLICK, 0, 0);
    driver.Flush(main);

    // A confirmation that differs: text 20, and nothing goes to the recorder.
    const std::size_t requests = machine.Requests().size();
    Click(main, CONTROL_CHANGE_PASSWORD_BUTTON);
    const HWND change = driver.NextDialog();
    ASSERT_NE(change, nullptr);
    EXPECT_EQ(WindowText(change), English(TEXT_CHANGE_PASSWORD));
    Type(change, CONTROL_OLD_PASSWORD_EDIT, "");
    Type(change, CONTROL_NEW_PASSWORD_EDIT, "secret");
    Type(change, CONTROL_CONFIRM_PASSWORD_EDIT, "Secret");
    SendMessageA(GetDlgItem(change, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeMessageBox(), English(TEXT_PASSWORD_MISMATCH));
    EXPECT_EQ(machine.Requests().size(), requests);
    EXPECT_EQ(mutex->Sessions(), 3);

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.WaitUntilClosed());
}

}  // namespace
}  // namespace ulvren::testing
