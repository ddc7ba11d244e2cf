#pragma once

#include <functional>
#include <mutex>
#include <utility>

namespace ulvren {

// What the system tells of its disks: one has come, or one has gone. Either starts a detection.
enum class DeviceChange { DiskArrived, DiskGone };

// Where a platform's notices of disks coming and going come from. This base announces nothing,
// which is what a platform without such notices supplies; each platform's source calls Announce
// as its system tells of a change.
class DeviceChangeSource {
  public:
    using Listener = std::function<void(DeviceChange change)>;

    DeviceChangeSource() = default;
    virtual ~DeviceChangeSource() = default;
    DeviceChangeSource(const DeviceChangeSource&) = delete;
    DeviceChangeSource& operator=(const DeviceChangeSource&) = delete;

    // Hands every change from now on to `listener`, in place of the listener before; an empty
    // one stops the notices. The listener runs on whichever thread saw the change (the source's
    // own, or the one that plugged a simulated disk), so it passes the change on to its own
    // thread and never calls back into the source. Once Listen has returned, the listener it
    // replaced is neither running nor called again.
    void Listen(Listener listener) {
        std::lock_guard lock(mutex_);
        listener_ = std::move(listener);
    }

  protected:
    void Announce(DeviceChange change) {
        std::lock_guard lock(mutex_);
        if (listener_) {
            listener_(change);
        }
    }

  private:
    std::mutex mutex_;
    Listener listener_;
};

}  // namespace ulvren
