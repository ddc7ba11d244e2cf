#include "device/usb_disk.h"
#include "operations/device_session.h"
#include "operations/workers.h"

namespace ulvren {

void SetClockWorker(SharedWindowState& window, std::stop_token stop) {
    CUsbDisk disk;
    DeviceSession session(window, disk, DeviceSession::Ending::KeepMounted);
    if (!session.WaitForDevice(std::move(stop)) || !session.OpenAndLock()) {
        return;
    }
    const bool set = disk.SetClock(session.Handle(), window.members.clock_string.Get()) != 0;
    window.link.PostStatus(set ? STATUS_CLOCK_SET : STATUS_CLOCK_SET_FAILED);
}

}  // namespace ulvren
