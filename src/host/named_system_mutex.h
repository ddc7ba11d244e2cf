#pragma once

#include <chrono>
#include <functional>
#include <stop_token>

namespace ulvren {

// The operating system's named mutex: one object shared by every process that uses the same
// name. A holder that ends without unlocking gives it up, like an abandoned mutex, and the next
// waiter takes it over as if it were free. No other user of the machine can take the object
// away or switch it off: each platform keeps it where only the user who runs the tool (for
// root, only root) can create it.
//
// Lock and Unlock of one holding are called on the same thread, by one holder at a time; a
// `QueuedDeviceMutex` in front of it sees to that.
class NamedSystemMutex {
  public:
    virtual ~NamedSystemMutex() = default;

    enum class Outcome {
        Locked,       // held now
        Unavailable,  // the object cannot be had at all; nothing is held, and the reason is in
                      // the calling thread's LastHostError()
        Cancelled,    // `stop` was requested before the object was taken; nothing is held
    };

    // Whom to tell, once, that another process has held the object for `after` while this one
    // waits. Called on the waiting thread; an empty `notify` tells no one.
    struct WaitNotice {
        std::chrono::milliseconds after{};
        std::function<void()> notify;
    };

    // Blocks on the OS object (no polling) until it is held, or until `stop` is requested.
    virtual Outcome Lock(std::stop_token stop, const WaitNotice& notice) = 0;

    // Gives the object back; called only after Lock returned Locked.
    virtual void Unlock() = 0;
};

}  // namespace ulvren
