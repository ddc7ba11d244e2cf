#pragma once

#include <stop_token>

namespace ulvren {

// The operating system's named mutex: one object shared by every process that uses the same
// name. A holder that ends without unlocking gives it up, like an abandoned mutex, and the next
// waiter takes it over as if it were free.
//
// Lock and Unlock of one holding are called on the same thread, by one holder at a time; a
// `QueuedDeviceMutex` in front of it sees to that.
class NamedSystemMutex {
  public:
    virtual ~NamedSystemMutex() = default;

    enum class Outcome {
        Locked,       // held now
        Unavailable,  // the object cannot be created or opened; nothing is held
        Cancelled,    // `stop` was requested before the object was taken; nothing is held
    };

    // Blocks on the OS object (no polling) until it is held, or until `stop` is requested.
    virtual Outcome Lock(std::stop_token stop) = 0;

    // Gives the object back; called only after Lock returned true.
    virtual void Unlock() = 0;
};

}  // namespace ulvren
