#pragma once

#include <string>

#include "host/named_system_mutex.h"

namespace ulvren {

// The named mutex on Windows: CreateMutexA (no security attributes, not owned, the given name),
// shared by every process that opens the same name. A wait ends when the mutex comes or when the
// stop is requested, whichever is first; a mutex whose holder ended without releasing it
// (WAIT_ABANDONED) is taken over as if it were free. A name without a "Global\\" prefix lives in
// the session's own namespace, so the user of another session never meets the object.
class Win32NamedMutex final : public NamedSystemMutex {
  public:
    explicit Win32NamedMutex(std::string name);
    ~Win32NamedMutex() override;
    Win32NamedMutex(const Win32NamedMutex&) = delete;
    Win32NamedMutex& operator=(const Win32NamedMutex&) = delete;

    Outcome Lock(std::stop_token stop, const WaitNotice& notice) override;
    void Unlock() override;

  private:
    std::string name_;
    void* mutex_ = nullptr;  // the mutex's HANDLE, created on the first wait that can
    void* stop_event_ = nullptr;
};

}  // namespace ulvren
