#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "host/named_system_mutex.h"
#include "operations/device_mutex.h"

namespace ulvren {

// The device mutex of one process. Its threads queue in arrival order on an in-process gate, and
// only the one at the head of the queue waits on the OS's named mutex. Both waits end at once
// when the stop is requested; a head that took the named mutex just as the stop came gives it
// straight back.
//
// When the named mutex cannot be created or opened, or none is given, the gate still keeps this
// process's device sessions one at a time; only other processes are then not held off.
class QueuedDeviceMutex final : public DeviceMutex {
  public:
    // `system_mutex` may be null: the gate alone then serialises the sessions of this process.
    explicit QueuedDeviceMutex(std::unique_ptr<NamedSystemMutex> system_mutex);

    bool Acquire(std::stop_token stop) override;
    void Release() override;

  private:
    void OpenGate(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable_any turn_;
    std::deque<std::uint64_t> queue_;  // tickets of the waiting threads, oldest first
    std::uint64_t next_ticket_ = 0;
    bool gate_held_ = false;
    bool system_mutex_held_ = false;
    std::unique_ptr<NamedSystemMutex> system_mutex_;
};

}  // namespace ulvren
