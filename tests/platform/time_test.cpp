#include "platform/time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "support/zoned_time.h"

namespace {

using PlatformTime = ZonedTimeTest;

platform_SystemTime Date(int y, int m, int d) {
    platform_SystemTime t;
    t.Year = static_cast<uint16_t>(y);
    t.Month = static_cast<uint16_t>(m);
    t.Day = static_cast<uint16_t>(d);
    return t;
}

platform_SystemTime Time(int h, int m, int s) {
    platform_SystemTime t;
    t.Hour = static_cast<uint16_t>(h);
    t.Minute = static_cast<uint16_t>(m);
    t.Second = static_cast<uint16_t>(s);
    return t;
}

TEST(PlatformFormat, DatePictures) {
    struct Case {
        int y, m, d;
        const char* picture;
        const char* text;
    };
    const Case cases[] = {
        {2024, 3, 5, "dddd',' dd MMM yyyy", "Tuesday, 05 Mar 2024"},
        {2024, 3, 5, nullptr, "Tuesday, March 5, 2024"},
        {2024, 12, 25, "ddd d/M/yy MMMM", "Wed 25/12/24 December"},
        {1582, 10, 15, "yyyy-MM-dd dddd", "1582-10-15 Friday"},
        {2000, 2, 29, "'it''s' d", "it's 29"},
        {2009, 1, 1, "y", "9"},
    };
    for (const Case& c : cases) {
        std::string out = "old";
        ASSERT_TRUE(platform_FormatDate(Date(c.y, c.m, c.d), c.picture, out)) << c.text;
        EXPECT_EQ(out, c.text);
    }
}

TEST(PlatformFormat, InvalidValuesAreRefusedAndLeaveTheOutput) {
    const platform_SystemTime badDates[] = {Date(2023, 2, 29), Date(2024, 13, 1), Date(0, 1, 1), Date(2024, 4, 31),
                                            Date(2024, 1, 0)};
    for (const platform_SystemTime& d : badDates) {
        std::string out = "old";
        EXPECT_FALSE(platform_FormatDate(d, nullptr, out));
        EXPECT_EQ(out, "old");
    }
    std::string out = "old";
    EXPECT_FALSE(platform_FormatTime(Time(24, 0, 0), out));
    EXPECT_FALSE(platform_FormatTime(Time(0, 60, 0), out));
    EXPECT_FALSE(platform_FormatTime(Time(0, 0, 60), out));
    EXPECT_EQ(out, "old");
    // The original buffer holds 200 characters.
    EXPECT_FALSE(platform_FormatDate(Date(2024, 1, 1), std::string(200, '-').c_str(), out));
    EXPECT_TRUE(platform_FormatDate(Date(2024, 1, 1), std::string(199, '-').c_str(), out));
}

TEST(PlatformFormat, TimeOfDayUsesTwelveHours) {
    struct Case {
        int h, m, s;
        const char* text;
    };
    const Case cases[] = {{0, 0, 0, "12:00:00 AM"},  {0, 5, 9, "12:05:09 AM"},   {11, 59, 59, "11:59:59 AM"},
                          {12, 0, 0, "12:00:00 PM"}, {13, 5, 9, "1:05:09 PM"},   {23, 59, 59, "11:59:59 PM"}};
    for (const Case& c : cases) {
        std::string out;
        ASSERT_TRUE(platform_FormatTime(Time(c.h, c.m, c.s), out));
        EXPECT_EQ(out, c.text);
    }
}

TEST(PlatformFormat, ShortDateFormatsStopWhenAsked) {
    std::vector<std::string> seen;
    platform_EnumShortDateFormats(
        [](const char* f, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(f);
            return false;
        },
        &seen);
    EXPECT_EQ(seen, std::vector<std::string>{"M/d/yyyy"});
}

TEST_F(PlatformTime, LocalTimeFollowsTheZoneAndTheFixedNow) {
    Zone("EST5EDT,M3.2.0,M11.1.0");
    platform_FixTime(1705276800, 250);  // 2024-01-15 00:00:00.250 UTC
    platform_SystemTime t;
    platform_GetLocalTime(t);
    EXPECT_EQ(t.Year, 2024);
    EXPECT_EQ(t.Month, 1);
    EXPECT_EQ(t.Day, 14);
    EXPECT_EQ(t.DayOfWeek, 0);
    EXPECT_EQ(t.Hour, 19);
    EXPECT_EQ(t.Minute, 0);
    EXPECT_EQ(t.Second, 0);
    EXPECT_EQ(t.Milliseconds, 250);
    EXPECT_FALSE(platform_SetLocalTime(t));
}

TEST_F(PlatformTime, ZoneBiasesHaveTheWindowsSign) {
    struct Case {
        const char* tz;
        int64_t now;
        int state;
        int bias, standardBias, daylightBias;
        const char *standardName, *daylightName;
    };
    const Case cases[] = {
        {"EST5EDT,M3.2.0,M11.1.0", 1705276800, PLATFORM_TimeZoneStandard, 300, 0, -60, "EST", "EDT"},
        {"EST5EDT,M3.2.0,M11.1.0", 1721001600, PLATFORM_TimeZoneDaylight, 300, 0, -60, "EST", "EDT"},
        // Southern hemisphere: daylight time in January.
        {"ACST-9:30ACDT,M10.1.0,M4.1.0/3", 1705276800, PLATFORM_TimeZoneDaylight, -570, 0, -60, "ACST", "ACDT"},
        {"<+0530>-5:30", 1705276800, PLATFORM_TimeZoneUnknown, -330, 0, 0, "+0530", "+0530"},
        {"UTC0", 1705276800, PLATFORM_TimeZoneUnknown, 0, 0, 0, "UTC", "UTC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tz);
        Zone(c.tz);
        platform_FixTime(c.now);
        platform_TimeZone zone;
        EXPECT_EQ(platform_GetTimeZoneInformation(zone), c.state);
        EXPECT_EQ(zone.Bias, c.bias);
        EXPECT_EQ(zone.StandardBias, c.standardBias);
        EXPECT_EQ(zone.DaylightBias, c.daylightBias);
        EXPECT_EQ(zone.StandardName, c.standardName);
        EXPECT_EQ(zone.DaylightName, c.daylightName);
    }
}

TEST_F(PlatformTime, TickCountCanBeFixed) {
    platform_FixTickCount(4294967000u);
    EXPECT_EQ(platform_GetTickCount(), 4294967000u);
    platform_ReleaseTickCount();
    const uint32_t a = platform_GetTickCount();
    const uint32_t b = platform_GetTickCount();
    EXPECT_LT(static_cast<uint32_t>(b - a), 1000u);
}

}  // namespace
