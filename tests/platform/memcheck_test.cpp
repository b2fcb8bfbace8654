#include "platform/memcheck.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// With a checker the marks take effect on exactly the range given; without one they
// are harmless and nothing reads as poisoned.
TEST(PlatformMemcheck, PoisonAndUnpoison) {
    alignas(16) static std::uint8_t block[64];
    platform_PoisonMemory(block + 16, 32);
    const bool active = platform_MemoryChecksActive();
    EXPECT_FALSE(platform_IsMemoryPoisoned(block + 15));
    EXPECT_EQ(platform_IsMemoryPoisoned(block + 16), active);
    EXPECT_EQ(platform_IsMemoryPoisoned(block + 47), active);
    EXPECT_FALSE(platform_IsMemoryPoisoned(block + 48));
    platform_UnpoisonMemory(block + 16, 32);
    for (int i = 0; i < 64; ++i) EXPECT_FALSE(platform_IsMemoryPoisoned(block + i)) << i;
    block[20] = 1;
    EXPECT_EQ(block[20], 1);
}

}  // namespace
