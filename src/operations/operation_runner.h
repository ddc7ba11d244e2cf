#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "operations/shared_window_state.h"
#include "operations/workers.h"

namespace ulvren {

// Starts workers, each on a thread of its own, and keeps their threads so that the end of the
// program can wait for them. Nothing else waits for a worker: the window goes on at once and
// learns of the outcome through the statuses.
//
// Closing lets a worker that is inside its device session finish it (a format is never cut off
// half-way) and drops the workers still waiting for the device mutex: they end without opening
// the device and post nothing.
class OperationRunner {
  public:
    explicit OperationRunner(std::shared_ptr<SharedWindowState> window);
    // Shuts down.
    ~OperationRunner();
    OperationRunner(const OperationRunner&) = delete;
    OperationRunner& operator=(const OperationRunner&) = delete;

    SharedWindowState& Window() const { return *window_; }

    // Starts `worker` on a new thread, which shares ownership of the window state. Does nothing
    // after Close, or when the thread cannot be created (nothing is posted): false then.
    bool Start(Worker worker);

    // Starts nothing more and drops the workers that are waiting for the device mutex. Does not
    // wait.
    void Close();

    // Waits until every worker started so far has ended. Without a Close first, that includes
    // workers still waiting for the mutex (held, perhaps, by another process). Never call it from
    // a worker's thread (nor from a status poster or control enabler).
    void WaitUntilIdle();

    // Close, then WaitUntilIdle: what the host does before the process ends.
    void Shutdown();

  private:
    struct RunningWorker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };

    // Joins the threads of workers that have ended; the caller holds mutex_.
    void JoinEndedWorkers();

    std::shared_ptr<SharedWindowState> window_;
    std::stop_source stop_;
    std::mutex mutex_;
    bool closed_ = false;
    std::vector<RunningWorker> workers_;
};

}  // namespace ulvren
