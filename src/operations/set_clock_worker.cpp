#include "operations/device_session.h"
#include "operations/workers.h"

namespace ulvren {

void SetClockWorker(SharedWindowState& window, std::stop_token stop) {
    RunInDeviceSession(window, std::move(stop), SessionEnding::KeepMounted,
                       [&window](CUsbDisk& disk, DeviceHandle handle) {
                           const bool set =
                               disk.SetClock(handle, window.members.clock_string.Get()) != 0;
                           window.link.PostStatus(set ? STATUS_CLOCK_SET : STATUS_CLOCK_SET_FAILED);
                       });
}

}  // namespace ulvren
