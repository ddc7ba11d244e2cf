#include "hosts/windows/win32_named_mutex.h"

#include <windows.h>

#include "hosts/windows/system_error_text.h"

namespace ulvren {

Win32NamedMutex::Win32NamedMutex(std::string name) : name_(std::move(name)) {}

Win32NamedMutex::~Win32NamedMutex() {
    if (mutex_ != nullptr) {
        CloseHandle(mutex_);
    }
    if (stop_event_ != nullptr) {
        CloseHandle(stop_event_);
    }
}

NamedSystemMutex::Outcome Win32NamedMutex::Lock(std::stop_token stop, const WaitNotice& notice) {
    if (mutex_ == nullptr) {
        mutex_ = CreateMutexA(nullptr, FALSE, name_.c_str());
        if (mutex_ == nullptr) {
            ReportSystemError("cannot create the mutex " + name_, GetLastError());
            return Outcome::Unavailable;
        }
    }
    if (stop_event_ == nullptr) {
        stop_event_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (stop_event_ == nullptr) {
            ReportSystemError("cannot create an event", GetLastError());
            return Outcome::Unavailable;
        }
    }
    ResetEvent(stop_event_);
    const std::stop_callback on_stop(stop, [this] { SetEvent(stop_event_); });
    // The stop comes first: when both are signalled the wait reports the lower index, and the
    // mutex is then not taken.
    const HANDLE handles[2] = {stop_event_, mutex_};
    DWORD waited = WAIT_TIMEOUT;
    if (notice.notify) {
        waited =
            WaitForMultipleObjects(2, handles, FALSE, static_cast<DWORD>(notice.after.count()));
        if (waited == WAIT_TIMEOUT) {
            notice.notify();
        }
    }
    if (waited == WAIT_TIMEOUT) {
        waited = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    }
    switch (waited) {
        case WAIT_OBJECT_0:
            return Outcome::Cancelled;
        case WAIT_OBJECT_0 + 1:
        case WAIT_ABANDONED_0 + 1:
            return Outcome::Locked;
        default:
            ReportSystemError("the wait for the mutex " + name_ + " failed", GetLastError());
            return Outcome::Unavailable;
    }
}

void Win32NamedMutex::Unlock() {
    if (mutex_ != nullptr) {
        ReleaseMutex(mutex_);
    }
}

}  // namespace ulvren
