#include "operations/device_session.h"

namespace ulvren {

DeviceSession::DeviceSession(SharedWindowState& window, CUsbDisk& disk, Ending ending)
    : window_(window), disk_(disk), ending_(ending) {}

DeviceSession::~DeviceSession() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        // The results are not looked at: there is nothing left to do about a failure here.
        if (ending_ == Ending::Dismount) {
            disk_.DismountVolume(handle_);
        }
        disk_.UnlockVolume(handle_);
        disk_.CloseDevice(handle_);
        window_.members.device_handle.Set(INVALID_HANDLE_VALUE);
    }
    if (holds_mutex_) {
        window_.device_mutex->Release();
    }
}

bool DeviceSession::WaitForDevice(std::stop_token stop) {
    holds_mutex_ = window_.device_mutex->Acquire(std::move(stop));
    return holds_mutex_;
}

bool DeviceSession::OpenAndLock() {
    disk_.CloseDevice(window_.members.device_handle.Get());
    handle_ = disk_.OpenDevice(window_.members.device_path.Get());
    window_.members.device_handle.Set(handle_);
    if (handle_ == INVALID_HANDLE_VALUE) {
        window_.link.PostStatus(STATUS_OPEN_FAILED);
        return false;
    }
    disk_.LockVolume(handle_);
    return true;
}

}  // namespace ulvren
