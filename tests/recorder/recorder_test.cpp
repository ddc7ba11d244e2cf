// The simulated recorder: its firmware model, its state file and the simulated host around it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <latch>
#include <string>
#include <vector>

#include "device/transport.h"
#include "device/usb_disk.h"
#include "hosts/simulated/simulated_host.h"
#include "hosts/simulated/simulated_machine.h"
#include "protocol/vendor_protocol.h"
#include "support/simulated_recorders.h"

namespace ulvren {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Exchange {
    ScsiCommandResult result;
    Bytes reply;
};

Exchange Vendor(RecorderFirmware& firmware, Bytes cdb) {
    cdb.resize(16, 0);
    Exchange exchange{{}, Bytes(8, 0)};
    exchange.result = firmware.Execute(cdb, DataDirection::FromDevice, exchange.reply);
    return exchange;
}

bool Yes(const Exchange& exchange) {
    return exchange.reply[1] == 'Y' && exchange.reply[2] == 'E' && exchange.reply[3] == 'S';
}

Bytes PasswordCdb(std::uint8_t opcode, const std::string& password) {
    Bytes cdb = {opcode, static_cast<std::uint8_t>(password.size())};
    cdb.insert(cdb.end(), password.begin(), password.end());
    return cdb;
}

TEST(RecorderFirmware, TakesANewPasswordOnlyRightAfterTheOldOneWasVerified) {
    RecorderSettings settings;
    settings.password = "old";
    auto firmware = testing::MakeRecorder(1000, settings);
    EXPECT_FALSE(Yes(Vendor(*firmware, PasswordCdb(CMD_SET_PASSWORD, "new"))));
    EXPECT_FALSE(Yes(Vendor(*firmware, PasswordCdb(CMD_VERIFY_PASSWORD, "wrong"))));
    EXPECT_FALSE(Yes(Vendor(*firmware, PasswordCdb(CMD_SET_PASSWORD, "new"))));
    EXPECT_TRUE(Yes(Vendor(*firmware, PasswordCdb(CMD_VERIFY_PASSWORD, "old"))));
    Vendor(*firmware, {CMD_GET_CAPACITY});  // anything in between withdraws the permission
    EXPECT_FALSE(Yes(Vendor(*firmware, PasswordCdb(CMD_SET_PASSWORD, "new"))));
    EXPECT_TRUE(Yes(Vendor(*firmware, PasswordCdb(CMD_VERIFY_PASSWORD, "old"))));
    EXPECT_TRUE(Yes(Vendor(*firmware, PasswordCdb(CMD_SET_PASSWORD, "new"))));
    EXPECT_EQ(firmware->Settings().password, "new");
}

TEST(RecorderFirmware, LoginComparesTheWholePasswordByItsLength) {
    RecorderSettings settings;
    settings.password = "abc";
    auto firmware = testing::MakeRecorder(1000, settings);
    Bytes with_residue = PasswordCdb(CMD_LOGIN, "abc");
    with_residue.push_back('d');  // bytes behind the length do not count
    EXPECT_TRUE(Yes(Vendor(*firmware, with_residue)));
    EXPECT_TRUE(firmware->Settings().logged_in);
    EXPECT_FALSE(Yes(Vendor(*firmware, PasswordCdb(CMD_LOGIN, "ab"))));
    EXPECT_FALSE(firmware->Settings().logged_in);
    EXPECT_FALSE(Yes(Vendor(*firmware, {CMD_LOGIN, 13})));
}

// A setting whose keeping failed (a read-only or full disk under the state file) is refused, and
// the recorder goes on with what it had.
TEST(RecorderFirmware, RefusesEverySettingThatCouldNotBeKept) {
    struct Case {
        const char* what;
        std::vector<Bytes> commands;  // the reply to the last one is judged
    };
    const Bytes clock = {CMD_SET_CLOCK, '2', '0', '1', '2', '0', '3', '0',
                         '4',           '0', '5', '0', '6', '0', '7', 'N'};
    const Case cases[] = {
        {"set disk type", {{CMD_SET_DISK_TYPE, DISK_TYPE_PASSWORD}}},
        {"set clock", {clock}},
        {"set password",
         {PasswordCdb(CMD_VERIFY_PASSWORD, "old"), PasswordCdb(CMD_SET_PASSWORD, "new")}},
        {"login", {PasswordCdb(CMD_LOGIN, "old")}},
    };
    for (const Case& c : cases) {
        RecorderSettings before;
        before.password = "old";
        RecorderFirmware firmware(std::make_unique<MemorySectorStorage>(1000), before,
                                  [](const RecorderSettings&) { return false; });
        Exchange last;
        for (const Bytes& command : c.commands) {
            last = Vendor(firmware, command);
        }
        EXPECT_FALSE(Yes(last)) << c.what;
        EXPECT_EQ(firmware.Settings(), before) << c.what;
    }
}

TEST(RecorderFirmware, RefusesImplausibleSettings) {
    auto firmware = testing::MakeRecorder();
    const auto clock = [&](const std::string& text) {
        Bytes cdb = {CMD_SET_CLOCK};
        cdb.insert(cdb.end(), text.begin(), text.end());
        return Yes(Vendor(*firmware, cdb));
    };
    EXPECT_TRUE(clock("20120304050607N"));
    EXPECT_EQ(firmware->Settings().clock, "20120304050607");
    EXPECT_FALSE(firmware->Settings().time_stamp);
    EXPECT_FALSE(clock("20121304050607N"));  // month 13
    EXPECT_FALSE(clock("20120304250607Y"));  // hour 25
    EXPECT_FALSE(clock("2012030405060 Y"));
    EXPECT_FALSE(clock("20120304050607X"));
    EXPECT_FALSE(Yes(Vendor(*firmware, {CMD_SET_DISK_TYPE, 3})));
    EXPECT_TRUE(Yes(Vendor(*firmware, {CMD_SET_DISK_TYPE, 2})));
    EXPECT_EQ(firmware->Settings().disk_type, 2);
}

// What a kernel sends when it probes and uses the disk, and the vendor replies, pinned as literal
// bytes: the firmware model shares the protocol's constants with the device layer, so only
// literals catch a wrong one. Run in order on one recorder of 100 sectors.
TEST(RecorderFirmware, AnswersWithTheseExactBytes) {
    struct Case {
        const char* what;
        Bytes cdb;
        DataDirection direction;
        Bytes data;  // sent, for data-out
        std::uint8_t status;
        Bytes reply;  // expected data-in bytes (the buffer is as long as this)
    };
    const Bytes vendor_padding(15, 0);
    const auto vendor = [&](std::uint8_t opcode) {
        Bytes cdb = {opcode};
        cdb.insert(cdb.end(), vendor_padding.begin(), vendor_padding.end());
        return cdb;
    };
    const Case cases[] = {
        {"TEST UNIT READY", {0x00, 0, 0, 0, 0, 0}, DataDirection::None, {}, 0x00, {}},
        {"INQUIRY",
         {0x12, 0, 0, 0, 36, 0},
         DataDirection::FromDevice,
         {},
         0x00,
         {0x00, 0x80, 0x04, 0x02, 31,  0,   0,   0,   'U', 'L', 'V', 'R',
          'E',  'N',  ' ',  ' ',  'P', 'o', 'c', 'k', 'e', 't', ' ', 'R',
          'e',  'c',  'o',  'r',  'd', 'e', 'r', ' ', '1', '.', '0', '0'}},
        {"READ CAPACITY(10)",
         {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         DataDirection::FromDevice,
         {},
         0x00,
         {0, 0, 0, 99, 0, 0, 0x02, 0x00}},
        {"MODE SENSE(6)",
         {0x1A, 0, 0x3F, 0, 4, 0},
         DataDirection::FromDevice,
         {},
         0x00,
         {3, 0, 0, 0}},
        {"WRITE(10) of sector 5",
         {0x2A, 0, 0, 0, 0, 5, 0, 0, 1, 0},
         DataDirection::ToDevice,
         Bytes(512, 0x5A),
         0x00,
         {}},
        {"READ(10) of sector 5",
         {0x28, 0, 0, 0, 0, 5, 0, 0, 1, 0},
         DataDirection::FromDevice,
         {},
         0x00,
         Bytes(512, 0x5A)},
        {"READ(10) past the end",
         {0x28, 0, 0, 0, 0, 100, 0, 0, 1, 0},
         DataDirection::FromDevice,
         {},
         0x02,
         Bytes(512, 0)},
        {"REQUEST SENSE after it: ILLEGAL REQUEST, LBA out of range",
         {0x03, 0, 0, 0, 18, 0},
         DataDirection::FromDevice,
         {},
         0x00,
         {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x21, 0, 0, 0, 0, 0}},
        {"REQUEST SENSE with nothing to report",
         {0x03, 0, 0, 0, 18, 0},
         DataDirection::FromDevice,
         {},
         0x00,
         {0x70, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"identify",
         vendor(0xF6),
         DataDirection::FromDevice,
         {},
         0x00,
         {0xF6, 'K', 'A', 'L', 'U', 'M', 'E', 'X'}},
        {"get capacity",
         vendor(0xFB),
         DataDirection::FromDevice,
         {},
         0x00,
         {0xFB, 'Y', 'E', 'S', 100, 0, 0, 0}},
        {"get disk type",
         vendor(0xF9),
         DataDirection::FromDevice,
         {},
         0x00,
         {0xF9, 0x01, 'Y', 'E', 'S', 0, 0, 0}},
    };
    auto firmware = testing::MakeRecorder(100);
    for (const Case& c : cases) {
        Bytes buffer = c.direction == DataDirection::ToDevice ? c.data : Bytes(c.reply.size(), 0);
        const ScsiCommandResult result = firmware->Execute(c.cdb, c.direction, buffer);
        EXPECT_EQ(result.status, c.status) << c.what;
        if (c.direction == DataDirection::FromDevice) {
            EXPECT_EQ(buffer, c.reply) << c.what;
        }
    }
}

TEST(RecorderFirmware, RefusesUnknownCommandsAndOutOfRangeSectors) {
    auto firmware = testing::MakeRecorder(100);
    Bytes data(512, 0xAA);
    const auto unknown = firmware->Execute(Bytes(16, 0xF0), DataDirection::FromDevice, data);
    EXPECT_EQ(unknown.status, kScsiStatusCheckCondition);
    EXPECT_EQ(data, Bytes(512, 0xAA));  // a refused command sends nothing back

    const Bytes last = {SCSI_WRITE_10, 0, 0, 0, 0, 99, 0, 0, 1, 0};
    EXPECT_EQ(firmware->Execute(last, DataDirection::ToDevice, data).status, kScsiStatusGood);
    const Bytes past_end = {SCSI_WRITE_10, 0, 0, 0, 0, 100, 0, 0, 1, 0};
    EXPECT_EQ(firmware->Execute(past_end, DataDirection::ToDevice, data).status,
              kScsiStatusCheckCondition);
    const Bytes short_data = {SCSI_WRITE_10, 0, 0, 0, 0, 0, 0, 0, 2, 0};
    EXPECT_EQ(firmware->Execute(short_data, DataDirection::ToDevice, data).status,
              kScsiStatusCheckCondition);
}

TEST(RecorderSettings, SurviveTheStateFile) {
    RecorderSettings settings;
    settings.disk_type = 2;
    settings.password = std::string("\xb2\xe2\x00pw", 5);
    settings.clock = "20120304050607";
    settings.time_stamp = true;
    settings.logged_in = true;
    settings.max_transfer_sectors = 65535;
    std::string error;
    const auto parsed = ParseSettings(SerializeSettings(settings), error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(*parsed, settings);

    for (const char* bad : {"disk_type=256\n", "password_hex=abc\n", "max_transfer_sectors=0\n",
                            "logged_in=yes\n", "no equals sign\n"}) {
        EXPECT_FALSE(ParseSettings(bad, error)) << bad;
    }
}

class SimulatedMachineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        directory_ =
            std::filesystem::temp_directory_path() /
            ("ulvren-machine-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
        image_ = (directory_ / "rec.img").string();
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    // One device session on `machine`'s recorder: open, `commands`, close.
    template <typename Commands>
    static void Session(const SimulatedMachine& machine, const Commands& commands) {
        ScopedHost installed(*machine.host);
        CUsbDisk disk;
        const DeviceHandle handle = disk.OpenDevice("\\\\?\\E:");
        ASSERT_NE(handle, kInvalidDeviceHandle);
        commands(disk, handle);
        disk.CloseDevice(handle);
    }
    static void SetPasswordDisk(CUsbDisk& disk, DeviceHandle handle) {
        EXPECT_NE(disk.SetDiskType(handle, DISK_TYPE_PASSWORD), 0);
    }

    std::filesystem::path directory_;
    std::string image_;
};

TEST_F(SimulatedMachineTest, KeepsItsSettingsAcrossRuns) {
    SimulatedMachineError error;
    {
        auto machine = OpenSimulatedMachine({image_, 4096, std::nullopt}, error);
        ASSERT_TRUE(machine) << error.text;
        ScopedHost installed(*machine->host);
        CUsbDisk disk;
        const DeviceHandle handle = disk.OpenDevice(disk.FindDevice());
        ASSERT_NE(handle, kInvalidDeviceHandle);
        EXPECT_NE(disk.SetDiskType(handle, DISK_TYPE_PASSWORD), 0);
        disk.CloseDevice(handle);
    }
    auto machine = OpenSimulatedMachine({image_, std::nullopt, 65535}, error);
    ASSERT_TRUE(machine) << error.text;
    EXPECT_EQ(machine->recorder->Settings().disk_type, DISK_TYPE_PASSWORD);
    EXPECT_EQ(machine->recorder->ReportedSectorCount(), 4096u);
    EXPECT_EQ(machine->host->MaxTransferSectors(0), 65535u);
    EXPECT_EQ(std::filesystem::file_size(image_), 4096u * 512u);
}

// Two runs over one image, one after the other in their device sessions: each session starts
// from what the other left, so neither overwrites the other's change.
TEST_F(SimulatedMachineTest, EachSessionStartsFromTheKeptSettings) {
    SimulatedMachineError error;
    auto first = OpenSimulatedMachine({image_, 4096, std::nullopt}, error);
    ASSERT_TRUE(first) << error.text;
    auto second = OpenSimulatedMachine({image_, std::nullopt, std::nullopt}, error);
    ASSERT_TRUE(second) << error.text;

    Session(*second, SetPasswordDisk);
    Session(*first, [](CUsbDisk& disk, DeviceHandle handle) {
        std::uint8_t type = 0;
        EXPECT_NE(disk.GetDiskType(handle, type), 0);
        EXPECT_EQ(type, DISK_TYPE_PASSWORD);
        EXPECT_NE(disk.SetClock(handle, "20120304050607N"), 0);
    });
    std::string load_error;
    const auto kept = LoadSettingsFile(StateFilePathFor(image_), load_error);
    ASSERT_TRUE(kept) << load_error;
    EXPECT_EQ(kept->disk_type, DISK_TYPE_PASSWORD);
    EXPECT_EQ(kept->clock, "20120304050607");
}

TEST_F(SimulatedMachineTest, RefusesAMismatchedSizeOrABrokenStateFile) {
    using Kind = SimulatedMachineError::Kind;
    SimulatedMachineError error;
    ASSERT_TRUE(OpenSimulatedMachine({image_, 4096, std::nullopt}, error));
    EXPECT_FALSE(OpenSimulatedMachine({image_, 8192, std::nullopt}, error));
    EXPECT_NE(error.text.find("4096"), std::string::npos);
    EXPECT_EQ(error.kind, Kind::BadOptions);
    { std::ofstream(StateFilePathFor(image_)) << "disk_type=banana\n"; }
    EXPECT_FALSE(OpenSimulatedMachine({image_, std::nullopt, std::nullopt}, error));
    EXPECT_EQ(error.kind, Kind::FileError);
    EXPECT_FALSE(
        OpenSimulatedMachine({(directory_ / "tiny.img").string(), 10, std::nullopt}, error));
    EXPECT_EQ(error.kind, Kind::BadOptions);
    EXPECT_FALSE(std::filesystem::exists(directory_ / "tiny.img"));
}

// The state file is written only inside device sessions, through a file of its own that nobody
// else can have planted, and two runs that both find the image missing share the one made first.
TEST_F(SimulatedMachineTest, StateFileAndImageSurviveHostileAndConcurrentRuns) {
    const std::string state = StateFilePathFor(image_);
    const auto open = [this](std::optional<std::uint32_t> max_transfer) {
        SimulatedMachineError error;
        auto machine = OpenSimulatedMachine({image_, 4096, max_transfer}, error);
        EXPECT_TRUE(machine) << error.text;
        return machine;
    };
    const auto text_of = [](const std::filesystem::path& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    struct Case {
        const char* name;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"a link planted at a temporary name is not followed",
         [&] {
             std::ofstream(directory_ / "victim") << "precious";
             std::error_code no_links;
             std::filesystem::create_symlink(directory_ / "victim", state + ".new", no_links);
             if (no_links) {
                 // Where there are no links (Wine), a file planted there must stay as it is.
                 std::ofstream(state + ".new") << "precious";
             }
             Session(*open(std::nullopt), SetPasswordDisk);
             EXPECT_EQ(text_of(directory_ / "victim"), "precious");
             EXPECT_EQ(text_of(state + ".new"), "precious");
             EXPECT_NE(text_of(state).find("disk_type=2"), std::string::npos);
         }},
        {"a run's max transfer is kept by its session, not at its start",
         [&] {
             Session(*open(std::nullopt), SetPasswordDisk);
             const std::string kept = text_of(state);
             auto second = open(65535);
             EXPECT_EQ(text_of(state), kept);
             Session(*second, [](CUsbDisk&, DeviceHandle) {});
             EXPECT_NE(text_of(state).find("disk_type=2"), std::string::npos);
             EXPECT_NE(text_of(state).find("max_transfer_sectors=65535"), std::string::npos);
         }},
        {"runs that find the image missing at once all open it",
         [&] {
             std::latch start(8);
             std::vector<std::future<bool>> runs;
             for (int i = 0; i < 8; ++i) {
                 runs.push_back(std::async(std::launch::async, [&] {
                     start.arrive_and_wait();
                     const auto machine = open(std::nullopt);
                     return machine && machine->recorder->ReportedSectorCount() == 4096;
                 }));
             }
             for (auto& run : runs) {
                 EXPECT_TRUE(run.get());
             }
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
        c.run();
        // Nothing of the temporary files is left beside the image.
        for (const auto& entry : std::filesystem::directory_iterator(directory_)) {
            EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
        }
    }
}

TEST(SimulatedHost, RefusesTransfersAboveTheAdapterMaximum) {
    SimulatedHost host;
    host.AddRecorder("E:\\", testing::MakeRecorder(1000));
    host.SetMaxTransferSectors(4);
    ScopedHost installed(host);
    const DeviceHandle handle = host.Open("\\\\?\\E:");
    Bytes data(5 * 512, 0);
    EXPECT_NE(WriteSectors(handle, data.data(), 0, 4), 0);
    EXPECT_EQ(WriteSectors(handle, data.data(), 0, 5), 0);
    EXPECT_NE(LastHostError().text.find("maximum of 4"), std::string::npos);
    host.Close(handle);
}

TEST(SimulatedHost, FailsWritesFromTheKthOn) {
    SimulatedHost host;
    host.AddRecorder("E:\\", testing::MakeRecorder(1000));
    ScopedHost installed(host);
    const DeviceHandle handle = host.Open("\\\\?\\E:");
    Bytes sector(512, 0);
    host.FailWritesFrom(3);
    EXPECT_NE(WriteSectors(handle, sector.data(), 0, 1), 0);
    EXPECT_NE(WriteSectors(handle, sector.data(), 1, 1), 0);
    EXPECT_EQ(WriteSectors(handle, sector.data(), 2, 1), 0);
    EXPECT_EQ(WriteSectors(handle, sector.data(), 3, 1), 0);
    host.Close(handle);
}

TEST(SimulatedHost, CountsOverlappingSessionsAndUnpluggedDrives) {
    SimulatedHost host;
    host.AddRecorder("E:\\", testing::MakeRecorder(1000));
    const DeviceHandle first = host.Open("\\\\?\\E:");
    const DeviceHandle second = host.Open("\\\\?\\E:");
    EXPECT_EQ(host.OverlapCount(), 1u);
    host.Close(first);
    host.Close(second);
    host.Unplug("E:\\");
    EXPECT_EQ(host.Open("\\\\?\\E:"), kInvalidDeviceHandle);
    EXPECT_TRUE(host.RemovableDriveRoots().empty());
    EXPECT_EQ(host.OverlapCount(), 1u);
}

}  // namespace
}  // namespace ulvren
