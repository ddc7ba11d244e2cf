#pragma once

#include <mutex>

#include "operations/window_interfaces.h"

namespace ulvren {

// The workers' way to the window, which may go away before they end. The window attaches its
// status poster and control enabler at start-up and detaches them when it is destroyed; from then
// on posts and control changes are dropped.
class WindowLink {
  public:
    void Attach(StatusPoster& poster, ControlEnabler& enabler);
    // After this returns, no call reaches the detached poster or enabler any more (a call under
    // way is waited for).
    void Detach();

    void PostStatus(OperationStatus status);
    void EnableControl(int control_id, bool enabled);

  private:
    std::mutex mutex_;
    StatusPoster* poster_ = nullptr;
    ControlEnabler* enabler_ = nullptr;
};

}  // namespace ulvren
