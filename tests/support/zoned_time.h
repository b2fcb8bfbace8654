// A test that may set TZ and fix "now" and the tick count: the host's zone and the
// real clock come back when it ends.
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "platform/time.h"

class ZonedTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        if (tz) savedTz_ = tz;
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", savedTz_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
        platform_ReleaseTime();
        platform_ReleaseTickCount();
    }
    static void Zone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }

private:
    bool hadTz_ = false;
    std::string savedTz_;
};
