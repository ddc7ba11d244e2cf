// The Win32 main window and password dialogs over the windows' logic and the simulated recorder,
// under Wine: driven with messages as a user would, read back from the controls.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <utility>
#include <vector>
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

std::string Localized(TextId text, UiLanguage language) {
    return LoadLocalizedTextUtf8(text, language).value_or("(no text)");
}

std::string English(TextId text) {
    return Localized(text, UiLanguage::EnglishUnitedStates);
}

// The main window over a machine with a fixed disk, its recorder not plugged in yet.
class WindowFlow : public ::testing::Test {
  protected:
    explicit WindowFlow(UiLanguage ui_language = UiLanguage::EnglishUnitedStates)
        : language(ui_language) {
        machine.AddDrive("C:\\", DriveKind::Fixed);
    }

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

    // Plugs a password disk in and waits for the detection that its arrival starts.
    void PlugPasswordDisk() {
        RecorderSettings password_disk;
        password_disk.disk_type = 2;
        recorder = MakeRecorder(100'000, password_disk);
        machine.AddRecorder("E:\\", recorder);
        const int sessions = mutex->Sessions();
        SendMessageA(main, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
        EXPECT_TRUE(mutex->WaitForSessions(sessions + 1));
        driver.Flush(main);
    }

    SimulatedHost machine;
    ScopedHost installed{machine};
    std::shared_ptr<RecorderFirmware> recorder;
    std::shared_ptr<CountingDeviceMutex> mutex =
        std::make_shared<CountingDeviceMutex>(std::make_shared<QueuedDeviceMutex>(nullptr));
    FixedClock clock{{2026, 12, 9, 10, 11, 12}};
    views::win32::MainWindowDialog view{GetModuleHandleA(nullptr)};
    UiLanguage language;
    CToolDlg logic{view, {mutex, &clock, [this] { return language; }}};
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

// What is pasted into the change-password dialog's edits reaches the recorder as the code page's
// bytes, or, when the code page cannot hold a character, the edit refuses it and keeps what it
// held: never question marks or look-alike letters.
struct PastedPassword {
    UiLanguage language;
    const char* pasted;
    const char* stored;  // after "ab" typed in both edits
};

class PastedPasswords : public WindowFlow, public ::testing::WithParamInterface<PastedPassword> {
  protected:
    PastedPasswords() : WindowFlow(GetParam().language) {}
};

TEST_P(PastedPasswords, ReachTheRecorderAsTypedOrNotAtAll) {
    ASSERT_NE(main, nullptr);
    PlugPasswordDisk();
    Click(main, CONTROL_CHANGE_PASSWORD_BUTTON);
    const HWND change = driver.NextDialog();
    ASSERT_NE(change, nullptr);
    for (const int edit : {CONTROL_NEW_PASSWORD_EDIT, CONTROL_CONFIRM_PASSWORD_EDIT}) {
        Type(change, edit, "ab");
        Paste(change, edit, GetParam().pasted);
    }
    const int sessions = mutex->Sessions();
    SendMessageA(GetDlgItem(change, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeMessageBox(), Localized(TEXT_PASSWORD_CHANGED, GetParam().language));
    ASSERT_TRUE(mutex->WaitForSessions(sessions + 1));
    EXPECT_EQ(recorder->Settings().password, GetParam().stored);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.WaitUntilClosed());
}

INSTANTIATE_TEST_SUITE_P(
    WindowFlow, PastedPasswords,
    ::testing::Values(PastedPassword{UiLanguage::EnglishUnitedStates, "pāss", "ab"},
                      PastedPassword{UiLanguage::EnglishUnitedStates, "äß", "ab\xE4\xDF"},
                      PastedPassword{UiLanguage::ChineseTraditional, "密码", "ab"},
                      PastedPassword{UiLanguage::ChineseTraditional, "密碼", "ab\xB1\x4B\xBD\x58"},
                      PastedPassword{UiLanguage::ChineseSimplified, "密码", "ab\xC3\xDC\xC2\xEB"}));

// A control that detection disables while it has the focus hands it on to the next tab stop, so
// the keyboard still reaches the window; after an unplug Login stays on, and a login then finds
// no device at the kept path and says so.
TEST_F(WindowFlow, AnUnplugLeavesTheFocusOnAControlAndALoginThatSaysTheDeviceIsGone) {
    ASSERT_NE(main, nullptr);
    // At start-up the focus goes to Set, which the detection that finds nothing disables; the
    // checked radio button is its group's tab stop.
    ASSERT_TRUE(mutex->WaitForSessions(1));
    driver.Flush(main);
    EXPECT_EQ(FocusedControl(main), CONTROL_SYSTEM_TIME_RADIO);
    PlugPasswordDisk();
    PostMessageA(main, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(main, CONTROL_FORMAT_BUTTON)), TRUE);
    driver.Flush(main);
    machine.Unplug("E:\\");
    const int sessions = mutex->Sessions();
    SendMessageA(main, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
    ASSERT_TRUE(mutex->WaitForSessions(sessions + 1));
    driver.Flush(main);
    // Format had it, then the list, which went off next.
    EXPECT_EQ(FocusedControl(main), CONTROL_DATE_PICKER);
    Click(main, CONTROL_LOGIN_BUTTON);
    const HWND login = driver.NextDialog();
    ASSERT_NE(login, nullptr);
    SendMessageA(GetDlgItem(login, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeMessageBox(), English(TEXT_DEVICE_NOT_FOUND) + "\nno such device: \\\\?\\E:");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.WaitUntilClosed());
}

// The two seconds before a login's success box: the window paints (a part of it made invalid is
// drawn again before the box comes).
TEST_F(WindowFlow, TheWindowPaintsDuringThePauseAfterALogin) {
    ASSERT_NE(main, nullptr);
    PlugPasswordDisk();
    Click(main, CONTROL_LOGIN_BUTTON);
    const HWND login = driver.NextDialog();
    ASSERT_NE(login, nullptr);
    const std::size_t dialogs = driver.DialogsShown();
    const int sessions = mutex->Sessions();
    SendMessageA(GetDlgItem(login, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(mutex->WaitForSessions(sessions + 1));
    const auto invalidated = std::chrono::steady_clock::now();
    InvalidateRect(main, nullptr, TRUE);
    // Polled: painting is what the window does when nothing else is queued.
    RECT update{};
    while (GetUpdateRect(main, &update, FALSE) &&
           std::chrono::steady_clock::now() - invalidated < std::chrono::seconds(30)) {
        Sleep(10);
    }
    EXPECT_EQ(driver.DialogsShown(), dialogs) << "painted only once the box was up";
    EXPECT_EQ(TakeMessageBox(), English(TEXT_LOGIN_OK));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.WaitUntilClosed());
}

// Every caption shows whole: in English, whose texts are wider than the Chinese ones that the
// templates were drawn for, the controls that need it grow and nothing overlaps or leaves the
// dialog; in Chinese every control stays where its template puts it.
class CaptionsInLanguage : public WindowFlow, public ::testing::WithParamInterface<UiLanguage> {
  protected:
    CaptionsInLanguage() : WindowFlow(GetParam()) {}

    void Check(HWND dialog, const DialogTemplate& dialog_template) {
        const HDC context = GetDC(dialog);
        const HGDIOBJ old_font =
            SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
        RECT client{};
        GetClientRect(dialog, &client);
        std::vector<RECT> solid;  // every control but the group boxes
        for (const ControlTemplate& control : dialog_template.controls) {
            const HWND window = GetDlgItem(dialog, control.id);
            RECT rect{};
            GetWindowRect(window, &rect);
            MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
            // Position and width as the dialog manager maps them, each on its own.
            RECT drawn{control.rect.x, control.rect.y, control.rect.width, 0};
            MapDialogRect(dialog, &drawn);
            if (GetParam() != UiLanguage::EnglishUnitedStates) {
                EXPECT_EQ(rect.left, drawn.left) << control.id;
                EXPECT_EQ(rect.top, drawn.top) << control.id;
                EXPECT_EQ(rect.right - rect.left, drawn.right) << control.id;
                continue;
            }
            const std::u16string text = Utf8ToUtf16(ControlText(dialog, control.id)).value();
            SIZE extent{};
            GetTextExtentPoint32W(context, reinterpret_cast<const wchar_t*>(text.c_str()),
                                  static_cast<int>(text.size()), &extent);
            const int beside = control.kind == ControlKind::AutoCheckBox ||
                                       control.kind == ControlKind::AutoRadioButton
                                   ? GetSystemMetrics(SM_CXMENUCHECK)
                                   : 0;
            EXPECT_LE(extent.cx + beside, rect.right - rect.left) << control.id;
            EXPECT_TRUE(rect.left >= 0 && rect.right <= client.right) << control.id;
            if (control.kind == ControlKind::GroupBox) {
                continue;
            }
            for (const RECT& other : solid) {
                RECT overlap{};
                EXPECT_FALSE(IntersectRect(&overlap, &rect, &other)) << control.id;
            }
            solid.push_back(rect);
        }
        SelectObject(context, old_font);
        ReleaseDC(dialog, context);
    }
};

TEST_P(CaptionsInLanguage, ShowWholeInEveryDialog) {
    ASSERT_NE(main, nullptr);
    PlugPasswordDisk();
    Check(main, MainWindowTemplate());
    for (const auto& [button, dialog_template] :
         {std::pair{CONTROL_LOGIN_BUTTON, &EnterPasswordTemplate()},
          std::pair{CONTROL_CHANGE_PASSWORD_BUTTON, &ChangePasswordTemplate()}}) {
        Click(main, button);
        const HWND dialog = driver.NextDialog();
        ASSERT_NE(dialog, nullptr);
        Check(dialog, *dialog_template);
        SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        driver.Flush(main);
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.WaitUntilClosed());
}

INSTANTIATE_TEST_SUITE_P(WindowFlow, CaptionsInLanguage,
                         ::testing::Values(UiLanguage::EnglishUnitedStates,
                                           UiLanguage::ChineseSimplified,
                                           UiLanguage::ChineseTraditional));

}  // namespace
}  // namespace ulvren::testing
