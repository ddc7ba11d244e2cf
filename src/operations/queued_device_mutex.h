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
// When the named mutex cannot be had at all, Acquire reports it Unavailable and the device is not
// touched: another process's session might be running. Without a named mutex (null, for tests
// within one process) the gate alone serialises the sessions of this process.
class QueuedDeviceMutex final : public DeviceMutex {
  public:
    explicit QueuedDeviceMutex(std::unique_ptr<NamedSystemMutex> system_mutex);

    using DeviceMutex::Acquire;
    // `notice` goes to the named mutex's wait once this thread is the head of the queue.
    Outcome Acquire(std::stop_token stop, const NamedSystemMutex::WaitNotice& notice) override;
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
