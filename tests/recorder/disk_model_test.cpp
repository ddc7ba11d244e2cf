// The disk models' modes and the faults every simulated disk carries out the same way.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "protocol/vendor_protocol.h"
#include "recorder/device_faults.h"
#include "support/simulated_recorders.h"

namespace ulvren {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = DeviceAnswer::Kind;

const Bytes kWrite = {SCSI_WRITE_10, 0, 0, 0, 0, 7, 0, 0, 1, 0};
const Bytes kRead = {SCSI_READ_10, 0, 0, 0, 0, 7, 0, 0, 1, 0};
const Bytes kRequestSense = {SCSI_REQUEST_SENSE, 0, 0, 0, 18, 0};

Bytes Vendor(std::uint8_t opcode, Bytes rest = {}) {
    Bytes cdb = {opcode};
    cdb.insert(cdb.end(), rest.begin(), rest.end());
    cdb.resize(kVendorCdbLength, 0);
    return cdb;
}

// The buffer a command moves: a sector for READ(10) and WRITE(10), else a vendor reply.
Bytes BufferFor(const Bytes& cdb) {
    return Bytes(cdb[0] == SCSI_WRITE_10 || cdb[0] == SCSI_READ_10 ? 512 : 8, 0);
}

DataDirection DirectionFor(const Bytes& cdb) {
    return cdb[0] == SCSI_WRITE_10 ? DataDirection::ToDevice : DataDirection::FromDevice;
}

// Sense key and additional sense code that REQUEST SENSE reports now.
std::pair<int, int> PendingSense(RecorderFirmware& disk) {
    Bytes sense(18, 0);
    disk.Execute(kRequestSense, DataDirection::FromDevice, sense);
    return {sense[2], sense[12]};
}

TEST(DiskModel, APlainDiskRefusesEveryVendorOpcodeButServesItsSectors) {
    RecorderFirmware disk(DiskModel::PlainDisk, std::make_unique<MemorySectorStorage>(100));
    for (int opcode = 0xF0; opcode <= 0xFF; ++opcode) {
        Bytes reply(8, 0xAA);
        const auto result = disk.Execute(Vendor(static_cast<std::uint8_t>(opcode)),
                                         DataDirection::FromDevice, reply);
        EXPECT_EQ(result.status, kScsiStatusCheckCondition) << opcode;
        EXPECT_EQ(reply, Bytes(8, 0xAA)) << opcode;
        EXPECT_EQ(PendingSense(disk), std::make_pair(0x05, 0x20)) << opcode;
    }
    Bytes inquiry(36, 0);
    EXPECT_EQ(disk.Execute(Bytes{SCSI_INQUIRY, 0, 0, 0, 36, 0}, DataDirection::FromDevice, inquiry)
                  .status,
              kScsiStatusGood);
    EXPECT_EQ(inquiry[1], 0x80);  // removable
    EXPECT_EQ(std::string(inquiry.begin() + 16, inquiry.end() - 4), "USB Disk        ");
    Bytes sector(512, 0x3C);
    EXPECT_EQ(disk.Execute(kWrite, DataDirection::ToDevice, sector).status, kScsiStatusGood);
    Bytes back(512, 0);
    EXPECT_EQ(disk.Execute(kRead, DataDirection::FromDevice, back).status, kScsiStatusGood);
    EXPECT_EQ(back, sector);
}

// What a kernel sends around its use of a disk is taken, and does not withdraw the permission
// that a verified old password gives the next command.
TEST(DiskModel, TakesTheKernelsHousekeepingBetweenVerifyAndSetPassword) {
    RecorderSettings settings;
    settings.password = "old";
    auto recorder = testing::MakeRecorder(1000, settings);
    Bytes reply(8, 0);
    recorder->Execute(Vendor(CMD_VERIFY_PASSWORD, {3, 'o', 'l', 'd'}), DataDirection::FromDevice,
                      reply);
    for (const Bytes& housekeeping : {Bytes{SCSI_PREVENT_ALLOW_MEDIUM_REMOVAL, 0, 0, 0, 1, 0},
                                      Bytes{SCSI_SYNCHRONIZE_CACHE_10, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                      Bytes{SCSI_START_STOP_UNIT, 0, 0, 0, 1, 0}}) {
        EXPECT_EQ(recorder->Execute(housekeeping, DataDirection::None, {}).status, kScsiStatusGood);
    }
    recorder->Execute(Vendor(CMD_SET_PASSWORD, {3, 'n', 'e', 'w'}), DataDirection::FromDevice,
                      reply);
    EXPECT_EQ(recorder->Settings().password, "new");
}

TEST(DeviceFaults, StandInForTheDisksAnswerAsTold) {
    struct Step {
        Bytes cdb;
        Kind kind;
        std::uint8_t status;
    };
    struct Case {
        const char* what;
        std::function<void(DeviceFaults&)> inject;
        std::vector<Step> steps;
        std::pair<int, int> sense_after;  // key and code REQUEST SENSE reports after the steps
    };
    constexpr std::uint8_t kGood = kScsiStatusGood;
    constexpr std::uint8_t kCheck = kScsiStatusCheckCondition;
    const Case cases[] = {
        {"medium error from the 2nd write on",
         [](DeviceFaults& f) { f.FailWritesFrom(2, WriteFailure::MediumError); },
         {{kWrite, Kind::Answered, kGood},
          {kRead, Kind::Answered, kGood},
          {kWrite, Kind::Answered, kCheck},
          {kWrite, Kind::Answered, kCheck}},
         {0x03, 0x0C}},
        {"no answer from the 1st write on, reads go on",
         [](DeviceFaults& f) { f.FailWritesFrom(1, WriteFailure::NoAnswer); },
         {{kWrite, Kind::NoAnswer, kGood},
          {kWrite, Kind::NoAnswer, kGood},
          {kRead, Kind::Answered, kGood}},
         {0, 0}},
        {"unplugged at the 2nd write, once",
         [](DeviceFaults& f) { f.UnplugAtWrite(2); },
         {{kWrite, Kind::Answered, kGood},
          {kWrite, Kind::Unplugged, kGood},
          {kWrite, Kind::Answered, kGood}},
         {0, 0}},
        {"one vendor command refused",
         [](DeviceFaults& f) { f.InjectVendorFault(VendorFault::Refused, CMD_GET_CAPACITY); },
         {{Vendor(CMD_IDENTIFY), Kind::Answered, kGood},
          {Vendor(CMD_GET_CAPACITY), Kind::Answered, kCheck}},
         {0x05, 0x20}},
        {"no reply to any vendor command, writes go on",
         [](DeviceFaults& f) { f.InjectVendorFault(VendorFault::NoReply); },
         {{Vendor(CMD_IDENTIFY), Kind::NoAnswer, kGood},
          {Vendor(CMD_LOGIN), Kind::NoAnswer, kGood},
          {kWrite, Kind::Answered, kGood}},
         {0, 0}},
        {"cleared",
         [](DeviceFaults& f) {
             f.InjectVendorFault(VendorFault::NoReply);
             f.FailWritesFrom(1, WriteFailure::MediumError);
             f.UnplugAtWrite(1);
             f.Clear();
         },
         {{Vendor(CMD_IDENTIFY), Kind::Answered, kGood}, {kWrite, Kind::Answered, kGood}},
         {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto disk = testing::MakeRecorder(100);
        DeviceFaults faults;
        c.inject(faults);
        for (const Step& step : c.steps) {
            Bytes buffer = BufferFor(step.cdb);
            const DeviceAnswer answer =
                faults.Execute(*disk, step.cdb, DirectionFor(step.cdb), buffer);
            EXPECT_EQ(answer.kind, step.kind);
            EXPECT_EQ(answer.result.status, step.status);
        }
        EXPECT_EQ(PendingSense(*disk), c.sense_after);
    }
}

}  // namespace
}  // namespace ulvren
