// Which of the system's WM_DEVICECHANGE notices the window takes for a disk coming or going.
#include "views/win32/device_change_message.h"

#include <gtest/gtest.h>
// windows.h first (device_change_message.h): dbt.h needs its types.
#include <dbt.h>

namespace ulvren::testing {
namespace {

TEST(DeviceChangeMessage, OnlyAnArrivalOrACompletedRemovalIsAChange) {
    const struct {
        WPARAM event;
        std::optional<DeviceChange> change;
    } cases[] = {
        {DBT_DEVICEARRIVAL, DeviceChange::DiskArrived},
        {DBT_DEVICEREMOVECOMPLETE, DeviceChange::DiskGone},
        {DBT_DEVNODES_CHANGED, std::nullopt},
        {DBT_DEVICEQUERYREMOVE, std::nullopt},
        {DBT_DEVICEREMOVEPENDING, std::nullopt},
        {DBT_CONFIGCHANGED, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(views::win32::DeviceChangeOf(c.event), c.change) << std::hex << c.event;
    }
}

}  // namespace
}  // namespace ulvren::testing
