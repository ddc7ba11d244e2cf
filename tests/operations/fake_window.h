#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "operations/operation_status.h"
#include "operations/shared_window_state.h"
#include "ui/status_reactions.h"

namespace ulvren::testing {

// What a window saw, in order: "STATUS_..." for a status, "enable device" / "disable password"
// for a change of a control group. Kept apart from the window so that it can be read after the
// window is gone.
class WindowEvents {
  public:
    void Add(std::string event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> All() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    // Only the statuses.
    std::vector<std::string> Statuses() const {
        std::vector<std::string> statuses;
        for (const std::string& event : All()) {
            if (event.starts_with("STATUS_")) {
                statuses.push_back(event);
            }
        }
        return statuses;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

// A window that records what its workers tell it. It attaches to the link when made and
// detaches when destroyed, as the real windows do.
class FakeWindow final : public WorkerEventSink {
  public:
    explicit FakeWindow(SharedWindowState& state,
                        std::shared_ptr<WindowEvents> events = std::make_shared<WindowEvents>())
        : state_(state), events_(std::move(events)) {
        state_.link.Attach(*this);
    }
    ~FakeWindow() override { state_.link.Detach(); }

    void Deliver(const WorkerEvent& event) override {
        if (const auto* change = std::get_if<ControlGroupEvent>(&event)) {
            events_->Add(std::string(change->enabled ? "enable " : "disable ") +
                         (change->group == ControlGroup::Device ? "device" : "password"));
            return;
        }
        if (const auto* notice = std::get_if<NoticeEvent>(&event)) {
            events_->Add(notice->notice == WorkerNotice::FormatEnded ? "format ended"
                                                                     : "waiting for the lock");
            return;
        }
        const auto& status = std::get<StatusEvent>(event);
        events_->Add(OperationStatusName(status.status));
        last_host_error = status.host_error;
        if (on_status) {
            on_status(status.status);
        }
    }

    const WindowEvents& Events() const { return *events_; }

    // The host error that came with the last status.
    HostError last_host_error;
    // Called on the worker's thread after each status is recorded.
    std::function<void(OperationStatus)> on_status;

  private:
    SharedWindowState& state_;
    std::shared_ptr<WindowEvents> events_;
};

}  // namespace ulvren::testing
