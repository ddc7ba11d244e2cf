// The authorisation helper's parts that decide what it touches: which disks it looks at, the rule
// and the file it writes, the udisks object it names, and the rules directory it writes into.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "hosts/linux/authorize/node_acl.h"
#include "hosts/linux/authorize/rule_directory.h"
#include "hosts/linux/authorize/seat_access.h"
#include "hosts/linux/authorize/udev_rule.h"
#include "hosts/linux/authorize/usb_disk_identity.h"
#include "hosts/linux/udisks.h"
#include "temporary_directory.h"

namespace ulvren::authorize {
namespace {

namespace fs = std::filesystem;

struct FakeDisk {
    std::string name;
    std::string removable = "1";
    std::string scsi_type = "0";
    std::string interface_class = "08";  // empty: not behind USB at all
    std::string vendor_id = "1d6b";
    std::string product_id = "0104";
    std::string serial{};  // none when empty
    std::string generic = "sg1";
};

// Lays out a disk as sysfs does: the SCSI device under its USB interface and device, and
// block/<name>/device pointing at it.
void AddDisk(const TemporaryDirectory& sysfs, const FakeDisk& disk) {
    const std::string usb = "devices/pci0/usb1/1-" + disk.name;
    const std::string parent =
        disk.interface_class.empty() ? "devices/pci0/ata1" : usb + "/1-1:1.0";
    const std::string scsi = parent + "/host0/target0:0:0/0:0:0:" + disk.name;
    if (!disk.interface_class.empty()) {
        sysfs.WriteFile(usb + "/1-1:1.0/bInterfaceClass", disk.interface_class + "\n");
        sysfs.WriteFile(usb + "/idVendor", disk.vendor_id + "\n");
        sysfs.WriteFile(usb + "/idProduct", disk.product_id + "\n");
        if (!disk.serial.empty()) {
            sysfs.WriteFile(usb + "/serial", disk.serial + "\n");
        }
    }
    sysfs.WriteFile(scsi + "/type", disk.scsi_type + "\n");
    sysfs.WriteFile(scsi + "/vendor", "ULVREN  \n");
    sysfs.WriteFile(scsi + "/model", "Recorder        \n");
    fs::create_directories(sysfs.Path() / scsi / "scsi_generic" / disk.generic);
    sysfs.WriteFile("block/" + disk.name + "/removable", disk.removable + "\n");
    fs::create_directory_symlink(sysfs.Path() / scsi,
                                 sysfs.Path() / "block" / disk.name / "device");
}

TEST(UsbMassStorageDisks, ListsOnlyUsbMassStorageDirectAccessRemovableDisks) {
    TemporaryDirectory sysfs;
    const std::vector<FakeDisk> disks = {
        {.name = "sdc", .serial = "A1B2"},        {.name = "sdb", .generic = "sg3"},
        {.name = "sda", .removable = "0"},         // fixed
        {.name = "sdd", .scsi_type = "7"},         // optical memory
        {.name = "sde", .interface_class = ""},    // a card reader on another bus
        {.name = "sdf", .interface_class = "03"},  // not mass storage
        {.name = "sdg", .vendor_id = "1d6b0"},     // not an idVendor
        {.name = "sdh", .product_id = "../x"},     // not an idProduct
    };
    for (const FakeDisk& disk : disks) {
        AddDisk(sysfs, disk);
    }

    const std::vector<UsbDiskIdentity> found = UsbMassStorageDisks(sysfs.Path());

    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].block_name, "sdb");
    EXPECT_EQ(found[0].generic_name, "sg3");
    EXPECT_EQ(found[0].serial, "");
    EXPECT_EQ(found[0].scsi_vendor, "ULVREN");
    EXPECT_EQ(found[0].scsi_model, "Recorder");
    EXPECT_EQ(found[1].block_name, "sdc");
    EXPECT_EQ(found[1].vendor_id, "1d6b");
    EXPECT_EQ(found[1].product_id, "0104");
    EXPECT_EQ(found[1].serial, "A1B2");
}

// udev drops trailing white space from an attribute before it matches it, and nothing else: the
// rule must name what udev will see, not the first line nor the text with its tab.
TEST(UsbMassStorageDisks, ReadsAttributesWholeAsUdevDoes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"REC1\n", "REC1"},     {"REC1\t\n", "REC1"}, {"AB\nCD\n", "AB\nCD"},
        {" A B  \r\n", " A B"}, {"A\tB\n", "A\tB"},   {"\n\t \n", ""},
    };
    for (const auto& [contents, seen] : cases) {
        EXPECT_EQ(AttributeAsUdevReadsIt(contents), seen) << contents;
    }
    TemporaryDirectory sysfs;
    AddDisk(sysfs, {.name = "sdb", .serial = "AB\nCD"});
    const auto disks = UsbMassStorageDisks(sysfs.Path());
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].serial, "AB\nCD");
}

// The helper reads the identity again after the identify: a device plugged in meanwhile under the
// same names (another USB device number, other nodes) is not the one that answered.
TEST(UsbMassStorageDisks, TellsADeviceSwappedInUnderTheSameNames) {
    TemporaryDirectory sysfs;
    AddDisk(sysfs, {.name = "sdb", .serial = "A1"});
    const std::string usb = "devices/pci0/usb1/1-sdb/";
    sysfs.WriteFile(usb + "devnum", "5\n");
    sysfs.WriteFile("block/sdb/dev", "8:16\n");
    const auto answered = UsbMassStorageDisk(sysfs.Path(), "sdb");
    ASSERT_TRUE(answered);
    EXPECT_EQ(UsbMassStorageDisk(sysfs.Path(), "sdb"), answered);
    sysfs.WriteFile(usb + "devnum", "6\n");
    EXPECT_NE(UsbMassStorageDisk(sysfs.Path(), "sdb"), answered);
    sysfs.WriteFile(usb + "devnum", "5\n");
    sysfs.WriteFile("block/sdb/dev", "8:32\n");
    EXPECT_NE(UsbMassStorageDisk(sysfs.Path(), "sdb"), answered);
}

// Counts the lines of `text` that tag a node; each must carry every match in `matches`.
void ExpectTagLineMatches(const std::string& text, const std::vector<std::string>& matches) {
    std::istringstream lines(text);
    int tag_lines = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("TAG+=\"uaccess\"") == std::string::npos) {
            continue;
        }
        ++tag_lines;
        for (const std::string& match : matches) {
            EXPECT_NE(line.find(match), std::string::npos) << match << " missing in: " << line;
        }
    }
    EXPECT_EQ(tag_lines, 1) << text;
}

TEST(UdevRule, MatchesTheRecorderAsNarrowlyAsItsIdentityAllows) {
    struct Case {
        UsbDiskIdentity identity;
        std::string file_name;
        std::vector<std::string> tag_line_matches;  // besides idVendor and idProduct
        std::vector<std::string> earlier_matches;   // on lines before the tag line
    };
    const std::vector<Case> cases = {
        {{.vendor_id = "1d6b", .product_id = "0104", .serial = "A1B2"},
         "70-ulvren-1d6b-0104-A1B2-b77d98368bb42f85.rules",
         {"SUBSYSTEMS==\"usb\"", "ATTRS{idVendor}==\"1d6b\"", "ATTRS{idProduct}==\"0104\"",
          "ATTRS{serial}==\"A1B2\""},
         {}},
        // No serial: the INQUIRY strings on the SCSI device, after the USB identity.
        {{.vendor_id = "1d6b",
          .product_id = "0104",
          .scsi_vendor = "ULVREN",
          .scsi_model = "Rec 1"},
         "70-ulvren-1d6b-0104-ULVREN-Rec_201-b575da126b5e2fa4.rules",
         {"SUBSYSTEMS==\"scsi\"", "ATTRS{vendor}==\"ULVREN\"", "ATTRS{model}==\"Rec 1\""},
         {"ATTRS{idVendor}==\"1d6b\", ATTRS{idProduct}==\"0104\""}},
        // What the device reports never widens the match, ends a value or leaves the directory.
        {{.vendor_id = "abcd", .product_id = "ef01", .serial = "*\"|\\/../x?[0]\n"},
         "70-ulvren-abcd-ef01-_2a_22_7c_5c_2f_2e_2e_2fx_3f_5b0_5d_0a-5a2363707ad9492e.rules",
         {"ATTRS{serial}==\"\?\?\?\?/../x\?\?0\?\?\""},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file_name);
        EXPECT_EQ(UdevRuleFileName(c.identity), c.file_name);
        EXPECT_TRUE(IsRecorderRuleFileName(c.file_name));
        const std::string text = UdevRuleText(c.identity);
        ExpectTagLineMatches(text, c.tag_line_matches);
        const std::string before_tag = text.substr(0, text.find("TAG+="));
        for (const std::string& match : c.earlier_matches) {
            EXPECT_NE(before_tag.find(match), std::string::npos) << match;
        }
        // Only the whole disk's block node and its generic node, never a partition.
        EXPECT_NE(text.find("SUBSYSTEM==\"block\", ENV{DEVTYPE}==\"disk\""), std::string::npos);
        EXPECT_NE(text.find("SUBSYSTEM==\"scsi_generic\""), std::string::npos);
    }
    // Every distinct identity has a file of its own, however long its strings.
    const std::vector<UsbDiskIdentity> distinct = {
        {.vendor_id = "abcd", .product_id = "ef01", .serial = std::string(126, '-')},
        {.vendor_id = "abcd", .product_id = "ef01", .serial = std::string(125, '-') + "x"},
        {.vendor_id = "abcd", .product_id = "ef01", .serial = std::string(126, 'A')},
        {.vendor_id = "abcd", .product_id = "ef01", .serial = std::string(125, 'A') + "B"},
        {.vendor_id = "abcd", .product_id = "ef02", .serial = std::string(126, 'A')},
        {.vendor_id = "abcd", .product_id = "ef01", .scsi_vendor = "A", .scsi_model = "BC"},
        {.vendor_id = "abcd", .product_id = "ef01", .scsi_vendor = "AB", .scsi_model = "C"},
    };
    std::set<std::string> names;
    for (const UsbDiskIdentity& identity : distinct) {
        EXPECT_LE(UdevRuleFileName(identity).size(), 255u);
        names.insert(UdevRuleFileName(identity));
    }
    EXPECT_EQ(names.size(), distinct.size());

    for (const char* other : {"70-ulvren-.rules", "99-local.rules", "70-ulvren-a.rules.tmp",
                              ".70-ulvren-a.rules.tmp", "71-ulvren-a.rules"}) {
        EXPECT_FALSE(IsRecorderRuleFileName(other)) << other;
    }
}

// With the clock on plug-in, the matching line goes on to the generic node's systemd tag (every
// event) and its set-clock service (add events only), before the end; without, neither is there.
TEST(UdevRule, AsksForTheSetClockServiceOnlyWhenAskedTo) {
    for (const UsbDiskIdentity& identity :
         {UsbDiskIdentity{.vendor_id = "1d6b", .product_id = "0105", .serial = "R1"},
          UsbDiskIdentity{.vendor_id = "1d6b", .product_id = "0105", .scsi_model = "Rec"}}) {
        EXPECT_EQ(UdevRuleText(identity).find("systemd"), std::string::npos);
        const std::string text = UdevRuleText(identity, true);
        std::size_t at = 0;
        for (const char* line :
             {"TAG+=\"uaccess\", GOTO=\"ulvren_clock\"\n", "GOTO=\"ulvren_end\"\n",
              "LABEL=\"ulvren_clock\"\n", "SUBSYSTEM==\"scsi_generic\", TAG+=\"systemd\"\n",
              "SUBSYSTEM==\"scsi_generic\", ACTION==\"add\", "
              "ENV{SYSTEMD_WANTS}+=\"ulvren-set-clock@%k.service\"\n",
              "LABEL=\"ulvren_end\"\n"}) {
            at = text.find(line, at);
            ASSERT_NE(at, std::string::npos) << line << " missing in order in:\n" << text;
        }
    }
}

TEST(UDisksBlockObjectPath, EscapesAsUdisksDoes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"sdb1", "/org/freedesktop/UDisks2/block_devices/sdb1"},
        {"sdb", "/org/freedesktop/UDisks2/block_devices/sdb"},
        {"dm-0", "/org/freedesktop/UDisks2/block_devices/dm_2d0"},
        {"a_b.c", "/org/freedesktop/UDisks2/block_devices/a_b_2ec"},
    };
    for (const auto& [name, path] : cases) {
        EXPECT_EQ(UDisksBlockObjectPath(name), path);
    }
}

// logind's named-user entry goes; the owner's, the owning group's and others' stay, and the mask
// follows what is left (none without named entries, so that the kernel keeps the plain mode).
TEST(NodeAcl, TakesAwayEveryNamedUserEntry) {
    const AclEntry owner{kAclUserObject, 6, 0xffffffff};
    const AclEntry group{kAclGroupObject, 6, 0xffffffff};
    const AclEntry other{kAclOther, 0, 0xffffffff};
    const AclEntry desk{kAclUser, 6, 1000};
    const AclEntry audio{kAclGroup, 4, 29};
    struct Case {
        const char* what;
        std::vector<AclEntry> before, after;
        std::vector<uid_t> users_before;
    };
    const std::vector<Case> cases = {
        {"logind's entry",
         {owner, desk, group, {kAclMask, 6, 0xffffffff}, other},
         {owner, group, other},
         {1000}},
        {"two users",
         {owner, desk, {kAclUser, 6, 1001}, group, {kAclMask, 6, 0xffffffff}, other},
         {owner, group, other},
         {1000, 1001}},
        {"a named group stays",
         {owner, desk, group, audio, {kAclMask, 6, 0xffffffff}, other},
         {owner, group, audio, {kAclMask, 6, 0xffffffff}, other},
         {1000}},
        {"masked out",
         {owner, desk, group, {kAclMask, 0, 0xffffffff}, other},
         {owner, group, other},
         {}},
        {"plain mode", {owner, group, other}, {owner, group, other}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto parsed = ParseAcl(SerializeAcl(c.before));
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, c.before);
        EXPECT_EQ(UsersWithAccess(c.before), c.users_before);
        EXPECT_EQ(GivesReadWrite(c.before, 1000), !c.users_before.empty());
        EXPECT_EQ(WithoutUserEntries(c.before), c.after);
    }
    // The kernel's layout: version 2, then tag, permissions and id, little-endian.
    EXPECT_EQ(SerializeAcl({desk}), std::string("\x02\0\0\0\x02\0\x06\0\xe8\x03\0\0", 12));
    EXPECT_FALSE(ParseAcl(std::string("\x01\0\0\0", 4)));
    EXPECT_FALSE(ParseAcl(std::string("\x02\0\0\0\x02\0", 6)));
}

// Which nodes logind looks after (the tags of their latest event) and whom it gives them.
TEST(SeatAccess, ReadsUdevsAndLogindsState) {
    EXPECT_TRUE(
        ParseUdevDatabase("S:disk/by-id/x\nE:ID_SEAT=seat1\nG:uaccess\nQ:uaccess\n").uaccess);
    EXPECT_EQ(ParseUdevDatabase("E:ID_SEAT=seat1\nQ:uaccess\n").seat, "seat1");
    // Tagged once, not by the latest event: logind leaves the node (and its ACL) alone.
    const NodeSeating untagged = ParseUdevDatabase("G:uaccess\nQ:seat\n");
    EXPECT_FALSE(untagged.uaccess);
    EXPECT_EQ(untagged.seat, "seat0");
    EXPECT_EQ(ParseActiveUser("STATE=online\nACTIVE=c1\nACTIVE_UID=1000\n"), 1000u);
    EXPECT_FALSE(ParseActiveUser("STATE=online\nACTIVE_UID=\n"));
}

// The rules directory under a root of the test's own (root's, 0700, as the helper needs).
class RulesDirectory : public ::testing::Test {
  protected:
    fs::path Rules() const { return root_.Path() / "etc/udev/rules.d"; }
    std::optional<RuleDirectory> Open() { return RuleDirectory::Open(error_, root_.Path()); }
    static std::string Read(const fs::path& path) {
        std::ifstream file(path);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    TemporaryDirectory root_;
    TemporaryDirectory elsewhere_;
    std::string error_;
};

TEST_F(RulesDirectory, WritesInPlaceAndRemovesOnlyItsOwnRules) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the rules directory must be root's";
    }
    fs::create_directories(root_.Path() / "etc/udev");
    auto directory = Open();
    ASSERT_TRUE(directory) << error_;
    EXPECT_EQ(directory->Path(), (root_.Path() / "etc/udev/rules.d").string());

    // A link planted at the temporary name is replaced, never written through.
    elsewhere_.WriteFile("target", "untouched");
    const std::string temporary = ".70-ulvren-a.rules." + std::to_string(::getpid()) + ".tmp";
    fs::create_symlink(elsewhere_.Path() / "target", Rules() / temporary);
    ASSERT_TRUE(directory->Write("70-ulvren-a.rules", "rule a\n", error_)) << error_;
    EXPECT_EQ(Read(Rules() / "70-ulvren-a.rules"), "rule a\n");
    EXPECT_EQ(fs::status(Rules() / "70-ulvren-a.rules").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    EXPECT_FALSE(fs::exists(fs::symlink_status(Rules() / temporary)));
    EXPECT_EQ(Read(elsewhere_.Path() / "target"), "untouched");

    // Removal: the tool's rules (a link among them goes itself) and the temporary files of a
    // helper that was cut off, nothing else.
    root_.WriteFile("etc/udev/rules.d/99-local.rules", "keep\n");
    root_.WriteFile("etc/udev/rules.d/.70-ulvren-c.rules.4242.tmp", "cut off\n");
    fs::create_symlink(elsewhere_.Path() / "target", Rules() / "70-ulvren-b.rules");
    const auto removed = directory->RemoveRecorderRules(error_);
    ASSERT_TRUE(removed) << error_;
    EXPECT_EQ(removed->size(), 2u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(Rules() / "70-ulvren-a.rules")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Rules() / "70-ulvren-b.rules")));
    EXPECT_FALSE(fs::exists(Rules() / ".70-ulvren-c.rules.4242.tmp"));
    EXPECT_TRUE(fs::exists(Rules() / "99-local.rules"));
    EXPECT_EQ(Read(elsewhere_.Path() / "target"), "untouched");
}

TEST_F(RulesDirectory, RefusesLinksAndDirectoriesOthersMayWrite) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the rules directory must be root's";
    }
    struct Case {
        const char* what;
        void (*plant)(const fs::path& root, const fs::path& elsewhere);
    };
    const Case cases[] = {
        {"etc is a link",
         [](const fs::path& root, const fs::path& elsewhere) {
             fs::create_directories(elsewhere / "udev/rules.d");
             fs::create_directory_symlink(elsewhere, root / "etc");
         }},
        {"rules.d is a link",
         [](const fs::path& root, const fs::path& elsewhere) {
             fs::create_directories(root / "etc/udev");
             fs::create_directory_symlink(elsewhere, root / "etc/udev/rules.d");
         }},
        {"udev may be written by others",
         [](const fs::path& root, const fs::path&) {
             fs::create_directories(root / "etc/udev/rules.d");
             fs::permissions(root / "etc/udev", fs::perms::others_write, fs::perm_options::add);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryDirectory root;
        TemporaryDirectory elsewhere;
        c.plant(root.Path(), elsewhere.Path());
        std::string error;
        EXPECT_FALSE(RuleDirectory::Open(error, root.Path()));
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace ulvren::authorize
