// Checks run in a process that starts the test program anew, so they see the library's
// process-wide objects as they stand right after load, whatever earlier tests changed.
// The checks collect what differed; the child prints it and exits non-zero, and the
// test fails showing it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using FreshFailures = std::vector<std::string>;

// Inside the checks: notes the condition's text when it does not hold.
#define FRESH_CHECK(failures, condition) \
    do {                                 \
        if (!(condition)) (failures).push_back(#condition); \
    } while (0)

// `checks` is a callable returning FreshFailures. The "threadsafe" style re-executes
// the program rather than forking this one, which is what makes the process fresh.
#define EXPECT_IN_FRESH_PROCESS(checks)                                                        \
    do {                                                                                       \
        const std::string style_ = GTEST_FLAG_GET(death_test_style);                          \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                       \
        EXPECT_EXIT(                                                                           \
            {                                                                                  \
                const FreshFailures failures_ = (checks)();                                   \
                for (const std::string& f : failures_) std::fprintf(stderr, "failed: %s\n", f.c_str()); \
                std::fflush(stderr);                                                           \
                std::_Exit(failures_.empty() ? 0 : 1);                                        \
            },                                                                                 \
            ::testing::ExitedWithCode(0), "");                                                \
        GTEST_FLAG_SET(death_test_style, style_);                                             \
    } while (0)
