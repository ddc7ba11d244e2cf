#include "operations/device_session.h"

namespace ulvren {
namespace {

using namespace std::chrono_literals;

// A worker that has waited this long for the device lock that another program holds says so.
constexpr auto kWaitingNoticeDelay = 1s;

// The end of the session's order, run when it goes out of scope on every path out of a worker.
class SessionEnd {
  public:
    SessionEnd(SharedWindowState& window, CUsbDisk& disk, SessionEnding ending)
        : window_(window), disk_(disk), ending_(ending) {}
    ~SessionEnd() {
        if (handle_ != kInvalidDeviceHandle) {
            // The results are not looked at: there is nothing left to do about a failure here.
            if (ending_ == SessionEnding::Dismount) {
                disk_.DismountVolume(handle_);
            }
            disk_.UnlockVolume(handle_);
            disk_.CloseDevice(handle_);
            window_.members.device_handle.Set(kInvalidDeviceHandle);
        }
        if (holds_mutex_) {
            window_.device_mutex->Release();
        }
    }
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

    void HoldsMutex() { holds_mutex_ = true; }
    void Opened(DeviceHandle handle) { handle_ = handle; }

  private:
    SharedWindowState& window_;
    CUsbDisk& disk_;
    SessionEnding ending_;
    bool holds_mutex_ = false;
    DeviceHandle handle_ = kInvalidDeviceHandle;
};

}  // namespace

void RunInDeviceSession(SharedWindowState& window, std::stop_token stop, SessionEnding ending,
                        const SessionBody& body, const BeforeOpen& before_open) {
    CUsbDisk disk;
    SessionEnd end(window, disk, ending);
    const NamedSystemMutex::WaitNotice waiting{
        kWaitingNoticeDelay,
        [&window] { window.link.PostNotice(WorkerNotice::WaitingForDeviceLock); }};
    switch (window.device_mutex->Acquire(std::move(stop), waiting)) {
        case DeviceMutex::Outcome::Held:
            break;
        case DeviceMutex::Outcome::Stopped:
            return;
        case DeviceMutex::Outcome::Unavailable:
            // Said as a failed open, with the lock's reason: the device is not touched.
            window.link.PostDeviceLockRefused(LastHostError());
            return;
    }
    end.HoldsMutex();
    if (before_open && !before_open(disk)) {
        return;
    }
    disk.CloseDevice(window.members.device_handle.Get());
    const DeviceHandle handle = disk.OpenDevice(window.members.device_path.Get());
    window.members.device_handle.Set(handle);
    if (handle == kInvalidDeviceHandle) {
        // A button's operation (no step before the open) whose path leads nowhere any more, the
        // recorder unplugged, says so; a detection's failed open is told by what it finds next.
        window.link.PostOpenFailed(LastHostError(),
                                   before_open ? NotFoundBy::Detection : NotFoundBy::Operation);
        return;
    }
    end.Opened(handle);
    // The kept path may lead elsewhere since the detection that found it: after an unplug,
    // another disk can take its name. Only the recorder gets the lock, the unmount and the body.
    if (!before_open && disk.IdentifyDevice(handle) == 0) {
        window.link.PostRecorderGone();
        return;
    }
    disk.LockVolume(handle);
    if (ending == SessionEnding::Dismount) {
        // As with the lock, the session goes on whatever the outcome.
        disk.ReleaseFileSystems(handle);
    }
    body(disk, handle);
}

}  // namespace ulvren
