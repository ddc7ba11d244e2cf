#pragma once

#include <variant>

#include "host/host.h"
#include "operations/operation_status.h"

namespace ulvren {

// What workers tell the window, as one stream of events in the order in which they happened.

// Who found no recorder: a detection, or a worker whose kept device path no longer leads to one
// (unplugged, or another disk in its place), so that its operation ended before it began. For
// STATUS_OPEN_FAILED: who failed to open the device path.
enum class NotFoundBy { Detection, Operation };

// A status code. For STATUS_OPEN_FAILED, `host_error` is why the open failed; for
// STATUS_DEVICE_NOT_FOUND, why the last removable drive that could not be opened could not (None
// when every drive opened). Both are captured on the worker's thread when the call failed.
struct StatusEvent {
    OperationStatus status{};
    HostError host_error;
    NotFoundBy not_found_by = NotFoundBy::Detection;
    // STATUS_OPEN_FAILED: the device lock could not be had at all (`host_error` says why), so the
    // device was left alone.
    bool device_lock_refused = false;

    bool operator==(const StatusEvent&) const = default;
};

// The two groups of the window's controls that detection enables and disables itself.
enum class ControlGroup {
    Device,    // Format, the disk-type list, Set
    Password,  // Login, Change password
};

struct ControlGroupEvent {
    ControlGroup group{};
    bool enabled = false;

    bool operator==(const ControlGroupEvent&) const = default;
};

// What a worker says along the way that is no status of the window's.
enum class WorkerNotice {
    // Another program has held the device lock for a while, and this worker still waits for it.
    WaitingForDeviceLock,
    // A format's worker is done with the device, whatever the outcome: its session is over (the
    // device closed, the lock given back). The last thing a format's worker posts.
    FormatEnded,
};

struct NoticeEvent {
    WorkerNotice notice{};

    bool operator==(const NoticeEvent&) const = default;
};

using WorkerEvent = std::variant<StatusEvent, ControlGroupEvent, NoticeEvent>;

// The window's end of the stream. Each front end (a native window, a toolkit window, the command
// line, a test) implements it.
//
// Deliver is called on worker threads, in the order of the events. A front end whose controls may
// only be touched from its own thread hands the events to that thread through one queue, in that
// order, so that a control change is in effect before the next status of the same worker is
// handled. Deliver must neither wait for the window's thread nor call back into the WindowLink that
// forwards it: the window detaches from that link on its own thread.
class WorkerEventSink {
  public:
    virtual ~WorkerEventSink() = default;
    virtual void Deliver(const WorkerEvent& event) = 0;
};

}  // namespace ulvren
