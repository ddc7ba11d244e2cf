// The status sequences, control changes and device-session order of each worker, one worker at a
// time on the test's own thread.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_window.h"
#include "operations/workers.h"
#include "protocol/vendor_protocol.h"
#include "recorder_bench.h"

namespace ulvren::testing {
namespace {

using Strings = std::vector<std::string>;

const Strings kSession = {"open", "lock", "unlock", "close"};
// Only the sessions that end with a dismount take the volume from its file systems.
const Strings kDismountingSession = {"open", "lock", "release", "dismount", "unlock", "close"};

void NoCheck(RecorderBench&) {}

struct WorkerCase {
    const char* name;
    Worker worker;
    RecorderSettings settings;
    std::function<void(RecorderBench&)> arrange;
    Strings statuses;
    Strings volume_calls;
    std::function<void(RecorderBench&)> check = NoCheck;
};

RecorderSettings PasswordDisk(std::string password) {
    RecorderSettings settings;
    settings.disk_type = DISK_TYPE_PASSWORD;
    settings.password = std::move(password);
    return settings;
}

void SelectIndex(RecorderBench& bench, int index) {
    bench.state->members.disk_type_index.Set(index);
}

const WorkerCase kWorkerCases[] = {
    {"FormatPublic",
     FormatWorker,
     {},
     [](auto& b) { SelectIndex(b, 0); },
     {"STATUS_DISK_TYPE_SET", "STATUS_FORMAT_OK", "format ended"},
     kDismountingSession,
     [](auto& b) { EXPECT_EQ(b.recorder->Settings().disk_type, DISK_TYPE_PUBLIC); }},
    {"FormatPassword",
     FormatWorker,
     {},
     [](auto& b) { SelectIndex(b, 1); },
     {"STATUS_DISK_TYPE_SET", "STATUS_FORMAT_OK", "format ended"},
     kDismountingSession,
     [](auto& b) { EXPECT_EQ(b.recorder->Settings().disk_type, DISK_TYPE_PASSWORD); }},
    {"FormatNothingSelected",
     FormatWorker,
     {},
     [](auto& b) { SelectIndex(b, -1); },
     {"STATUS_DISK_TYPE_SET_FAILED", "format ended"},
     kDismountingSession,
     [](auto& b) {
         EXPECT_FALSE(b.Sent(CMD_SET_DISK_TYPE));
         EXPECT_FALSE(b.Sent(SCSI_WRITE_10));
     }},
    {"FormatWriteFails",
     FormatWorker,
     {},
     [](auto& b) {
         SelectIndex(b, 0);
         b.machine.FailWritesFrom(1);
     },
     {"STATUS_DISK_TYPE_SET", "STATUS_FORMAT_FAILED", "format ended"},
     kDismountingSession},
    {"FormatEmptyPath",
     FormatWorker,
     {},
     [](auto& b) { b.state->members.device_path.Set(""); },
     {"STATUS_OPEN_FAILED", "format ended"},
     {"open failed"}},
    {"SetClock",
     SetClockWorker,
     {},
     [](auto& b) { b.state->members.clock_string.Set("20240229235958Y"); },
     {"STATUS_CLOCK_SET"},
     kSession,
     [](auto& b) {
         EXPECT_EQ(b.recorder->Settings().clock, "20240229235958");
         EXPECT_TRUE(b.recorder->Settings().time_stamp);
     }},
    {"SetClockRefused",
     SetClockWorker,
     {},
     [](auto& b) {
         b.state->members.clock_string.Set("20240229235958N");
         b.machine.InjectVendorFault(VendorFault::MissingYes, CMD_SET_CLOCK);
     },
     {"STATUS_CLOCK_SET_FAILED"},
     kSession},
    {"ChangePassword",
     ChangePasswordWorker,
     PasswordDisk("old"),
     [](auto& b) {
         b.state->members.old_password.Set("old");
         b.state->members.new_password.Set("new");
     },
     {"STATUS_PASSWORD_CHANGED"},
     kSession,
     [](auto& b) { EXPECT_EQ(b.recorder->Settings().password, "new"); }},
    {"ChangePasswordWrongOld",
     ChangePasswordWorker,
     PasswordDisk("old"),
     [](auto& b) {
         b.state->members.old_password.Set("guess");
         b.state->members.new_password.Set("new");
     },
     {"STATUS_OLD_PASSWORD_WRONG"},
     kSession,
     [](auto& b) {
         EXPECT_FALSE(b.Sent(CMD_SET_PASSWORD));
         EXPECT_EQ(b.recorder->Settings().password, "old");
     }},
    {"ChangePasswordRefused",
     ChangePasswordWorker,
     PasswordDisk("old"),
     [](auto& b) {
         b.state->members.old_password.Set("old");
         b.state->members.new_password.Set("new");
         b.machine.InjectVendorFault(VendorFault::MissingYes, CMD_SET_PASSWORD);
     },
     {"STATUS_PASSWORD_CHANGE_FAILED"},
     kSession},
    {"Login",
     LoginWorker,
     PasswordDisk("secret"),
     [](auto& b) { b.state->members.login_password.Set("secret"); },
     {"STATUS_LOGIN_OK"},
     kDismountingSession,
     [](auto& b) { EXPECT_TRUE(b.recorder->Settings().logged_in); }},
    {"LoginRefused",
     LoginWorker,
     PasswordDisk("secret"),
     [](auto& b) { b.state->members.login_password.Set("guess"); },
     {"STATUS_LOGIN_FAILED"},
     kDismountingSession,
     [](auto& b) { EXPECT_FALSE(b.recorder->Settings().logged_in); }},
};

void PrintTo(const WorkerCase& c, std::ostream* out) {
    *out << c.name;
}

class WorkerStatusTest : public ::testing::TestWithParam<WorkerCase> {};

TEST_P(WorkerStatusTest, PostsItsSequenceAndEndsTheSession) {
    const WorkerCase& c = GetParam();
    RecorderBench bench(c.settings, kFormattableSectors);
    FakeWindow window(*bench.state);
    c.arrange(bench);

    c.worker(*bench.state, {});

    EXPECT_EQ(window.Events().All(), c.statuses);
    EXPECT_EQ(bench.calls.Calls(), c.volume_calls);
    EXPECT_EQ(bench.machine.OpenHandleCount(), 0u);
    EXPECT_EQ(bench.state->members.device_handle.Get(), kInvalidDeviceHandle);
    c.check(bench);
}

INSTANTIATE_TEST_SUITE_P(Workers, WorkerStatusTest, ::testing::ValuesIn(kWorkerCases),
                         [](const auto& test) { return std::string(test.param.name); });

// Detection: what it stores, which controls it changes, and in which order with its statuses.
struct DetectCase {
    const char* name;
    std::uint8_t disk_type;
    std::function<void(RecorderBench&)> arrange;
    Strings events;
    std::string device_path;
    std::string capacity_text;
    int disk_type_index;
    Strings volume_calls;
    // What came with the last status.
    HostErrorKind host_error = HostErrorKind::None;
};

const std::string kOldPath = "\\\\?\\F:";
const std::string kOldCapacity = "old capacity";
constexpr int kOldIndex = 1;

const Strings kDeviceControlsOn = {"enable device"};
// Discovery's own short-lived handle, then a session that never dismounts.
const Strings kDetectCalls = {"open", "close", "open", "lock", "unlock", "close"};

Strings Concat(std::initializer_list<Strings> parts) {
    Strings all;
    for (const Strings& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const DetectCase kDetectCases[] = {
    {"PublicDisk", DISK_TYPE_PUBLIC, NoCheck,
     Concat(
         {kDeviceControlsOn,
          {"STATUS_CAPACITY_OK", "disable password", "STATUS_DISK_TYPE_OK", "STATUS_DETECT_DONE"}}),
     kRecorderPath, "48 MB", 0, kDetectCalls},
    {"PasswordDisk", DISK_TYPE_PASSWORD, NoCheck,
     Concat(
         {kDeviceControlsOn,
          {"STATUS_CAPACITY_OK", "enable password", "STATUS_DISK_TYPE_OK", "STATUS_DETECT_DONE"}}),
     kRecorderPath, "48 MB", 1, kDetectCalls},
    {"TypeZeroSelectsNothing", 0, NoCheck,
     Concat(
         {kDeviceControlsOn,
          {"STATUS_CAPACITY_OK", "enable password", "STATUS_DISK_TYPE_OK", "STATUS_DETECT_DONE"}}),
     kRecorderPath, "48 MB", -1, kDetectCalls},
    {"CapacityUnknownStillReadsType", DISK_TYPE_PASSWORD,
     [](auto& b) { b.machine.InjectVendorFault(VendorFault::MissingYes, CMD_GET_CAPACITY); },
     Concat({kDeviceControlsOn,
             {"STATUS_CAPACITY_UNKNOWN", "enable password", "STATUS_DISK_TYPE_OK",
              "STATUS_DETECT_DONE"}}),
     kRecorderPath, kOldCapacity, 1, kDetectCalls},
    {"TypeUnknownLeavesPasswordControls", DISK_TYPE_PUBLIC,
     [](auto& b) { b.machine.InjectVendorFault(VendorFault::MissingYes, CMD_GET_DISK_TYPE); },
     Concat({kDeviceControlsOn,
             {"STATUS_CAPACITY_OK", "STATUS_DISK_TYPE_UNKNOWN", "STATUS_DETECT_DONE"}}),
     kRecorderPath, "48 MB", 0, kDetectCalls},
    {"NotFoundKeepsOldPath",
     DISK_TYPE_PUBLIC,
     [](auto& b) { b.machine.Unplug(kRecorderRoot); },
     {"disable device", "STATUS_DEVICE_NOT_FOUND"},
     kOldPath,
     kOldCapacity,
     kOldIndex,
     {}},
    {"VanishedBeforeOpen",
     DISK_TYPE_PUBLIC,
     [](auto& b) {
         // Discovery closes its handle, and then the device is gone before the session opens it.
         b.calls.AfterNextClose([&b] { b.machine.VanishOnNextOpen(kRecorderRoot); });
     },
     Concat({kDeviceControlsOn, {"STATUS_OPEN_FAILED"}}),
     kRecorderPath,
     kOldCapacity,
     kOldIndex,
     {"open", "close", "open failed"},
     HostErrorKind::Other},
    {"DeniedDriveIsTheReasonForNotFound",
     DISK_TYPE_PUBLIC,
     [](auto& b) { b.machine.DenyAccess(kRecorderRoot); },
     {"disable device", "STATUS_DEVICE_NOT_FOUND"},
     kOldPath,
     kOldCapacity,
     kOldIndex,
     {"open failed"},
     HostErrorKind::AccessDenied},
};

void PrintTo(const DetectCase& c, std::ostream* out) {
    *out << c.name;
}

class DetectWorkerTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectWorkerTest, StoresWhatItFoundAndSetsTheControls) {
    const DetectCase& c = GetParam();
    RecorderSettings settings;
    settings.disk_type = c.disk_type;
    RecorderBench bench(settings);
    WindowMembers& members = bench.state->members;
    members.device_path.Set(kOldPath);
    members.capacity_text.Set(kOldCapacity);
    members.disk_type_index.Set(kOldIndex);
    FakeWindow window(*bench.state);
    c.arrange(bench);

    DetectWorker(*bench.state, {});

    EXPECT_EQ(window.Events().All(), c.events);
    EXPECT_EQ(members.device_path.Get(), c.device_path);
    EXPECT_EQ(members.capacity_text.Get(), c.capacity_text);
    EXPECT_EQ(members.disk_type_index.Get(), c.disk_type_index);
    EXPECT_EQ(members.device_handle.Get(), kInvalidDeviceHandle);
    EXPECT_EQ(bench.calls.Calls(), c.volume_calls);
    EXPECT_EQ(window.last_host_error.kind, c.host_error);
}

INSTANTIATE_TEST_SUITE_P(Detection, DetectWorkerTest, ::testing::ValuesIn(kDetectCases),
                         [](const auto& test) { return std::string(test.param.name); });

struct CapacityCase {
    std::uint64_t sectors;
    const char* text;
};

void PrintTo(const CapacityCase& c, std::ostream* out) {
    *out << c.sectors << " sectors";
}

class CapacityTextTest : public ::testing::TestWithParam<CapacityCase> {};

TEST_P(CapacityTextTest, IsWholeMebibytes) {
    RecorderBench bench({}, GetParam().sectors);
    FakeWindow window(*bench.state);
    DetectWorker(*bench.state, {});
    EXPECT_EQ(bench.state->members.capacity_text.Get(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Counts, CapacityTextTest,
                         ::testing::Values(CapacityCase{2047, "0 MB"},
                                           CapacityCase{1'000'000, "488 MB"},
                                           CapacityCase{15'728'640, "7680 MB"},
                                           CapacityCase{0xFFFFFFFF, "2097151 MB"}));

}  // namespace
}  // namespace ulvren::testing
