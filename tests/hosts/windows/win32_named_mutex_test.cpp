// The named mutex under Wine: shared by name, handed over on release (after telling the waiter
// that it waits), taken over when its holder ends without releasing it, and a wait that a stop
// ends.
#include "hosts/windows/win32_named_mutex.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <future>
#include <thread>

namespace ulvren {
namespace {

using Outcome = NamedSystemMutex::Outcome;

// A name of this test's own, so that no other copy of the tool shares it.
std::string TestMutexName(const char* test) {
    return std::string("ulvren-test-") + test + "-" + std::to_string(GetCurrentProcessId());
}

// Holds the mutex on a thread of its own until told to let go (or to end without releasing).
class Holder {
  public:
    Holder(const std::string& name, bool release) {
        thread_ = std::thread([this, name, release] {
            Win32NamedMutex mutex(name);
            locked_.set_value(mutex.Lock({}, {}));
            let_go_.get_future().wait();
            if (release) {
                mutex.Unlock();
            }
        });
    }
    ~Holder() { End(); }

    Outcome WaitUntilLocked() { return locked_.get_future().get(); }
    void End() {
        if (thread_.joinable()) {
            let_go_.set_value();
            thread_.join();
        }
    }

  private:
    std::promise<Outcome> locked_;
    std::promise<void> let_go_;
    std::thread thread_;
};

TEST(Win32NamedMutex, AnotherHolderIsWaitedForUntilItReleases) {
    const std::string name = TestMutexName("handover");
    Holder holder(name, true);
    ASSERT_EQ(holder.WaitUntilLocked(), Outcome::Locked);

    Win32NamedMutex mutex(name);
    // The notice tells that the waiter is waiting, once, before the holder lets go.
    std::promise<void> waiting_told;
    const NamedSystemMutex::WaitNotice notice{std::chrono::milliseconds(0),
                                              [&] { waiting_told.set_value(); }};
    auto waiting = std::async(std::launch::async, [&] {
        const Outcome outcome = mutex.Lock({}, notice);
        if (outcome == Outcome::Locked) {
            mutex.Unlock();
        }
        return outcome;
    });
    waiting_told.get_future().wait();
    holder.End();
    EXPECT_EQ(waiting.get(), Outcome::Locked);
}

TEST(Win32NamedMutex, StopEndsTheWaitWithoutTakingIt) {
    const std::string name = TestMutexName("stop");
    Holder holder(name, true);
    ASSERT_EQ(holder.WaitUntilLocked(), Outcome::Locked);

    Win32NamedMutex mutex(name);
    std::stop_source stop;
    auto waiting = std::async(std::launch::async, [&] { return mutex.Lock(stop.get_token(), {}); });
    stop.request_stop();
    EXPECT_EQ(waiting.get(), Outcome::Cancelled);
    // A stop that came before the wait wins over a free mutex too.
    holder.End();
    EXPECT_EQ(mutex.Lock(stop.get_token(), {}), Outcome::Cancelled);
}

TEST(Win32NamedMutex, AbandonedMutexIsTakenOver) {
    const std::string name = TestMutexName("abandoned");
    {
        Holder holder(name, false);
        ASSERT_EQ(holder.WaitUntilLocked(), Outcome::Locked);
    }
    Win32NamedMutex mutex(name);
    EXPECT_EQ(mutex.Lock({}, {}), Outcome::Locked);
    mutex.Unlock();
}

}  // namespace
}  // namespace ulvren
