#include "operations/queued_device_mutex.h"

#include <algorithm>

#include "host/platform.h"

namespace ulvren {

QueuedDeviceMutex::QueuedDeviceMutex(std::unique_ptr<NamedSystemMutex> system_mutex)
    : system_mutex_(std::move(system_mutex)) {}

DeviceMutex::Outcome QueuedDeviceMutex::Acquire(std::stop_token stop,
                                                const NamedSystemMutex::WaitNotice& notice) {
    std::unique_lock lock(mutex_);
    const std::uint64_t ticket = next_ticket_++;
    queue_.push_back(ticket);
    const bool my_turn =
        turn_.wait(lock, stop, [&] { return !gate_held_ && queue_.front() == ticket; });
    // A wait that sees its turn and the stop together reports its turn; it still stops.
    if (!my_turn || stop.stop_requested()) {
        std::erase(queue_, ticket);
        // The thread behind this one may now be at the head.
        turn_.notify_all();
        return Outcome::Stopped;
    }
    queue_.pop_front();
    gate_held_ = true;
    lock.unlock();

    // Only the head of the queue blocks here, on the OS object.
    const auto outcome = system_mutex_ != nullptr ? system_mutex_->Lock(stop, notice)
                                                  : NamedSystemMutex::Outcome::Locked;

    lock.lock();
    system_mutex_held_ = system_mutex_ != nullptr && outcome == NamedSystemMutex::Outcome::Locked;
    if (stop.stop_requested()) {
        OpenGate(lock);
        return Outcome::Stopped;
    }
    if (outcome == NamedSystemMutex::Outcome::Unavailable) {
        // Without the OS object another process's session may be under way: the device stays
        // untouched, and the next in the queue tries for itself.
        OpenGate(lock);
        return Outcome::Unavailable;
    }
    return Outcome::Held;
}

void QueuedDeviceMutex::Release() {
    std::unique_lock lock(mutex_);
    OpenGate(lock);
}

void QueuedDeviceMutex::OpenGate(std::unique_lock<std::mutex>&) {
    if (system_mutex_held_) {
        system_mutex_->Unlock();
        system_mutex_held_ = false;
    }
    gate_held_ = false;
    turn_.notify_all();
}

std::shared_ptr<DeviceMutex> OpenDeviceMutex() {
    return std::make_shared<QueuedDeviceMutex>(platform::OpenNamedSystemMutex(kDeviceMutexName));
}

}  // namespace ulvren
