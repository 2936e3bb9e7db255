// The Linux layer's count of a thread's sleeps, by which the read-ahead tells
// a read that waited for the disk from one that lost its processor: it grows
// when the calling thread sleeps, and not when another thread does while
// this one only runs. The test's thread starts one sleeper, which alone
// writes `done` once, sequentially consistent; the test's thread reads it and
// then joins the sleeper.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>

#include <sorahiki/thread.h>

namespace {

TEST(ThreadSleepsTest, CountsTheCallingThreadsOwnSleepsOnly) {
    const long long before = ThreadSleepsSoFar();
    ASSERT_GE(before, 0);
    usleep(2000);
    EXPECT_GT(ThreadSleepsSoFar(), before);

    // Another thread sleeps again and again while this one spins.
    std::atomic<bool> done{false};
    CStartedThread sleeper;
    auto sleepFiveTimes = [](void* flag) {
        for (int i = 0; i < 5; ++i) usleep(1000);
        static_cast<std::atomic<bool>*>(flag)->store(true);
    };
    const long long spinning = ThreadSleepsSoFar();
    ASSERT_TRUE(sleeper.Start(sleepFiveTimes, &done, 1 << 20));
    while (!done.load()) {
    }
    EXPECT_EQ(ThreadSleepsSoFar(), spinning);
    sleeper.Join();
}

}  // namespace
