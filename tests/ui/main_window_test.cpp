// The main window's logic and the password dialogs, against a fake view and the simulated
// recorder, with the workers on their own threads.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fake_main_window_view.h"
#include "hosts/simulated/simulated_host.h"
#include "operations/queued_device_mutex.h"
#include "support/simulated_recorders.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"

namespace ulvren::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr LocalDateTime kNow{2026, 12, 9, 10, 11, 12};
const std::string kCapacityBox =
    "box Format failed: the recorder's capacity is outside what FAT32 can hold with 4 KiB "
    "clusters. Nothing was written.";
const std::string kRecorderRoot = "E:\\";

// A machine with a fixed disk and, unless told otherwise, the recorder; the main window over it.
struct WindowBench {
    explicit WindowBench(std::optional<RecorderSettings> recorder = RecorderSettings{},
                         UiLanguage ui_language = UiLanguage::EnglishUnitedStates,
                         std::uint64_t sectors = 100'000)
        : language(ui_language) {
        machine.AddDrive("C:\\", DriveKind::Fixed);
        if (recorder) {
            machine.AddRecorder(kRecorderRoot, MakeRecorder(sectors, *recorder));
        }
        // The template starts the list disabled.
        view.controls[CONTROL_DISK_TYPE_LIST].enabled = false;
    }

    // Waits until `sessions` device sessions have ended in all, then hands the window every
    // worker event that has come in, as its thread would, until no format is left running (a
    // format's worker says that it ended after its session).
    void Settle(int sessions) {
        ASSERT_TRUE(mutex->WaitForSessions(sessions));
        Pump();
        while (view.format_running) {
            ASSERT_TRUE(view.WaitForNotice());
            Pump();
        }
    }
    void Pump() {
        for (int notices = view.TakeNotices(); notices > 0; notices = view.TakeNotices()) {
            for (; notices > 0; --notices) {
                window.OnWorkerEvent();
            }
        }
    }
    void Start() {
        window.OnInitDialog();
        Settle(1);
        view.log.clear();
    }
    void Select(int index) {
        view.SetListSelection(CONTROL_DISK_TYPE_LIST, index);
        window.OnCommand(CONTROL_DISK_TYPE_LIST);
    }
    bool Enabled(int control) { return view.controls[control].enabled; }

    UiLanguage language;
    SimulatedHost machine;
    ScopedHost installed{machine};
    std::shared_ptr<CountingDeviceMutex> mutex =
        std::make_shared<CountingDeviceMutex>(std::make_shared<QueuedDeviceMutex>(nullptr));
    FixedClock clock{kNow};
    FakeMainWindowView view;
    CToolDlg window{view, {mutex, &clock, [this] { return language; }}};
};

struct StartUpCase {
    const char* name;
    std::optional<std::uint8_t> disk_type;  // none: no recorder attached
    const char* capacity;
    bool device_controls;
    bool password_controls;
    int selection;
};

class StartUpTest : public ::testing::TestWithParam<StartUpCase> {};

TEST_P(StartUpTest, DetectsAndShowsWhatItFound) {
    const StartUpCase& c = GetParam();
    std::optional<RecorderSettings> recorder;
    if (c.disk_type) {
        recorder = RecorderSettings{};
        recorder->disk_type = *c.disk_type;
    }
    WindowBench bench(recorder);
    bench.Start();

    EXPECT_EQ(bench.view.Text(CONTROL_CAPACITY_FIELD), c.capacity);
    for (const int control :
         {CONTROL_FORMAT_BUTTON, CONTROL_DISK_TYPE_LIST, CONTROL_SET_CLOCK_BUTTON}) {
        EXPECT_EQ(bench.Enabled(control), c.device_controls) << control;
    }
    for (const int control : {CONTROL_LOGIN_BUTTON, CONTROL_CHANGE_PASSWORD_BUTTON}) {
        EXPECT_EQ(bench.Enabled(control), c.password_controls) << control;
    }
    EXPECT_EQ(bench.view.ListSelection(CONTROL_DISK_TYPE_LIST), c.selection);
    EXPECT_TRUE(bench.view.log.empty()) << bench.view.log.front();

    // What every start-up does.
    EXPECT_EQ(bench.view.Text(CONTROL_CURRENT_TIME), "2026-12-09 10:11:12");
    EXPECT_EQ(bench.view.DateTime(CONTROL_DATE_PICKER), kNow);
    EXPECT_EQ(bench.view.DateTime(CONTROL_TIME_PICKER), kNow);
    EXPECT_TRUE(bench.view.Checked(CONTROL_SYSTEM_TIME_RADIO));
    EXPECT_TRUE(bench.view.Checked(CONTROL_TIME_STAMP_CHECK));
    EXPECT_EQ(bench.view.Text(CONTROL_SET_CLOCK_BUTTON), "Set");
    EXPECT_EQ(bench.view.Text(CONTROL_DATE_TIME_GROUP), "Manage Date/Time ");
    EXPECT_EQ(bench.view.Text(CONTROL_DISK_TYPE_LABEL), "USB Disk Type");
    EXPECT_EQ(bench.view.focus, CONTROL_SET_CLOCK_BUTTON);
    EXPECT_EQ(bench.view.icon, IDI_APPLICATION_ICON);
    EXPECT_EQ(bench.view.timer, std::chrono::milliseconds(1000));
}

INSTANTIATE_TEST_SUITE_P(Devices, StartUpTest,
                         ::testing::Values(StartUpCase{"NoDevice", std::nullopt, "Device not found",
                                                       false, false, -1},
                                           StartUpCase{"PublicDisk", 1, "48 MB", true, false, 0},
                                           StartUpCase{"PasswordDisk", 2, "48 MB", true, true, 1}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(MainWindow, ReactsToEveryStatusAndThenRefreshes) {
    struct Case {
        int status;
        int index;
        Strings log;
        const char* capacity;  // after the refresh
    };
    const Case cases[] = {
        {STATUS_OPEN_FAILED, 0, {}, "kept"},
        {STATUS_DETECT_DONE, 0, {}, "kept"},
        {STATUS_DEVICE_NOT_FOUND, 0, {}, "Device not found"},
        {STATUS_FORMAT_OK,
         0,
         {"disable 1019", "disable 1011", "pause 2000", "box Format successfully!"},
         "kept"},
        {STATUS_FORMAT_OK,
         1,
         {"enable 1019", "enable 1011", "pause 2000", "box Format successfully!"},
         "kept"},
        {STATUS_FORMAT_FAILED, 0, {"box Format failed!"}, "kept"},
        {STATUS_OLD_PASSWORD_WRONG, 0, {"box Incorrect old password!"}, "kept"},
        {STATUS_PASSWORD_CHANGED, 0, {"box Change password successfully!"}, "kept"},
        {STATUS_PASSWORD_CHANGE_FAILED, 0, {"box Change password failed!"}, "kept"},
        {STATUS_LOGIN_OK, 0, {"pause 2000", "box Login successfully!"}, "kept"},
        {STATUS_LOGIN_FAILED, 0, {"box Login failed!"}, "kept"},
        {STATUS_CLOCK_SET, 0, {"box Set Date/Time successfully!"}, "kept"},
        {STATUS_CLOCK_SET_FAILED, 0, {"box Set Date/Time failed!"}, "kept"},
        {STATUS_DISK_TYPE_SET, 0, {}, "kept"},
        {STATUS_DISK_TYPE_SET_FAILED, 0, {}, "kept"},
        {STATUS_CAPACITY_OK, 0, {}, "kept"},
        {STATUS_CAPACITY_UNKNOWN, 0, {}, "Unknown capacity"},
        {STATUS_DISK_TYPE_OK, 0, {}, "kept"},
        {STATUS_DISK_TYPE_UNKNOWN, 0, {}, "kept"},
        {STATUS_FORMAT_CAPACITY_OUTSIDE_FAT32, 1, {kCapacityBox}, "kept"},
        {0, 0, {}, "kept"},
        {20, 0, {}, "kept"},
        {1000, 0, {}, "kept"},
    };
    for (const Case& c : cases) {
        WindowBench bench;
        bench.Start();
        bench.view.SetText(CONTROL_CAPACITY_FIELD, "kept");
        bench.Select(c.index);  // takes the capacity field into the members too
        bench.view.SetText(CONTROL_CAPACITY_FIELD, "stale");
        bench.view.log.clear();

        bench.window.Deliver(StatusEvent{static_cast<OperationStatus>(c.status), {}});
        bench.Pump();

        EXPECT_EQ(bench.view.log, c.log) << c.status;
        EXPECT_EQ(bench.view.Text(CONTROL_CAPACITY_FIELD), c.capacity) << c.status;
    }
}

TEST(MainWindow, StatusesThatArriveDuringThePauseWaitForItsBox) {
    WindowBench bench;
    bench.Start();
    // The view's pause lets the window's thread turn, as a nested event loop does.
    bench.view.during_pause = [&bench] {
        bench.window.Deliver(StatusEvent{STATUS_CLOCK_SET, {}});
        bench.Pump();
    };
    bench.window.Deliver(StatusEvent{STATUS_LOGIN_OK, {}});
    bench.Pump();
    EXPECT_EQ(bench.view.log, (Strings{"pause 2000", "box Login successfully!",
                                       "box Set Date/Time successfully!"}));
}

TEST(MainWindow, FormatAsPasswordDiskEnablesThePasswordButtons) {
    WindowBench bench(RecorderSettings{}, UiLanguage::EnglishUnitedStates, 1'048'576);
    bench.Start();
    bench.Select(1);
    bench.window.OnCommand(CONTROL_FORMAT_BUTTON);
    bench.Settle(2);
    EXPECT_EQ(bench.view.log, (Strings{"format running", "enable 1019", "enable 1011", "pause 2000",
                                       "box Format successfully!", "format done"}));
    EXPECT_EQ(bench.machine.OverlapCount(), 0u);
}

TEST(MainWindow, SetBuildsTheClockStringFromWhatThePickersShow) {
    struct Case {
        const char* name;
        int radio;
        LocalDateTime date;
        LocalDateTime time;
        bool stamp;
        std::optional<std::string> clock;  // none: no worker starts
    };
    const Case cases[] = {
        {"Custom",
         CONTROL_CUSTOM_TIME_RADIO,
         {2012, 3, 4, 23, 59, 59},
         {1999, 1, 1, 5, 6, 7},
         false,
         "20120304050607N"},
        {"CustomPast2038",
         CONTROL_CUSTOM_TIME_RADIO,
         {2040, 12, 31, 0, 0, 0},
         {2040, 12, 31, 23, 59, 59},
         true,
         "20401231235959Y"},
        {"System",
         CONTROL_SYSTEM_TIME_RADIO,
         {2012, 3, 4, 0, 0, 0},
         {2012, 3, 4, 5, 6, 7},
         true,
         "20261209101112Y"},
        {"NoSuchDate",
         CONTROL_CUSTOM_TIME_RADIO,
         {2013, 2, 29, 0, 0, 0},
         {2013, 2, 29, 0, 0, 0},
         true,
         std::nullopt},
    };
    for (const Case& c : cases) {
        WindowBench bench;
        bench.Start();
        bench.view.SetChecked(CONTROL_SYSTEM_TIME_RADIO, c.radio == CONTROL_SYSTEM_TIME_RADIO);
        bench.view.SetChecked(CONTROL_CUSTOM_TIME_RADIO, c.radio == CONTROL_CUSTOM_TIME_RADIO);
        bench.view.SetChecked(CONTROL_TIME_STAMP_CHECK, c.stamp);
        bench.view.SetDateTime(CONTROL_DATE_PICKER, c.date);
        bench.view.SetDateTime(CONTROL_TIME_PICKER, c.time);
        // A tick in between keeps what the pickers show.
        bench.window.OnTimer();
        bench.window.OnCommand(CONTROL_SET_CLOCK_BUTTON);
        if (!c.clock) {
            bench.Pump();
            EXPECT_EQ(bench.mutex->Sessions(), 1) << c.name;
            continue;
        }
        bench.Settle(2);
        EXPECT_EQ(bench.window.State().members.clock_string.Get(), *c.clock) << c.name;
        EXPECT_EQ(bench.view.log, (Strings{"box Set Date/Time successfully!"})) << c.name;
    }
}

TEST(MainWindow, PasswordDialogsCollectPasswordsAndTheChangeChecksTheConfirmation) {
    struct Case {
        const char* name;
        int button;
        DialogInput input;
        Strings log;
        int sessions;  // in all, the start-up's detection included
    };
    const Case cases[] = {
        {"EmptyLogin", CONTROL_LOGIN_BUTTON, {}, {"pause 2000", "box Login successfully!"}, 2},
        {"WrongLogin",
         CONTROL_LOGIN_BUTTON,
         {{{CONTROL_PASSWORD_EDIT, "secret"}}},
         {"box Login failed!"},
         2},
        {"LoginCancelled", CONTROL_LOGIN_BUTTON, {{}, DialogResult::Cancel}, {}, 1},
        {"ConfirmationDiffersInCase",
         CONTROL_CHANGE_PASSWORD_BUTTON,
         {{{CONTROL_NEW_PASSWORD_EDIT, "abc"}, {CONTROL_CONFIRM_PASSWORD_EDIT, "ABC"}}},
         {"box Confirm password don't match new password!"},
         1},
        {"AllEmpty", CONTROL_CHANGE_PASSWORD_BUTTON, {}, {"box Change password successfully!"}, 2},
        {"WrongOldPassword",
         CONTROL_CHANGE_PASSWORD_BUTTON,
         {{{CONTROL_OLD_PASSWORD_EDIT, "guess"},
           {CONTROL_NEW_PASSWORD_EDIT, "new"},
           {CONTROL_CONFIRM_PASSWORD_EDIT, "new"}}},
         {"box Incorrect old password!"},
         2},
        {"ChangeCancelled", CONTROL_CHANGE_PASSWORD_BUTTON, {{}, DialogResult::Cancel}, {}, 1},
    };
    for (const Case& c : cases) {
        RecorderSettings password_disk;
        password_disk.disk_type = 2;
        WindowBench bench(password_disk);
        bench.Start();
        bench.view.dialog_inputs.push_back(c.input);
        bench.window.OnCommand(c.button);
        bench.Settle(c.sessions);
        EXPECT_EQ(bench.view.log, c.log) << c.name;
        EXPECT_EQ(bench.mutex->Sessions(), c.sessions) << c.name;
    }
}

TEST(PasswordDialogs, TakeTheirCaptionsAndNoMoreThanTheRecorderTakes) {
    struct Case {
        UiLanguage language;
        int button;
        int edit;
        const char* typed;
        const char* kept;
        const char* title;
        Strings captions;  // OK, Cancel, then the labels in template order
    };
    const Case cases[] = {
        {UiLanguage::EnglishUnitedStates,
         CONTROL_LOGIN_BUTTON,
         CONTROL_PASSWORD_EDIT,
         "1234567890123",
         "123456789012",
         "Enter password",
         {"OK", "Cancel", "Password"}},
        // Seven characters of two bytes each in code page 936: the seventh would be one too many.
        {UiLanguage::ChineseSimplified,
         CONTROL_LOGIN_BUTTON,
         CONTROL_PASSWORD_EDIT,
         "密码密码密码密",
         "密码密码密码",
         "输入密码",
         {"确认", "取消", "密码"}},
        {UiLanguage::ChineseTraditional,
         CONTROL_CHANGE_PASSWORD_BUTTON,
         CONTROL_NEW_PASSWORD_EDIT,
         "abc码def",
         "abcdef",
         "修改密碼",
         {"確定", "取消", "舊密碼", "新密碼", "確認新密碼"}},
    };
    for (const Case& c : cases) {
        WindowBench bench(RecorderSettings{}, c.language);
        bench.Start();
        bench.view.dialog_inputs.push_back({{{c.edit, c.typed}}, DialogResult::Cancel});
        bench.window.OnCommand(c.button);

        ASSERT_EQ(bench.view.dialogs.size(), 1u);
        const auto& shown = bench.view.dialogs.front();
        EXPECT_EQ(shown.template_id,
                  c.button == CONTROL_LOGIN_BUTTON ? IDD_ENTER_PASSWORD : IDD_CHANGE_PASSWORD);
        EXPECT_EQ(shown.title, c.title);
        EXPECT_EQ(shown.view.Text(c.edit), c.kept);
        Strings captions;
        const DialogTemplate& dialog =
            c.button == CONTROL_LOGIN_BUTTON ? EnterPasswordTemplate() : ChangePasswordTemplate();
        for (const ControlTemplate& control : dialog.controls) {
            if (control.kind != ControlKind::PasswordEdit) {
                captions.push_back(shown.view.Text(control.id));
            }
        }
        EXPECT_EQ(captions, c.captions) << c.title;
    }
}

TEST(MainWindow, ArrivalAndRemovalEachStartADetection) {
    WindowBench bench;
    bench.Start();
    bench.window.OnDeviceChange(DeviceChange::DiskArrived);
    bench.window.OnDeviceChange(DeviceChange::DiskGone);
    bench.Settle(3);
    EXPECT_EQ(bench.mutex->Sessions(), 3);
    EXPECT_EQ(bench.machine.OverlapCount(), 0u);
}

// After an unplug the kept path can lead to another disk, to nothing, or to a disk that may not
// be opened, before any detection has run: every button's operation ends with a box that says so,
// and sends nothing but, where a disk answers, the identify.
TEST(MainWindow, AButtonWhoseRecorderIsGoneSaysSo) {
    struct Case {
        const char* name;
        std::function<void(SimulatedHost&)> change;
        const char* box;
        std::size_t requests;  // sent by the button's operation
    };
    const Case cases[] = {
        {"Replaced",
         [](SimulatedHost& machine) { machine.AddDrive(kRecorderRoot, DriveKind::PlainRemovable); },
         "box Device not found", 1},
        {"Unplugged", [](SimulatedHost& machine) { machine.VanishOnNextOpen(kRecorderRoot); },
         "box Device not found\nno such device: \\\\?\\E:", 0},
        {"NotToBeOpened", [](SimulatedHost& machine) { machine.DenyAccess(kRecorderRoot); },
         "box The tool may not use the recorder yet. On Linux, run \"ulvren authorize\" once and "
         "have an administrator approve it; on Windows, run the tool as administrator.",
         0},
    };
    for (const Case& c : cases) {
        for (const int button : {CONTROL_FORMAT_BUTTON, CONTROL_SET_CLOCK_BUTTON,
                                 CONTROL_LOGIN_BUTTON, CONTROL_CHANGE_PASSWORD_BUTTON}) {
            RecorderSettings password_disk;
            password_disk.disk_type = 2;
            WindowBench bench(password_disk);
            bench.Start();
            c.change(bench.machine);
            const std::size_t requests_before = bench.machine.Requests().size();
            bench.view.dialog_inputs.push_back({});
            bench.window.OnCommand(button);
            bench.Settle(2);
            const Strings said = button == CONTROL_FORMAT_BUTTON
                                     ? Strings{"format running", c.box, "format done"}
                                     : Strings{c.box};
            EXPECT_EQ(bench.view.log, said) << c.name << ' ' << button;
            const auto requests = bench.machine.Requests();
            ASSERT_EQ(requests.size(), requests_before + c.requests) << c.name << ' ' << button;
            if (c.requests > 0) {
                EXPECT_EQ(requests.back().cdb.at(0), 0xF6) << c.name << ' ' << button;
            }
        }
    }
}

// The machine's own notices, as a view hands them on: unplugging the recorder and plugging it in
// again each detect anew.
TEST(MainWindow, FollowsTheMachineAsItTellsOfDisksComingAndGoing) {
    WindowBench bench;
    bench.machine.DeviceChanges().Listen(
        [&](DeviceChange change) { bench.window.OnDeviceChange(change); });
    bench.Start();
    bench.machine.Unplug(kRecorderRoot);
    bench.Settle(2);
    EXPECT_EQ(bench.view.Text(CONTROL_CAPACITY_FIELD), "Device not found");
    EXPECT_FALSE(bench.Enabled(CONTROL_FORMAT_BUTTON));
    bench.machine.Plug(kRecorderRoot);
    bench.Settle(3);
    EXPECT_EQ(bench.view.Text(CONTROL_CAPACITY_FIELD), "48 MB");
    EXPECT_TRUE(bench.Enabled(CONTROL_FORMAT_BUTTON));
    bench.machine.DeviceChanges().Listen({});
}

// A window with a list of recorders keeps the one chosen across detections while it is plugged in
// and falls back to the first when it goes; the buttons act on the chosen one.
TEST(MainWindow, ListsEveryRecorderAndKeepsTheChosenOne) {
    WindowBench bench;
    bench.view.has_recorder_list = true;
    const auto second = MakeRecorder(200'000, RecorderSettings{});
    bench.machine.AddRecorder("F:\\", second);
    bench.machine.DeviceChanges().Listen(
        [&](DeviceChange change) { bench.window.OnDeviceChange(change); });
    bench.Start();
    const std::string e = "\\\\?\\E: (48 MB)", f = "\\\\?\\F: (97 MB)";
    const auto shows = [&bench](const Strings& items, int selected, const char* capacity) {
        EXPECT_EQ(bench.view.recorder_items, items);
        EXPECT_EQ(bench.view.ListSelection(CONTROL_RECORDER_LIST), selected);
        EXPECT_EQ(bench.view.Text(CONTROL_CAPACITY_FIELD), capacity);
    };
    shows({e, f}, 0, "48 MB");
    EXPECT_EQ(bench.view.Text(CONTROL_RECORDER_LABEL), "Recorder");
    bench.view.SetListSelection(CONTROL_RECORDER_LIST, 1);
    bench.window.OnCommand(CONTROL_RECORDER_LIST);
    bench.Settle(2);
    shows({e, f}, 1, "97 MB");
    bench.machine.Unplug("E:\\");
    bench.Settle(3);
    shows({f}, 0, "97 MB");
    bench.machine.Plug("E:\\");
    bench.Settle(4);
    shows({e, f}, 1, "97 MB");
    bench.window.OnCommand(CONTROL_SET_CLOCK_BUTTON);
    bench.Settle(5);
    EXPECT_EQ(second->Settings().clock, "20261209101112");
    bench.machine.Unplug("F:\\");
    bench.Settle(6);
    shows({e}, 0, "48 MB");
    bench.machine.DeviceChanges().Listen({});
}

TEST(MainWindow, SaysOncePerRunThatItLacksTheRights) {
    WindowBench bench;
    bench.machine.DenyAccess(kRecorderRoot);
    bench.window.OnInitDialog();
    bench.Settle(1);
    bench.window.OnDeviceChange(DeviceChange::DiskArrived);
    bench.Settle(2);
    EXPECT_EQ(bench.view.Text(CONTROL_CAPACITY_FIELD), "Device not found");
    EXPECT_EQ(
        bench.view.log,
        (Strings{"disable 1019", "disable 1011", "disable 1014", "disable 1016", "disable 1000",
                 "box The tool may not use the recorder yet. On Linux, run \"ulvren "
                 "authorize\" once and have an administrator approve it; on Windows, run the "
                 "tool as administrator.",
                 "disable 1014", "disable 1016", "disable 1000"}));
}

}  // namespace
}  // namespace ulvren::testing
