#pragma once

#include <functional>
#include <stop_token>

#include "device/usb_disk.h"
#include "host/device_handle.h"
#include "operations/shared_window_state.h"

namespace ulvren {

// How a device session ends: format and login dismount the volume before they unlock it, so the
// system reads it afresh; the other workers leave it mounted. Only a session that dismounts takes
// the volume from its file systems first (VolumeControl::ReleaseFileSystems), and only once the
// device at its path has identified as the recorder.
enum class SessionEnding { KeepMounted, Dismount };

// What a worker does before the open, holding the device mutex (detection finds the device here).
// False ends the session without opening anything.
using BeforeOpen = std::function<bool(CUsbDisk& disk)>;
// What a worker does with the open, locked volume.
using SessionBody = std::function<void(CUsbDisk& disk, DeviceHandle handle)>;

// Runs one worker's use of the device, always in this order: wait for the device mutex, the step
// before the open (if any), close a leftover handle, open the device path, check that the device
// there still identifies as the recorder (where there is no step before the open; detection finds
// the recorder in that step), lock the volume (whether the lock is granted does not matter),
// release its file systems (for SessionEnding::Dismount), `body`, dismount (for
// SessionEnding::Dismount), unlock, close, release the mutex. A failed open posts
// STATUS_OPEN_FAILED, with the host's reason, and ends the session there; so does a device mutex
// that cannot be had at all (with its reason), before anything else. A device that does not
// identify gets nothing more: the session posts STATUS_DEVICE_NOT_FOUND (NotFoundBy::Operation)
// and ends. When `stop` is requested before the mutex is had, nothing is done and nothing is
// posted. Every path out gives the mutex back exactly once and leaves no volume open.
void RunInDeviceSession(SharedWindowState& window, std::stop_token stop, SessionEnding ending,
                        const SessionBody& body, const BeforeOpen& before_open = {});

}  // namespace ulvren
