#pragma once

#include <memory>
#include <stop_token>

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

    // Waits without a time limit. True when the calling thread now holds the mutex; false when
    // `stop` was requested first, and then nothing is held.
    virtual bool Acquire(std::stop_token stop) = 0;

    // Gives back the holding that the last successful Acquire of this thread took.
    virtual void Release() = 0;
};

// The device mutex of this process, over the platform's named mutex of kDeviceMutexName.
std::shared_ptr<DeviceMutex> OpenDeviceMutex();

}  // namespace ulvren
