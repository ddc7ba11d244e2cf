// Workers on their own threads: queueing on the device mutex, shutdown, a window that goes away,
// and the shared members under concurrent use.
#include "operations/operation_runner.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

#include "fake_window.h"
#include "operations/starters.h"
#include "protocol/vendor_protocol.h"
#include "recorder_bench.h"

namespace ulvren::testing {
namespace {

using Strings = std::vector<std::string>;

TEST(OperationRunnerTest, TwoFormatsQueueOnTheDeviceMutex) {
    RecorderBench bench({}, kFormattableSectors);
    FakeWindow window(*bench.state);
    OperationRunner runner(bench.state);
    bench.state->members.disk_type_index.Set(1);

    StartFormat(runner);
    StartFormat(runner);
    runner.WaitUntilIdle();

    EXPECT_EQ(window.Events().Statuses(), (Strings{"STATUS_DISK_TYPE_SET", "STATUS_FORMAT_OK",
                                                   "STATUS_DISK_TYPE_SET", "STATUS_FORMAT_OK"}));
    EXPECT_EQ(bench.machine.OverlapCount(), 0u);
    EXPECT_EQ(bench.machine.OpenHandleCount(), 0u);
}

TEST(OperationRunnerTest, FailedOpenReleasesTheMutex) {
    RecorderBench bench;
    FakeWindow window(*bench.state);
    OperationRunner runner(bench.state);
    bench.state->members.clock_string.Set("20240101000000N");
    bench.state->members.device_path.Set("");

    StartSetClock(runner);
    runner.WaitUntilIdle();
    bench.state->members.device_path.Set(kRecorderPath);
    StartSetClock(runner);
    runner.WaitUntilIdle();

    EXPECT_EQ(window.Events().Statuses(), (Strings{"STATUS_OPEN_FAILED", "STATUS_CLOCK_SET"}));
}

TEST(OperationRunnerTest, ShutdownLetsTheRunningWorkerFinishAndDropsTheWaitingOne) {
    RecorderBench bench({}, kFormattableSectors);
    FakeWindow window(*bench.state);
    OperationRunner runner(bench.state);
    bench.state->members.disk_type_index.Set(1);
    bench.state->members.clock_string.Set("20240101000000N");

    std::promise<void> formatting;
    std::promise<void> go_on;
    std::shared_future<void> go_on_signal = go_on.get_future().share();
    window.on_status = [&](OperationStatus status) {
        if (status == STATUS_DISK_TYPE_SET) {
            formatting.set_value();
            go_on_signal.wait();
        }
    };

    StartFormat(runner);
    formatting.get_future().wait();  // the format holds the device mutex now
    StartSetClock(runner);
    runner.Close();
    go_on.set_value();
    runner.WaitUntilIdle();
    StartDetect(runner);  // nothing starts once closed
    runner.WaitUntilIdle();

    EXPECT_EQ(window.Events().Statuses(), (Strings{"STATUS_DISK_TYPE_SET", "STATUS_FORMAT_OK"}));
    EXPECT_EQ(bench.machine.OpenCount(), 1u);
    EXPECT_FALSE(bench.Sent(CMD_SET_CLOCK));
    EXPECT_EQ(bench.machine.OpenHandleCount(), 0u);
}

TEST(OperationRunnerTest, DetachedWindowReceivesNothingWhileWorkersFinish) {
    RecorderBench bench;
    auto events = std::make_shared<WindowEvents>();
    std::weak_ptr<SharedWindowState> watch = bench.state;
    {
        OperationRunner runner(bench.state);
        {
            // The window goes away, and gives up its share of the state, while workers run.
            auto window = std::make_unique<FakeWindow>(*bench.state, events);
            bench.state->members.disk_type_index.Set(1);
            StartFormat(runner);
            StartSetClock(runner);
            StartFormat(runner);
            window.reset();
        }
        const std::size_t seen_at_detach = events->All().size();
        bench.state.reset();
        runner.WaitUntilIdle();
        EXPECT_EQ(events->All().size(), seen_at_detach);
        EXPECT_FALSE(watch.expired());  // the runner still shares it
    }
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(bench.machine.OverlapCount(), 0u);
    EXPECT_EQ(bench.machine.OpenHandleCount(), 0u);
    EXPECT_EQ(bench.recorder->Settings().disk_type, DISK_TYPE_PASSWORD);
}

TEST(OperationRunnerTest, DifferingConfirmationStartsNoWorker) {
    RecorderBench bench;
    FakeWindow window(*bench.state);
    OperationRunner runner(bench.state);
    bench.state->members.new_password.Set("one");
    bench.state->members.confirm_password.Set("two");

    EXPECT_FALSE(StartChangePassword(runner));
    runner.WaitUntilIdle();

    EXPECT_TRUE(window.Events().All().empty());
    EXPECT_EQ(bench.machine.OpenCount(), 0u);
}

// A reader never sees a value that no writer wrote, such as half of one string and half of
// another.
TEST(WindowMembersTest, ReadsNeverOverlapWrites) {
    WindowMembers members;
    const std::string first(1000, 'a');
    const std::string second(3000, 'b');
    members.capacity_text.Set(first);
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        for (int i = 0; i < 20'000; ++i) {
            members.capacity_text.Set(i % 2 == 0 ? second : first);
        }
        writing = false;
    });
    int torn = 0;
    while (writing) {
        const std::string seen = members.capacity_text.Get();
        torn += seen != first && seen != second;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace ulvren::testing
