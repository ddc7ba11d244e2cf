#pragma once

#include <memory>
#include <stop_token>

#include "host/named_system_mutex.h"

namespace ulvren {

// The name under which every copy of the tool, on every platform, shares its device mutex.
inline constexpr const char* kDeviceMutexName = "SCSI";

// The device mutex as workers see it. A worker holds it from before it opens the device until
// after it has closed it, so that at most one device session runs at a time: across the threads
// of one process and across processes (a second copy of the tool included).
//
// One holding is taken and given back on the same thread, since the platform's mutex may belong
// to the thread that took it.
class DeviceMutex {
  public:
    virtual ~DeviceMutex() = default;

    enum class Outcome {
        Held,         // the calling thread holds the mutex now
        Stopped,      // `stop` was requested first; nothing is held
        Unavailable,  // the platform's mutex cannot be had at all, so the device must not be
                      // touched; nothing is held, and the reason is in LastHostError()
    };

    // Waits without a time limit; `notice` is told once when the wait is behind another program
    // and has lasted its while.
    virtual Outcome Acquire(std::stop_token stop, const NamedSystemMutex::WaitNotice& notice) = 0;
    Outcome Acquire(std::stop_token stop) { return Acquire(std::move(stop), {}); }

    // Gives back the holding that the last Acquire of this thread took.
    virtual void Release() = 0;
};

// The device mutex of this process, over the platform's named mutex of kDeviceMutexName.
std::shared_ptr<DeviceMutex> OpenDeviceMutex();

}  // namespace ulvren
