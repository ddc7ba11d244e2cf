// The authorisation helper's parts that decide what it touches: which disks it looks at, the rule
// and the file it writes, the udisks object it names, and the rules directory it writes into.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "hosts/linux/authorize/rule_directory.h"
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
         "70-ulvren-1d6b-0104-A1B2.rules",
         {"SUBSYSTEMS==\"usb\"", "ATTRS{idVendor}==\"1d6b\"", "ATTRS{idProduct}==\"0104\"",
          "ATTRS{serial}==\"A1B2\""},
         {}},
        // No serial: the INQUIRY strings on the SCSI device, after the USB identity.
        {{.vendor_id = "1d6b",
          .product_id = "0104",
          .scsi_vendor = "ULVREN",
          .scsi_model = "Rec 1"},
         "70-ulvren-1d6b-0104-ULVREN-Rec_201.rules",
         {"SUBSYSTEMS==\"scsi\"", "ATTRS{vendor}==\"ULVREN\"", "ATTRS{model}==\"Rec 1\""},
         {"ATTRS{idVendor}==\"1d6b\", ATTRS{idProduct}==\"0104\""}},
        // What the device reports never widens the match, ends a value or leaves the directory.
        {{.vendor_id = "abcd", .product_id = "ef01", .serial = "*\"|\\/../x?[0]\n"},
         "70-ulvren-abcd-ef01-_2a_22_7c_5c_2f_2e_2e_2fx_3f_5b0_5d_0a.rules",
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
    const UsbDiskIdentity long_serial{
        .vendor_id = "abcd", .product_id = "ef01", .serial = std::string(126, '-')};
    EXPECT_LE(UdevRuleFileName(long_serial).size(), 255u);

    for (const char* other : {"70-ulvren-.rules", "99-local.rules", "70-ulvren-a.rules.tmp",
                              ".70-ulvren-a.rules.tmp", "71-ulvren-a.rules"}) {
        EXPECT_FALSE(IsRecorderRuleFileName(other)) << other;
    }
}

// With the clock on plug-in, the matching line goes on to the generic node's systemd tag (every
// event) and its set-clock service (add events only); without, the rule holds neither.
TEST(UdevRule, AsksForTheSetClockServiceOnlyWhenAskedTo) {
    const UsbDiskIdentity with_serial{.vendor_id = "1d6b", .product_id = "0105", .serial = "R1"};
    const UsbDiskIdentity without_serial{
        .vendor_id = "1d6b", .product_id = "0105", .scsi_vendor = "ULVREN", .scsi_model = "Rec"};
    for (const UsbDiskIdentity& identity : {with_serial, without_serial}) {
        SCOPED_TRACE(identity.serial);
        const std::string plain = UdevRuleText(identity);
        EXPECT_EQ(plain.find("systemd"), std::string::npos) << plain;
        EXPECT_EQ(plain.find("ulvren_clock"), std::string::npos) << plain;

        const std::string text = UdevRuleText(identity, true);
        const auto grant = text.find("TAG+=\"uaccess\", GOTO=\"ulvren_clock\"\n");
        const auto label = text.find("LABEL=\"ulvren_clock\"\n");
        const auto tag = text.find("SUBSYSTEM==\"scsi_generic\", TAG+=\"systemd\"\n");
        const auto wants = text.find(
            "SUBSYSTEM==\"scsi_generic\", ACTION==\"add\", "
            "ENV{SYSTEMD_WANTS}+=\"ulvren-set-clock@%k.service\"\n");
        const auto end = text.find("LABEL=\"ulvren_end\"\n");
        ASSERT_NE(grant, std::string::npos) << text;
        EXPECT_LT(grant, label) << text;
        EXPECT_LT(label, tag) << text;
        EXPECT_LT(tag, wants) << text;
        EXPECT_LT(wants, end) << text;
        // A node that does not match never reaches the clock's lines.
        EXPECT_NE(text.substr(0, label).rfind("GOTO=\"ulvren_end\"\n"), std::string::npos);
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
    fs::create_symlink(elsewhere_.Path() / "target", Rules() / ".70-ulvren-a.rules.tmp");
    ASSERT_TRUE(directory->Write("70-ulvren-a.rules", "rule a\n", error_)) << error_;
    EXPECT_EQ(Read(Rules() / "70-ulvren-a.rules"), "rule a\n");
    EXPECT_EQ(fs::status(Rules() / "70-ulvren-a.rules").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    EXPECT_FALSE(fs::exists(fs::symlink_status(Rules() / ".70-ulvren-a.rules.tmp")));
    EXPECT_EQ(Read(elsewhere_.Path() / "target"), "untouched");

    // Removal: the tool's rules (a link among them goes itself), nothing else.
    root_.WriteFile("etc/udev/rules.d/99-local.rules", "keep\n");
    fs::create_symlink(elsewhere_.Path() / "target", Rules() / "70-ulvren-b.rules");
    const auto removed = directory->RemoveRecorderRules(error_);
    ASSERT_TRUE(removed) << error_;
    EXPECT_EQ(removed->size(), 2u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(Rules() / "70-ulvren-a.rules")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Rules() / "70-ulvren-b.rules")));
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
