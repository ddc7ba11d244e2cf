#pragma once

#include <stop_token>

#include "device/usb_disk.h"
#include "host/device_handle.h"
#include "operations/shared_window_state.h"

namespace ulvren {

// One worker's use of the device, always in this order: wait for the device mutex, close a
// leftover handle, open the device path, lock the volume, the worker's commands, dismount (only
// where the worker asks for it), unlock, close, release the mutex. The end of that order runs
// when the session is destroyed, on every path out of the worker, so the volume is never left
// open and the mutex is given back exactly once.
class DeviceSession {
  public:
    enum class Ending { KeepMounted, Dismount };

    // `disk` makes every device call of the session and must outlive it.
    DeviceSession(SharedWindowState& window, CUsbDisk& disk, Ending ending);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Waits for the device mutex without a time limit. False when `stop` was requested first:
    // the worker then ends without touching the device and posts nothing.
    bool WaitForDevice(std::stop_token stop);

    // Closes a leftover handle, opens the window's device path and locks the volume (whether the
    // lock is granted does not matter). False, after posting STATUS_OPEN_FAILED, when the path
    // cannot be opened.
    bool OpenAndLock();

    // The open volume; valid after OpenAndLock returned true.
    DeviceHandle Handle() const { return handle_; }

  private:
    SharedWindowState& window_;
    CUsbDisk& disk_;
    Ending ending_;
    bool holds_mutex_ = false;
    DeviceHandle handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace ulvren
