#pragma once

#include "operations/operation_status.h"

namespace ulvren {

// The two ways a worker reaches the window. Each host (a native window, a toolkit window, the
// command line, a test) implements both.
//
// Both are called on worker threads. A host whose controls may only be touched from its own
// thread delivers statuses and control changes through one queue, in the order in which they were
// made (or applies control changes at once, before returning), so that a control change is in
// effect before the next status of the same worker is handled. Neither call may wait for the
// window's thread or call back into the `WindowLink` that forwards it: the window detaches from
// that link on its own thread.

class StatusPoster {
  public:
    virtual ~StatusPoster() = default;
    // Hands `status` to the window's thread without waiting for it to be handled.
    virtual void PostStatus(OperationStatus status) = 0;
};

class ControlEnabler {
  public:
    virtual ~ControlEnabler() = default;
    // Enables or disables the control with dialog id `control_id`.
    virtual void EnableControl(int control_id, bool enabled) = 0;
};

}  // namespace ulvren
