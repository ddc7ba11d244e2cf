#include "format/volume_serial.h"

#include <gtest/gtest.h>

namespace ulvren::fat32 {
namespace {

TEST(VolumeSerial, IsFifteenBitsAndFixedBySecond) {
    for (std::uint64_t seconds = 0; seconds < 200'000; seconds += 7) {
        const std::uint32_t serial = DrawVolumeSerial(seconds);
        ASSERT_LE(serial, kMaxVolumeSerial) << seconds;
        ASSERT_EQ(serial, DrawVolumeSerial(seconds)) << seconds;
    }
    EXPECT_NE(DrawVolumeSerial(1'700'000'000), DrawVolumeSerial(1'700'000'001));
}

}  // namespace
}  // namespace ulvren::fat32
