#include "platform/threadexit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> cleanups{0};
void CountCleanup() { ++cleanups; }

TEST(ThreadCleanupTest, RunsOnceForEachArmedThreadAndForTheDestroyingThread) {
    cleanups = 0;
    {
        platform_ThreadCleanup cleanup(CountCleanup);
        std::thread([&] {
            cleanup.Arm();
            cleanup.Arm();
        }).join();
        EXPECT_EQ(cleanups, 1);
        std::thread([] {}).join();  // never armed
        EXPECT_EQ(cleanups, 1);
        cleanup.Arm();
        EXPECT_EQ(cleanups, 1);
    }
    // Destroyed on a thread that armed it: run there and then.
    EXPECT_EQ(cleanups, 2);
    {
        platform_ThreadCleanup cleanup(CountCleanup);
    }
    EXPECT_EQ(cleanups, 2);
}

}  // namespace
