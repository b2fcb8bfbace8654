#include "platform/lock.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(PlatformLock, TheHolderMayEnterAgainAndOthersWait) {
    platform_CriticalSection section;
    int counter = 0;
    {
        platform_Hold outer(section);
        platform_Hold inner(section);  // re-entry by the same thread
        ++counter;
    }
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            platform_Hold hold(section);
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 40001);
}

}  // namespace
