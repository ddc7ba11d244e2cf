// UlvrenToolDemo.exe as its users meet it, under Wine: its start-up check, then every button of
// its main window and the plugs of its "Simulated devices" window, driven with messages from this
// process as clicks and keys would, over a recorder in a folder of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "started_program.h"
#include "text/text_catalogue.h"
#include "text/text_ids.h"
#include "text/utf_conversion.h"
#include "ui/control_ids.h"
#include "ui/system_language.h"
#include "window_driver.h"

namespace ulvren::testing {
namespace {

constexpr int kMessageBoxText = 0xFFFF;  // the static text of a message box
// The device window's check boxes, in the order of the demo's drives.
constexpr int kRecorderSwitch = 100;
constexpr int kUsbDiskSwitch = 102;

std::string Text(TextId text) {
    return LoadLocalizedTextUtf8(text, SystemUiLanguage()).value_or("(no text)");
}

// What a click on a button tells its window, a check box's toggle first: BM_CLICK's emulated mouse
// may lose its capture to another program's window on a busy desktop.
void Press(HWND window, int control) {
    const HWND button = GetDlgItem(window, control);
    if ((GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
        const LRESULT checked = SendMessageA(button, BM_GETCHECK, 0, 0);
        SendMessageA(button, BM_SETCHECK, checked == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    }
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

class DemoFlow : public ::testing::Test {
  protected:
    // The demo keeps its recorder under %LOCALAPPDATA%, which the started programs inherit.
    DemoFlow() {
        std::filesystem::create_directories(folder);
        SetEnvironmentVariableA("LOCALAPPDATA", folder.string().c_str());
    }
    ~DemoFlow() override {
        std::error_code ignored;  // a program ended by force may hold a file a moment longer
        std::filesystem::remove_all(folder, ignored);
    }

    // The window of the demo with `control`, once it is up.
    HWND Window(const StartedProgram& demo, int control) {
        HWND found = nullptr;
        WaitForWindowEvents(demo.process.dwProcessId, [&] {
            found = WindowWithControl(demo.process.dwProcessId, control);
            return found != nullptr;
        });
        return found;
    }

    // Waits until the main window's capacity field says `done` of it.
    template <typename Done>
    bool CapacityBecomes(const StartedProgram& demo, HWND main, Done done) {
        return WaitForWindowEvents(demo.process.dwProcessId,
                                   [&] { return done(ControlText(main, CONTROL_CAPACITY_FIELD)); });
    }

    // The next message box: its text; closed with OK, and gone before this returns.
    std::string TakeMessageBox(const StartedProgram& demo) {
        const HWND box = Window(demo, kMessageBoxText);
        if (box == nullptr) {
            return "(no message box)";
        }
        std::string text = ControlText(box, kMessageBoxText);
        Press(box, IDOK);
        WaitForWindowEvents(demo.process.dwProcessId, [&] { return !IsWindow(box); });
        return text;
    }

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("ulvren-demo-test-" + std::to_string(GetCurrentProcessId()));
};

const auto kFound = [](const std::string& capacity) { return capacity.ends_with(" MB"); };

TEST_F(DemoFlow, ChecksItsStartThenRunsEveryButtonAndPlugsDisks) {
    // --check: finds the recorder, says what the window shows, exits with 0.
    const std::string output = (folder / "check.txt").string();
    {
        const StartedProgram check(ULVREN_DEMO_EXE, " --check", output);
        ASSERT_TRUE(check) << ULVREN_DEMO_EXE;
        EXPECT_EQ(check.WaitForExit(), 0u);
    }
    std::stringstream printed;
    printed << std::ifstream(output).rdbuf();
    EXPECT_NE(printed.str().find("capacity field \"8192 MB\"; recorder found"), std::string::npos)
        << printed.str();

    const StartedProgram demo(ULVREN_DEMO_EXE, "");
    ASSERT_TRUE(demo);
    const HWND main = Window(demo, CONTROL_CAPACITY_FIELD);
    const HWND devices = Window(demo, kRecorderSwitch);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(devices, nullptr);
    EXPECT_EQ(WindowText(devices), "Simulated devices");
    ASSERT_TRUE(CapacityBecomes(demo, main, kFound));

    // Format as a password disk, log in, change the password, set the clock: each ends with its
    // box.
    const HWND list = GetDlgItem(main, CONTROL_DISK_TYPE_LIST);
    SendMessageA(list, CB_SETCURSEL, 1, 0);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(CONTROL_DISK_TYPE_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    Press(main, CONTROL_FORMAT_BUTTON);
    EXPECT_EQ(TakeMessageBox(demo), Text(TEXT_FORMAT_OK));

    Press(main, CONTROL_LOGIN_BUTTON);
    const HWND login = Window(demo, CONTROL_PASSWORD_EDIT);
    ASSERT_NE(login, nullptr);
    Press(login, IDOK);
    EXPECT_EQ(TakeMessageBox(demo), Text(TEXT_LOGIN_OK));

    Press(main, CONTROL_CHANGE_PASSWORD_BUTTON);
    const HWND change = Window(demo, CONTROL_NEW_PASSWORD_EDIT);
    ASSERT_NE(change, nullptr);
    Type(change, CONTROL_NEW_PASSWORD_EDIT, "secret");
    Type(change, CONTROL_CONFIRM_PASSWORD_EDIT, "secret");
    Press(change, IDOK);
    EXPECT_EQ(TakeMessageBox(demo), Text(TEXT_PASSWORD_CHANGED));

    Press(main, CONTROL_SET_CLOCK_BUTTON);
    EXPECT_EQ(TakeMessageBox(demo), Text(TEXT_CLOCK_SET));

    // The device window's plugs reach the main window as the system's notices: the recorder
    // unplugged, then back beside the USB disk, then unplugged again, which leaves the USB disk
    // alone: no recorder.
    Press(devices, kRecorderSwitch);
    EXPECT_TRUE(CapacityBecomes(demo, main, [](const std::string& capacity) {
        return capacity == Text(TEXT_DEVICE_NOT_FOUND);
    }));
    Press(devices, kUsbDiskSwitch);
    Press(devices, kRecorderSwitch);
    EXPECT_TRUE(CapacityBecomes(demo, main, kFound)) << ControlText(main, CONTROL_CAPACITY_FIELD);
    Press(devices, kRecorderSwitch);
    EXPECT_TRUE(CapacityBecomes(demo, main, [](const std::string& capacity) {
        return capacity == Text(TEXT_DEVICE_NOT_FOUND);
    }));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(demo.WaitForExit(), 0u);
}

}  // namespace
}  // namespace ulvren::testing
