#include "operations/window_link.h"

namespace ulvren {

void WindowLink::Attach(WorkerEventSink& sink) {
    std::lock_guard lock(mutex_);
    sink_ = &sink;
}

void WindowLink::Detach() {
    std::lock_guard lock(mutex_);
    sink_ = nullptr;
}

// The lock is held during the delivery so that Detach cannot return while one is under way.
void WindowLink::Deliver(const WorkerEvent& event) {
    std::lock_guard lock(mutex_);
    if (sink_ != nullptr) {
        sink_->Deliver(event);
    }
}

}  // namespace ulvren
