// The vendor commands: the CDB bytes each one sends and the replies each one accepts.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device/command_templates.h"
#include "device/usb_disk.h"
#include "protocol/vendor_protocol.h"
#include "support/scripted_host.h"

namespace ulvren {
namespace {

using testing::ReplyBytes;
using testing::ScriptedHost;
using Bytes = std::vector<std::uint8_t>;

constexpr DeviceHandle kHandle = ScriptedHost::kHandle;

class VendorCommandTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetCommandTemplates(); }
    void TearDown() override { ResetCommandTemplates(); }

    Bytes LastCdb() const { return host_.sent().back().cdb; }

    ScriptedHost host_;
    ScopedHost installed_{host_};
    CUsbDisk disk_;
};

Bytes Cdb(std::initializer_list<int> head) {
    Bytes cdb(16, 0);
    std::size_t i = 0;
    for (int b : head)
        cdb[i++] = static_cast<std::uint8_t>(b);
    return cdb;
}

Bytes CdbWithText(std::uint8_t opcode, std::uint8_t second, const std::string& text) {
    Bytes cdb(16, 0);
    cdb[0] = opcode;
    cdb[1] = second;
    std::copy(text.begin(), text.end(), cdb.begin() + 2);
    return cdb;
}

// ---------------------------------------------------------------------------------------------
// Reply tests: which replies each command takes as success.

struct ReplyCase {
    const char* name;
    std::function<int(CUsbDisk&)> command;
    Bytes reply;
    bool succeeds;
};

class ReplyTest : public VendorCommandTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyTest, AcceptsOnlyTheConfirmedReply) {
    host_.Reply(GetParam().reply);
    EXPECT_EQ(GetParam().command(disk_) != 0, GetParam().succeeds);
}

int Identify(CUsbDisk& d) {
    return d.IdentifyDevice(kHandle);
}
int Capacity(CUsbDisk& d) {
    std::uint32_t sectors = 0;
    return d.GetCapacity(kHandle, sectors);
}
int DiskType(CUsbDisk& d) {
    std::uint8_t type = 0;
    return d.GetDiskType(kHandle, type);
}
int SetType(CUsbDisk& d) {
    return d.SetDiskType(kHandle, DISK_TYPE_PASSWORD);
}
int Clock(CUsbDisk& d) {
    return d.SetClock(kHandle, "20110727104920Y");
}
int Login(CUsbDisk& d) {
    return d.Login(kHandle, 1, "abc");
}
int Verify(CUsbDisk& d) {
    return d.VerifyPassword(kHandle, "abc");
}
int SetPassword(CUsbDisk& d) {
    return d.SetPassword(kHandle, "abc");
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyTest,
    ::testing::Values(
        ReplyCase{"IdentifySignature", Identify,
                  ReplyBytes({0xF6, 'K', 'A', 'L', 'U', 'M', 'E', 'X'}), true},
        ReplyCase{"IdentifyLastSignatureByteOff", Identify,
                  ReplyBytes({0xF6, 'K', 'A', 'L', 'U', 'M', 'E', 'Y'}), false},
        ReplyCase{"IdentifyFirstSignatureByteOff", Identify,
                  ReplyBytes({0xF6, 'k', 'A', 'L', 'U', 'M', 'E', 'X'}), false},
        ReplyCase{"IdentifyWrongEcho", Identify,
                  ReplyBytes({0xF7, 'K', 'A', 'L', 'U', 'M', 'E', 'X'}), false},
        ReplyCase{"IdentifyRefused", Identify, Bytes(8, 0), false},
        ReplyCase{"CapacityYes", Capacity, ReplyBytes({0xFB, 'Y', 'E', 'S', 0, 0, 0x40, 0}), true},
        ReplyCase{"CapacityWrongEcho", Capacity, ReplyBytes({0xFA, 'Y', 'E', 'S', 0, 0, 0x40, 0}),
                  false},
        ReplyCase{"DiskTypeYesAfterType", DiskType, ReplyBytes({0xF9, 2, 'Y', 'E', 'S'}), true},
        ReplyCase{"DiskTypeYesOnePlaceEarly", DiskType, ReplyBytes({0xF9, 'Y', 'E', 'S'}), false},
        ReplyCase{"SetTypeYes", SetType, ReplyBytes({0xF8, 'Y', 'E', 'S'}), true},
        ReplyCase{"SetTypeNo", SetType, ReplyBytes({0xF8, 'N', 'O', 0}), false},
        ReplyCase{"ClockYes", Clock, ReplyBytes({0xF5, 'Y', 'E', 'S'}), true},
        ReplyCase{"ClockNo", Clock, ReplyBytes({0xF5, 'N', 'O', 0}), false},
        ReplyCase{"ClockWrongEcho", Clock, ReplyBytes({0xF4, 'Y', 'E', 'S'}), false},
        ReplyCase{"ClockRefused", Clock, Bytes(8, 0), false},
        ReplyCase{"LoginYes", Login, ReplyBytes({0xFA, 'Y', 'E', 'S'}), true},
        ReplyCase{"LoginNo", Login, ReplyBytes({0xFA, 'N', 'O', 0}), false},
        ReplyCase{"LoginYesWithOtherOpcode", Login, ReplyBytes({0xFB, 'Y', 'E', 'S'}), false},
        ReplyCase{"VerifyYes", Verify, ReplyBytes({0xF3, 'Y', 'E', 'S'}), true},
        ReplyCase{"VerifyLowercaseYes", Verify, ReplyBytes({0xF3, 'y', 'e', 's'}), false},
        ReplyCase{"SetPasswordYes", SetPassword, ReplyBytes({0xF2, 'Y', 'E', 'S'}), true},
        ReplyCase{"SetPasswordShortReply", SetPassword, ReplyBytes({0xF2, 'Y', 'E'}), false}),
    [](const auto& test) { return test.param.name; });

// Every command fails, sending nothing, on the invalid handle; and fails when the OS call fails,
// whatever the buffer then holds.
TEST_F(VendorCommandTest, EveryCommandFailsOnTheInvalidHandleWithoutIo) {
    std::uint32_t sectors = 1;
    std::uint8_t type = 1;
    EXPECT_EQ(disk_.IdentifyDevice(kInvalidDeviceHandle), 0);
    EXPECT_EQ(disk_.GetCapacity(kInvalidDeviceHandle, sectors), 0);
    EXPECT_EQ(disk_.GetDiskType(kInvalidDeviceHandle, type), 0);
    EXPECT_EQ(disk_.SetDiskType(kInvalidDeviceHandle, 1), 0);
    EXPECT_EQ(disk_.SetClock(kInvalidDeviceHandle, "20110727104920Y"), 0);
    EXPECT_EQ(disk_.Login(kInvalidDeviceHandle, 1, ""), 0);
    EXPECT_EQ(disk_.VerifyPassword(kInvalidDeviceHandle, ""), 0);
    EXPECT_EQ(disk_.SetPassword(kInvalidDeviceHandle, ""), 0);
    EXPECT_TRUE(host_.sent().empty());
    EXPECT_EQ(sectors, 0u);
    EXPECT_EQ(type, 0);
}

TEST_F(VendorCommandTest, ClockFailsWhenTheTransferFails) {
    host_.FailNext();
    EXPECT_EQ(disk_.SetClock(kHandle, "20110727104920Y"), 0);
}

// ---------------------------------------------------------------------------------------------
// Values taken out of replies.

TEST_F(VendorCommandTest, CapacityIsLittleEndianAndZeroAfterFailure) {
    std::uint32_t sectors = 99;
    host_.Reply(ReplyBytes({0xFB, 'Y', 'E', 'S', 0x00, 0x00, 0x40, 0x00}));
    EXPECT_NE(disk_.GetCapacity(kHandle, sectors), 0);
    EXPECT_EQ(sectors, 4194304u);

    host_.Reply(ReplyBytes({0xFB, 'Y', 'E', 'S', 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_NE(disk_.GetCapacity(kHandle, sectors), 0);
    EXPECT_EQ(sectors, 0xFFFFFFFFu);

    host_.Reply(ReplyBytes({0xFA, 'Y', 'E', 'S', 0x00, 0x00, 0x40, 0x00}));
    EXPECT_EQ(disk_.GetCapacity(kHandle, sectors), 0);
    EXPECT_EQ(sectors, 0u);
}

TEST_F(VendorCommandTest, DiskTypeIsPassedOnUnchecked) {
    for (const std::uint8_t sent :
         {std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{7}, std::uint8_t{0}}) {
        std::uint8_t type = 99;
        host_.Reply(ReplyBytes({0xF9, sent, 'Y', 'E', 'S'}));
        EXPECT_NE(disk_.GetDiskType(kHandle, type), 0);
        EXPECT_EQ(type, sent);
    }
    std::uint8_t type = 99;
    host_.Reply(ReplyBytes({0xF9, 'Y', 'E', 'S'}));
    EXPECT_EQ(disk_.GetDiskType(kHandle, type), 0);
    EXPECT_EQ(type, 0);
}

TEST_F(VendorCommandTest, TheReplyBufferIsZeroedBeforeEachCommand) {
    host_.Reply(ReplyBytes({0xF6, 'K', 'A', 'L', 'U', 'M', 'E', 'X'}));
    ASSERT_NE(disk_.IdentifyDevice(kHandle), 0);
    // The next request is carried out but the device sends nothing back.
    EXPECT_EQ(disk_.IdentifyDevice(kHandle), 0);
    EXPECT_EQ(disk_.ReplyBuffer()[0], 0);
}

// ---------------------------------------------------------------------------------------------
// CDB bytes, and what the templates keep between commands.

TEST_F(VendorCommandTest, ReadCommandsSendTheBareOpcode) {
    std::uint32_t sectors = 0;
    std::uint8_t type = 0;
    disk_.IdentifyDevice(kHandle);
    EXPECT_EQ(LastCdb(), Cdb({0xF6}));
    disk_.GetCapacity(kHandle, sectors);
    EXPECT_EQ(LastCdb(), Cdb({0xFB}));
    disk_.GetDiskType(kHandle, type);
    EXPECT_EQ(LastCdb(), Cdb({0xF9}));
}

TEST_F(VendorCommandTest, SetDiskTypeSendsOnlyOneOrTwo) {
    EXPECT_EQ(disk_.SetDiskType(kHandle, 0), 0);
    EXPECT_EQ(disk_.SetDiskType(kHandle, 3), 0);
    EXPECT_TRUE(host_.sent().empty());
    disk_.SetDiskType(kHandle, 1);
    EXPECT_EQ(LastCdb(), Cdb({0xF8, 0x01}));
    disk_.SetDiskType(kHandle, 2);
    EXPECT_EQ(LastCdb(), Cdb({0xF8, 0x02}));
}

TEST_F(VendorCommandTest, SetClockSendsTheFifteenCharactersAsAscii) {
    disk_.SetClock(kHandle, "20110727104920Y");
    EXPECT_EQ(LastCdb(), Cdb({0xF5, '2', '0', '1', '1', '0', '7', '2', '7', '1', '0', '4', '9', '2',
                              '0', 'Y'}));
    disk_.SetClock(kHandle, "20120304050607N");
    EXPECT_EQ(LastCdb(), Cdb({0xF5, '2', '0', '1', '2', '0', '3', '0', '4', '0', '5', '0', '6', '0',
                              '7', 'N'}));
}

TEST_F(VendorCommandTest, SetClockRefusesAnyOtherLengthWithoutIo) {
    for (const char* clock : {"", "2011072710492Y", "20110727104920YY"}) {
        EXPECT_EQ(disk_.SetClock(kHandle, clock), 0) << clock;
    }
    EXPECT_TRUE(host_.sent().empty());
}

TEST_F(VendorCommandTest, PasswordsOfTwelveGoInFullAndThirteenAreRefused) {
    disk_.VerifyPassword(kHandle, "abcdefghijkl");
    EXPECT_EQ(LastCdb(), CdbWithText(0xF3, 12, "abcdefghijkl"));
    EXPECT_EQ(disk_.VerifyPassword(kHandle, "abcdefghijklm"), 0);
    EXPECT_EQ(disk_.SetPassword(kHandle, "abcdefghijklm"), 0);
    EXPECT_EQ(disk_.Login(kHandle, 1, "abcdefghijklm"), 0);
    EXPECT_EQ(host_.sent().size(), 1u);
    // A refused password leaves the template as it was.
    EXPECT_EQ(CommandTemplateFor(CMD_VERIFY_PASSWORD), [] {
        CommandTemplate t{};
        const Bytes b = CdbWithText(0xF3, 12, "abcdefghijkl");
        std::copy(b.begin(), b.end(), t.begin());
        return t;
    }());
    EXPECT_EQ(CommandTemplateFor(CMD_LOGIN)[14], 0);
}

TEST_F(VendorCommandTest, ShorterPasswordsLeaveTheEarlierBytesBehindThem) {
    disk_.VerifyPassword(kHandle, "12345678");
    disk_.VerifyPassword(kHandle, "abc");
    // F3 03, the three new characters, characters 4 to 8 of the earlier password, six zeros.
    EXPECT_EQ(LastCdb(), Cdb({0xF3, 3, 'a', 'b', 'c', '4', '5', '6', '7', '8', 0, 0, 0, 0, 0, 0}));

    disk_.VerifyPassword(kHandle, "");
    EXPECT_EQ(LastCdb(), Cdb({0xF3, 0, 'a', 'b', 'c', '4', '5', '6', '7', '8'}));
}

TEST_F(VendorCommandTest, EachPasswordOpcodeKeepsItsOwnTemplate) {
    disk_.Login(kHandle, 1, "loginpw");
    disk_.SetPassword(kHandle, "newpw");
    disk_.VerifyPassword(kHandle, "x");
    EXPECT_EQ(LastCdb(), CdbWithText(0xF3, 1, "x"));
    disk_.SetPassword(kHandle, "n");
    EXPECT_EQ(LastCdb(), CdbWithText(0xF2, 1, "newpw"));
    EXPECT_EQ(LastCdb()[2], 'n');
}

TEST_F(VendorCommandTest, LoginAlwaysCarriesTheModeInByteFourteen) {
    disk_.Login(kHandle, 1, "abcdefghijkl");
    Bytes expected = CdbWithText(0xFA, 12, "abcdefghijkl");
    expected[14] = 1;
    EXPECT_EQ(LastCdb(), expected);

    disk_.Login(kHandle, 1, "");
    EXPECT_EQ(LastCdb()[1], 0);
    EXPECT_EQ(LastCdb()[14], 1);
    EXPECT_EQ(LastCdb()[15], 0);
}

}  // namespace
}  // namespace ulvren
