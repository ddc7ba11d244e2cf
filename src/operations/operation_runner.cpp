#include "operations/operation_runner.h"

#include <algorithm>
#include <system_error>

namespace ulvren {

OperationRunner::OperationRunner(std::shared_ptr<SharedWindowState> window)
    : window_(std::move(window)) {}

OperationRunner::~OperationRunner() {
    Shutdown();
}

bool OperationRunner::Start(Worker worker) {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return false;
    }
    JoinEndedWorkers();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    try {
        std::thread thread([worker, window = window_, stop = stop_.get_token(), ended] {
            worker(*window, stop);
            ended->store(true);
        });
        workers_.push_back({std::move(thread), std::move(ended)});
    } catch (const std::system_error&) {
        // A thread that cannot be created is not reported; the window hears nothing.
        return false;
    }
    return true;
}

void OperationRunner::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    stop_.request_stop();
}

void OperationRunner::WaitUntilIdle() {
    for (;;) {
        std::vector<RunningWorker> batch;
        {
            std::lock_guard lock(mutex_);
            batch.swap(workers_);
        }
        if (batch.empty()) {
            return;
        }
        for (RunningWorker& running : batch) {
            running.thread.join();
        }
    }
}

void OperationRunner::Shutdown() {
    Close();
    WaitUntilIdle();
}

void OperationRunner::JoinEndedWorkers() {
    const auto ended = std::partition(workers_.begin(), workers_.end(),
                                      [](const RunningWorker& w) { return !w.ended->load(); });
    for (auto it = ended; it != workers_.end(); ++it) {
        it->thread.join();
    }
    workers_.erase(ended, workers_.end());
}

}  // namespace ulvren
