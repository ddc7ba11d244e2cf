// The Windows host's own arithmetic: which drives it lists, and how much one request may carry.
#include <gtest/gtest.h>

#include <set>

#include "hosts/windows/drive_letters.h"
#include "hosts/windows/transfer_limits.h"

namespace ulvren {
namespace {

TEST(DriveLetters, RemovableDrivesComeInLetterOrder) {
    // A: (bit 0), C:, E:, G:, Z: and the bits past Z that no system sets; E:, G: and A: are
    // removable.
    const std::uint32_t mask = 1u << 0 | 1u << 2 | 1u << 4 | 1u << 6 | 1u << 25;
    const std::set<std::string> removable = {"G:\\", "A:\\", "E:\\"};
    std::vector<std::string> asked;
    const auto roots = RemovableDriveRootsOf(mask, [&](const std::string& root) {
        asked.push_back(root);
        return removable.count(root) != 0;
    });
    EXPECT_EQ(roots, (std::vector<std::string>{"A:\\", "E:\\", "G:\\"}));
    // Only the drives that exist are asked about.
    EXPECT_EQ(asked, (std::vector<std::string>{"A:\\", "C:\\", "E:\\", "G:\\", "Z:\\"}));
    EXPECT_TRUE(RemovableDriveRootsOf(0, [](const std::string&) { return true; }).empty());
}

struct LimitCase {
    const char* name;
    std::optional<AdapterDescriptorFields> adapter;
    TransferLimits expected;
};

class TransferLimitsTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(TransferLimitsTest, FollowTheAdapter) {
    EXPECT_EQ(TransferLimitsOf(GetParam().adapter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, TransferLimitsTest,
    ::testing::Values(
        // 64 KiB in any buffer when the adapter says nothing or cannot be asked.
        LimitCase{"NoDescriptor", std::nullopt, {128, 0}},
        LimitCase{"NoLengthGiven", AdapterDescriptorFields{0, 0, 3}, {128, 3}},
        LimitCase{"UsbStick", AdapterDescriptorFields{0x10000, 17, 0}, {128, 0}},
        LimitCase{"LengthRules", AdapterDescriptorFields{0x20000, 0xFFFFFFFF, 1}, {256, 1}},
        // 33 pages carry 128 KiB only from a page boundary: one page short is the limit.
        LimitCase{"PagesRule", AdapterDescriptorFields{0x100000, 33, 7}, {256, 7}},
        LimitCase{"BelowOneSector", AdapterDescriptorFields{100, 0, 0}, {1, 0}},
        // WRITE(10) counts at most 65,535 blocks.
        LimitCase{"AboveWrite10", AdapterDescriptorFields{0xFFFFFFFF, 0, 0}, {65535, 0}}),
    [](const auto& test) { return test.param.name; });

TEST(TransferLimits, AlignmentMaskNamesTheBitsThatMustBeClear) {
    EXPECT_TRUE(IsAligned(0x1000, 0));
    EXPECT_TRUE(IsAligned(0x1001, 0));
    EXPECT_TRUE(IsAligned(0x1004, 3));
    EXPECT_FALSE(IsAligned(0x1002, 3));
    EXPECT_FALSE(IsAligned(0x1008, 0xF));
}

}  // namespace
}  // namespace ulvren
