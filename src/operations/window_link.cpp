#include "operations/window_link.h"

namespace ulvren {

void WindowLink::Attach(StatusPoster& poster, ControlEnabler& enabler) {
    std::lock_guard lock(mutex_);
    poster_ = &poster;
    enabler_ = &enabler;
}

void WindowLink::Detach() {
    std::lock_guard lock(mutex_);
    poster_ = nullptr;
    enabler_ = nullptr;
}

// The lock is held during the call so that Detach cannot return while a call is under way.
void WindowLink::PostStatus(OperationStatus status) {
    std::lock_guard lock(mutex_);
    if (poster_ != nullptr) {
        poster_->PostStatus(status);
    }
}

void WindowLink::EnableControl(int control_id, bool enabled) {
    std::lock_guard lock(mutex_);
    if (enabler_ != nullptr) {
        enabler_->EnableControl(control_id, enabled);
    }
}

}  // namespace ulvren
