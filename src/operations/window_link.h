#pragma once

#include <mutex>

#include "operations/worker_events.h"

namespace ulvren {

// The workers' way to the window, which may go away before they end. The window attaches its
// event sink at start-up and detaches it when it is destroyed; from then on events are dropped.
class WindowLink {
  public:
    void Attach(WorkerEventSink& sink);
    // After this returns, no event reaches the detached sink any more (a delivery under way is
    // waited for).
    void Detach();

    void Deliver(const WorkerEvent& event);

    void PostStatus(OperationStatus status, HostError host_error = {}) {
        Deliver(StatusEvent{status, std::move(host_error)});
    }
    // The device path could not be opened, for `host_error`; `by` says whether a detection or a
    // button's operation tried it.
    void PostOpenFailed(HostError host_error, NotFoundBy by) {
        Deliver(StatusEvent{STATUS_OPEN_FAILED, std::move(host_error), by});
    }
    // The worker's operation did not begin: the device at the kept path is not the recorder.
    void PostRecorderGone() {
        Deliver(StatusEvent{STATUS_DEVICE_NOT_FOUND, {}, NotFoundBy::Operation});
    }
    // The device lock cannot be had at all: the worker leaves the device alone.
    void PostDeviceLockRefused(HostError host_error) {
        Deliver(
            StatusEvent{STATUS_OPEN_FAILED, std::move(host_error), NotFoundBy::Detection, true});
    }
    void PostNotice(WorkerNotice notice) { Deliver(NoticeEvent{notice}); }
    void EnableGroup(ControlGroup group, bool enabled) {
        Deliver(ControlGroupEvent{group, enabled});
    }

  private:
    std::mutex mutex_;
    WorkerEventSink* sink_ = nullptr;
};

}  // namespace ulvren
