// Each thread's last host error, and threads that end with a long one.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "host/host.h"

namespace ulvren {
namespace {

// Threads that end holding a long error text must leave the heap sound (on Windows the thread's
// storage is freed before thread-local destructors run), and each sees only its own error, kept
// to 1 KiB without cutting a character.
TEST(LastHostError, IsEachThreadsOwnAndSurvivesThreadsEnding) {
    const std::string filler(1020, 'x');
    std::vector<std::string> seen(64);
    for (int round = 0; round < 8; ++round) {
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            threads.emplace_back([&, i] {
                // Two-byte characters that straddle the 1 KiB mark: the last one that fits stays.
                SetLastHostError(HostErrorKind::Other, filler + std::to_string(i % 10) + "éé");
                seen[i] = LastHostError().text;
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        for (std::size_t i = 0; i < seen.size(); ++i) {
            ASSERT_EQ(seen[i], filler + std::to_string(i % 10) + "é") << i;
        }
    }
    ClearLastHostError();
    EXPECT_EQ(LastHostError(), HostError{});
}

}  // namespace
}  // namespace ulvren
