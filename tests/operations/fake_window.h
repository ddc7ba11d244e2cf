#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "operations/operation_status.h"
#include "operations/shared_window_state.h"

namespace ulvren::testing {

// What a window saw, in order: "STATUS_..." for a status, "enable 1014" / "disable 1014" for a
// control change. Kept apart from the window so that it can be read after the window is gone.
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
class FakeWindow final : public StatusPoster, public ControlEnabler {
  public:
    explicit FakeWindow(SharedWindowState& state,
                        std::shared_ptr<WindowEvents> events = std::make_shared<WindowEvents>())
        : state_(state), events_(std::move(events)) {
        state_.link.Attach(*this, *this);
    }
    ~FakeWindow() override { state_.link.Detach(); }

    void PostStatus(OperationStatus status) override {
        events_->Add(OperationStatusName(status));
        if (on_status) {
            on_status(status);
        }
    }
    void EnableControl(int control_id, bool enabled) override {
        events_->Add((enabled ? "enable " : "disable ") + std::to_string(control_id));
    }

    const WindowEvents& Events() const { return *events_; }

    // Called on the worker's thread after each status is recorded.
    std::function<void(OperationStatus)> on_status;

  private:
    SharedWindowState& state_;
    std::shared_ptr<WindowEvents> events_;
};

}  // namespace ulvren::testing
