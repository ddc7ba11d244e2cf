// The udev source's own life: it starts, takes and drops listeners, and ends without waiting for
// a notice, whether or not udev runs here.
#include <gtest/gtest.h>

#include "host/platform.h"

namespace ulvren {
namespace {

TEST(UdevDeviceChanges, StartsAndEndsWithOrWithoutAListener) {
    for (const bool listening : {false, true}) {
        const std::unique_ptr<DeviceChangeSource> source = platform::OpenDeviceChangeSource();
        ASSERT_NE(source, nullptr);
        if (listening) {
            source->Listen([](DeviceChange) {});
        }
    }
}

}  // namespace
}  // namespace ulvren
