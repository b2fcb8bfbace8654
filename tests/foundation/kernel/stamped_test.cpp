#include "foundation/kernel/stamped.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/time.h"
#include "support/fresh_process.h"

namespace {

// Whole seconds of ticks below 2^32: the monotonic seconds are exact, so 5.0 s apart
// is exactly 5.0, and a fresh process has seen no wrap of the counter.
constexpr uint32_t kSetAt = 4000000000u;

FreshFailures RecentMeansAtMostFiveSeconds() {
    FreshFailures failures;
    // As at load: value 0 and no stamp.
    FRESH_CHECK(failures, stamped_Get() == 0);
    FRESH_CHECK(failures, stamped_GetRecent(false) == 0);
    FRESH_CHECK(failures, stamped_GetRecent(true) == 0);

    platform_FixTickCount(kSetAt);
    stamped_Set(42);
    FRESH_CHECK(failures, stamped_Get() == 42);
    FRESH_CHECK(failures, stamped_GetRecent(false) == 42);
    platform_FixTickCount(kSetAt + 5000);
    FRESH_CHECK(failures, stamped_GetRecent(false) == 42);
    platform_FixTickCount(kSetAt + 5001);
    FRESH_CHECK(failures, stamped_GetRecent(false) == 0);
    FRESH_CHECK(failures, stamped_GetRecent(true) == 42);
    FRESH_CHECK(failures, stamped_Get() == 42);

    // A new value takes a new stamp.
    stamped_Set(-7);
    platform_FixTickCount(kSetAt + 10001);
    FRESH_CHECK(failures, stamped_GetRecent(false) == -7);
    platform_ReleaseTickCount();
    return failures;
}

TEST(StampedTest, TheValueIsRecentForFiveSecondsAfterItWasSet) {
    EXPECT_IN_FRESH_PROCESS(RecentMeansAtMostFiveSeconds);
}

}  // namespace
