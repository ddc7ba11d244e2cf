// The in-process queue in front of the named mutex.
#include "operations/queued_device_mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <vector>

namespace ulvren::testing {
namespace {

using namespace std::chrono_literals;

// A named mutex whose Lock waits until the test lets it return, with the result it was given,
// whatever the stop says.
class HeldSystemMutex final : public NamedSystemMutex {
  public:
    HeldSystemMutex(bool lock_result, std::shared_future<void> returns,
                    std::shared_ptr<std::atomic<int>> unlocks)
        : lock_result_(lock_result), returns_(std::move(returns)), unlocks_(std::move(unlocks)) {}
    Outcome Lock(std::stop_token, const WaitNotice&) override {
        returns_.wait();
        return lock_result_ ? Outcome::Locked : Outcome::Unavailable;
    }
    void Unlock() override { ++*unlocks_; }

  private:
    bool lock_result_;
    std::shared_future<void> returns_;
    std::shared_ptr<std::atomic<int>> unlocks_;
};

std::shared_future<void> AlreadyDone() {
    std::promise<void> done;
    done.set_value();
    return done.get_future().share();
}

using Outcome = DeviceMutex::Outcome;

TEST(QueuedDeviceMutexTest, CancelledWaiterEndsWithoutTheMutex) {
    QueuedDeviceMutex mutex(nullptr);
    ASSERT_EQ(mutex.Acquire({}), Outcome::Held);

    std::stop_source stop;
    auto waiter = std::async(std::launch::async, [&] { return mutex.Acquire(stop.get_token()); });
    EXPECT_EQ(waiter.wait_for(50ms), std::future_status::timeout);
    stop.request_stop();
    EXPECT_EQ(waiter.get(), Outcome::Stopped);

    mutex.Release();
    // The cancelled waiter left the queue, so the next one is not held up behind it.
    auto next = std::async(std::launch::async, [&] { return mutex.Acquire({}); });
    ASSERT_EQ(next.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(next.get(), Outcome::Held);
    mutex.Release();
}

// A head that was cancelled while it waited on the named mutex gives it back at once.
TEST(QueuedDeviceMutexTest, HeadCancelledDuringTheSystemWaitReleasesAtOnce) {
    std::promise<void> system_mutex_free;
    auto unlocks = std::make_shared<std::atomic<int>>(0);
    QueuedDeviceMutex mutex(
        std::make_unique<HeldSystemMutex>(true, system_mutex_free.get_future().share(), unlocks));

    std::stop_source stop;
    auto head = std::async(std::launch::async, [&] { return mutex.Acquire(stop.get_token()); });
    EXPECT_EQ(head.wait_for(50ms), std::future_status::timeout);
    stop.request_stop();
    system_mutex_free.set_value();
    EXPECT_EQ(head.get(), Outcome::Stopped);
    EXPECT_EQ(unlocks->load(), 1);

    EXPECT_EQ(mutex.Acquire({}), Outcome::Held);
    mutex.Release();
    EXPECT_EQ(unlocks->load(), 2);
}

// When the named mutex cannot be had at all, no thread gets the device: each is told so in turn,
// and none is left waiting behind another.
TEST(QueuedDeviceMutexTest, UnavailableSystemMutexKeepsEveryThreadOffTheDevice) {
    auto unlocks = std::make_shared<std::atomic<int>>(0);
    QueuedDeviceMutex mutex(std::make_unique<HeldSystemMutex>(false, AlreadyDone(), unlocks));
    std::vector<std::future<Outcome>> waiters;
    for (int t = 0; t < 4; ++t) {
        waiters.push_back(std::async(std::launch::async, [&] { return mutex.Acquire({}); }));
    }
    for (auto& waiter : waiters) {
        EXPECT_EQ(waiter.get(), Outcome::Unavailable);
    }
    EXPECT_EQ(unlocks->load(), 0);  // nothing was held, so nothing is given back
}

}  // namespace
}  // namespace ulvren::testing
