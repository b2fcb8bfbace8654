#include "foundation/kernel/clock.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "foundation/kernel/maths.h"
#include "platform/time.h"
#include "support/recording_environment.h"
#include "support/zoned_time.h"

namespace {

std::string S(const Str& s) { return std::string(s.Data(), s.Length()); }

// Fixes TZ, "now" and the tick count for one test and restores them afterwards,
// with the clock's cached reading forgotten on both sides.
class FixedClock : public ZonedTimeTest {
protected:
    void SetUp() override {
        ZonedTimeTest::SetUp();
        clock_ForgetCachedTime();
    }
    void TearDown() override {
        ZonedTimeTest::TearDown();
        clock_ForgetCachedTime();
        std::setlocale(LC_ALL, "C");
    }
};

// Day numbers checked against Python: date(y, m, d).toordinal() + 365.
TEST(ClockCalendar, DayNumbersMatchOrdinalDays) {
    struct Case {
        int y, m, d;
        double n;
    };
    const Case cases[] = {
        {1582, 10, 15, 578101}, {1600, 2, 29, 584447},  {1700, 2, 28, 620971},  {1700, 3, 1, 620972},
        {1899, 12, 31, 693960}, {1900, 3, 1, 694020},   {1970, 1, 1, 719528},   {1979, 12, 31, 723179},
        {1980, 1, 1, 723180},   {1980, 2, 29, 723239},  {1980, 3, 1, 723240},   {1999, 12, 31, 730484},
        {2000, 2, 29, 730544},  {2000, 3, 1, 730545},   {2001, 1, 1, 730851},   {2024, 2, 29, 739310},
        {2024, 12, 31, 739616}, {2100, 2, 28, 767068},  {2100, 3, 1, 767069},   {2400, 2, 29, 876641},
        {9999, 12, 31, 3652424},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.y << "-" << c.m << "-" << c.d);
        double n = -1;
        ASSERT_TRUE(date_DaysFromDate(n, c.y, c.m, c.d));
        EXPECT_EQ(n, c.n);
        int y = 0, m = 0, d = 0;
        ASSERT_TRUE(date_DateFromDays(c.n, y, m, d));
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(d, c.d);
    }
}

TEST(ClockCalendar, InvalidDatesAreRefusedAndLeaveTheOutput) {
    struct Case {
        int y, m, d;
    };
    const Case bad[] = {{1900, 2, 29}, {2001, 4, 31}, {1581, 12, 31}, {2000, 0, 1},
                        {2000, 13, 1}, {2000, 1, 0},  {2001, 2, 29}, {2000, 2, 30}};
    for (const Case& c : bad) {
        double n = 42;
        EXPECT_FALSE(date_DaysFromDate(n, c.y, c.m, c.d)) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(n, 42);
    }
    // Only the year is compared with the calendar's start.
    double n = 0;
    ASSERT_TRUE(date_DaysFromDate(n, 1582, 10, 4));
    EXPECT_EQ(n, 578090);

    int y = 7, m = 7, d = 7;
    EXPECT_FALSE(date_DateFromDays(578100, y, m, d));
    EXPECT_EQ(y, 7);
    ASSERT_TRUE(date_DateFromDays(723180.99, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 19800101);
}

TEST(ClockCalendar, EveryGregorianDayRoundTripsAndFollowsTheLastOne) {
    int py = 1582, pm = 10, pd = 14;
    for (double n = 578101; n <= 3652424; ++n) {
        int y, m, d;
        ASSERT_TRUE(date_DateFromDays(n, y, m, d)) << n;
        double back = 0;
        ASSERT_TRUE(date_DaysFromDate(back, y, m, d)) << n;
        ASSERT_EQ(back, n);
        const bool nextDay = y == py && m == pm && d == pd + 1;
        const bool nextMonth = y == py && m == pm + 1 && d == 1;
        const bool nextYear = y == py + 1 && m == 1 && d == 1 && pm == 12 && pd == 31;
        ASSERT_TRUE(nextDay || nextMonth || nextYear) << n;
        py = y;
        pm = m;
        pd = d;
    }
}

TEST(ClockCalendar, TimeFromDateAndSeconds) {
    EXPECT_EQ(clock_TimeFromDate(1980, 1, 1), 0.0);
    EXPECT_EQ(clock_TimeFromDate(1980, 1, 2), 86400.0);
    EXPECT_EQ(clock_TimeFromDate(1979, 12, 31), -86400.0);
    EXPECT_EQ(clock_TimeFromDate(2000, 2, 30), MATHS_Null);
    // Values that would wrap in the 16-bit fields are refused, not wrapped.
    EXPECT_EQ(clock_TimeFromDate(65536 + 1980, 1, 1), MATHS_Null);
    EXPECT_EQ(clock_TimeFromDate(1980, 65536 + 1, 1), MATHS_Null);
    EXPECT_EQ(clock_TimeFromDate(-1, 1, 1), MATHS_Null);

    EXPECT_EQ(clock_SecondsFromHMS(1, 2, 3), 3723.0);
    EXPECT_EQ(clock_SecondsFromHMS(0, 0, -5), -5.0);
    double s = -1;
    EXPECT_TRUE(clock_SecondsFromTime(&s, 24, 0, 0));
    EXPECT_EQ(s, 86400.0);
    s = -1;
    EXPECT_FALSE(clock_SecondsFromTime(&s, 25, 0, 0));
    EXPECT_FALSE(clock_SecondsFromTime(&s, 0, 60, 0));
    EXPECT_FALSE(clock_SecondsFromTime(&s, 0, 0, 60));
    EXPECT_EQ(s, -1);
}

// Splits checked against Python: datetime(1980, 1, 1) + timedelta(seconds=t).
TEST(ClockSplit, SplitsMatchPythonAcrossLeapYearsAndTheEpoch) {
    struct Case {
        double t;
        int y, mo, d, h, mi, s, dow;
    };
    const Case cases[] = {
        {-12534825600.0, 1582, 10, 15, 0, 0, 0, 5}, {-12534825599.0, 1582, 10, 15, 0, 0, 1, 5},
        {-2524521601.0, 1899, 12, 31, 23, 59, 59, 0}, {-2519424000.0, 1900, 3, 1, 0, 0, 0, 4},
        {-86401.0, 1979, 12, 30, 23, 59, 59, 0},     {-86400.0, 1979, 12, 31, 0, 0, 0, 1},
        {-1.0, 1979, 12, 31, 23, 59, 59, 1},         {0.0, 1980, 1, 1, 0, 0, 0, 2},
        {86399.0, 1980, 1, 1, 23, 59, 59, 2},        {5097599.0, 1980, 2, 28, 23, 59, 59, 4},
        {5097600.0, 1980, 2, 29, 0, 0, 0, 5},        {5140800.0, 1980, 2, 29, 12, 0, 0, 5},
        {631151999.0, 1999, 12, 31, 23, 59, 59, 5},  {631152000.0, 2000, 1, 1, 0, 0, 0, 6},
        {636271628.0, 2000, 2, 29, 6, 7, 8, 2},      {662774399.0, 2000, 12, 31, 23, 59, 59, 0},
        {1393718399.0, 2024, 2, 29, 23, 59, 59, 4},  {1393718400.0, 2024, 3, 1, 0, 0, 0, 5},
        {1394111109.0, 2024, 3, 5, 13, 5, 9, 2},     {3792009600.0, 2100, 3, 1, 0, 0, 0, 1},
        {253086767999.0, 9999, 12, 31, 23, 59, 59, 5},
    };
    RecordingEnvironment env;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        int y = 0, mo = 0, d = 0;
        double tod = -1;
        clock_SplitDate(c.t, &y, &mo, &d, &tod);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(mo, c.mo);
        EXPECT_EQ(d, c.d);
        EXPECT_EQ(tod, c.h * 3600.0 + c.mi * 60.0 + c.s);
        int h = -1, mi = -1, s = -1;
        clock_SplitTime(tod, &h, &mi, &s);
        EXPECT_EQ(h * 10000 + mi * 100 + s, c.h * 10000 + c.mi * 100 + c.s);
        EXPECT_EQ(clock_DayOfWeek(c.t), c.dow);
        EXPECT_EQ(clock_StartOfDay(c.t), c.t - tod);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST(ClockSplit, RoundingAndItsLimits) {
    int h, m, s;
    clock_SplitTime(3599.5, &h, &m, &s);
    EXPECT_EQ(h * 10000 + m * 100 + s, 10000);
    // The date is not carried: the time of day becomes 24:00:00.
    clock_SplitTime(86399.6, &h, &m, &s);
    EXPECT_EQ(h * 10000 + m * 100 + s, 240000);
    clock_SplitTime(3599.4, &h, &m, &s);
    EXPECT_EQ(h * 10000 + m * 100 + s, 5959);

    int part = -1;
    EXPECT_EQ(clock_SplitTimeFraction(3661.23456, &h, &m, &s, &part, 3), 235);
    EXPECT_EQ(h * 10000 + m * 100 + s, 10101);
    EXPECT_EQ(part, 235);
    EXPECT_EQ(clock_SplitTimeFraction(59.9996, &h, &m, &s, &part, 3), 0);
    EXPECT_EQ(h * 10000 + m * 100 + s, 100);
    EXPECT_EQ(clock_SplitTimeFraction(12.5, &h, &m, &s, &part, 0), 0);
    EXPECT_EQ(s, 13);

    EXPECT_EQ(clock_GetMilliseconds(12.3456), 345);
    EXPECT_EQ(clock_GetMilliseconds(-0.25), 750);
    EXPECT_EQ(clock_TimeOfDay(-1), 86399.0);
}

TEST(ClockSplit, DayOfWeekBeforeTheEpoch) {
    EXPECT_EQ(clock_DayOfWeek(0), 2);
    EXPECT_EQ(clock_DayOfWeek(-86400), 1);
    EXPECT_EQ(clock_DayOfWeek(-3 * 86400), 6);
    EXPECT_EQ(clock_DayOfWeek(-7 * 86400), 2);
    EXPECT_EQ(clock_DayOfWeek(-0.5), 1);
}

// A null, NaN or huge time is reported and never reaches an integer.
TEST(ClockSplit, UnusableTimesAreReportedAndLeaveOutputs) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double t;
        const char* report;
    };
    const Case cases[] = {
        {MATHS_Null, "!maths_IsNull(time)"},
        {nan, "std::fabs(time) <= kTimeLimit"},
        {inf, "std::fabs(time) <= kTimeLimit"},
        {-inf, "std::fabs(time) <= kTimeLimit"},
        {1e300, "std::fabs(time) <= kTimeLimit"},
        {-4e15, "std::fabs(time) <= kTimeLimit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        RecordingEnvironment env;
        int y = 7, mo = 7, d = 7, h = 7, mi = 7, s = 7, part = 7;
        double tod = 7;
        clock_SplitDate(c.t, &y, &mo, &d, &tod);
        clock_SplitTime(c.t, &h, &mi, &s);
        EXPECT_EQ(clock_SplitTimeFraction(c.t, &h, &mi, &s, &part, 2), 0);
        EXPECT_EQ(y + mo + d + h + mi + s + part, 49);
        EXPECT_EQ(tod, 7);
        EXPECT_EQ(clock_DayOfWeek(c.t), 0);
        EXPECT_TRUE(clock_FormatDate(c.t, false, false).IsEmpty());
        EXPECT_TRUE(clock_FormatDate(c.t, true, true).IsEmpty());
        EXPECT_TRUE(clock_FormatTimeOfDay(c.t).IsEmpty());
        EXPECT_FALSE(clock_SetTime(c.t));
        ASSERT_EQ(env.assertions.size(), 8u);
        for (const AssertionReport& r : env.assertions) {
            EXPECT_EQ(r.expression, c.report);
            EXPECT_EQ(r.module, "Kernel/clock");
        }
    }
    RecordingEnvironment env;
    EXPECT_EQ(clock_GetMilliseconds(nan), 0);
    EXPECT_EQ(clock_GetMilliseconds(MATHS_Null), 0);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"std::isfinite(time)", "!maths_IsNull(time)"}));
    env.Clear();
    clock_StartOfDay(MATHS_Null);
    clock_TimeOfDay(MATHS_Null);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"!maths_IsNull(time)", "!maths_IsNull(time)"}));
}

TEST(ClockSplit, BadDayNumbersAndMissingOutputsAreReported) {
    RecordingEnvironment env;
    int y = 7, m = 7, d = 7;
    EXPECT_FALSE(date_DateFromDays(std::numeric_limits<double>::quiet_NaN(), y, m, d));
    EXPECT_FALSE(date_DateFromDays(MATHS_Null, y, m, d));
    EXPECT_FALSE(date_DateFromDays(1e18, y, m, d));
    EXPECT_EQ(y + m + d, 21);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>(3, "dayNumber < kMaxDayNumber"));
    env.Clear();

    clock_SplitDate(0, &y, nullptr, &d);
    int h = 7, s = 7, part = 7;
    clock_SplitTime(0, &h, nullptr, &s);
    clock_SplitTimeFraction(0, &h, &m, &s, nullptr, 1);
    clock_SplitTimeFraction(0, &h, &m, &s, &part, 10);
    EXPECT_EQ(y + d + h + s + part, 35);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"years && months && days", "hours && minutes && seconds",
                                                          "hours && minutes && seconds && partSeconds",
                                                          "places >= 0 && places <= 9"}));
}

TEST(ClockFormat, DateOrderFromShortFormats) {
    struct Case {
        std::vector<const char*> formats;
        int year, month, day;
    };
    const Case cases[] = {
        {{"dd/MM/yyyy"}, 2, 1, 0},
        {{"yyyy-MM-dd"}, 0, 1, 2},
        {{"M/d/yyyy"}, 2, 0, 1},
        {{}, 2, 0, 1},
        {{"hh:mm"}, 2, 0, 1},
        {{"d.M.", "yyyy.MM.dd"}, 0, 1, 2},  // positions stay known across formats
        {{"dd/MM"}, 2, 0, 1},               // incomplete: the fixed order
    };
    for (const Case& c : cases) {
        StrArray formats;
        for (const char* f : c.formats) formats.Add(f);
        int y = 9, m = 9, d = 9;
        clock_DateOrderOf(formats, y, m, d);
        EXPECT_EQ(y, c.year) << (c.formats.empty() ? "" : c.formats[0]);
        EXPECT_EQ(m, c.month);
        EXPECT_EQ(d, c.day);
    }
    int y, m, d;
    clock_GetDateOrder(y, m, d);
    EXPECT_EQ(y * 100 + m * 10 + d, 201);
}

TEST(ClockFormat, ZoneText) {
    struct Case {
        double biasSeconds;
        const char* text;
    };
    const Case cases[] = {{-10.5 * 3600, "+1030"}, {-12.75 * 3600, "+1245"}, {-10 * 3600, "+1000"},
                          {-5.5 * 3600, "+0530"},  {-5.75 * 3600, "+0545"},  {8 * 3600, "-0800"},
                          {3.5 * 3600, "-0330"},   {0, "+0000"}};
    for (const Case& c : cases) EXPECT_EQ(S(clock_FormatZoneBias(c.biasSeconds)), c.text) << c.biasSeconds;
}

TEST_F(FixedClock, FormatsAreFixedAndIgnoreTheProcessLocale) {
    const double t = clock_TimeFromDate(2024, 3, 5) + 13 * 3600 + 5 * 60 + 9;
    Zone("ACST-9:30ACDT,M10.1.0,M4.1.0/3");
    platform_FixTime(1705276800);  // 2024-01-15 00:00 UTC, daylight time in that zone
    platform_FixTickCount(5000);

    auto all = [&] {
        return S(clock_FormatDate(t, false, false)) + "|" + S(clock_FormatDate(t, true, false)) + "|" +
               S(clock_FormatDate(t, true, true)) + "|" + S(clock_FormatTimeOfDay(t)) + "|" +
               S(clock_FormatTimeOfDay(0)) + "|" + S(clock_FormatNow());
    };
    const std::string expected =
        "3/5/2024|Tuesday, March 5, 2024|Tuesday, 05 Mar 2024|1:05:09 PM|12:00:00 AM|"
        "Monday, 15 Jan 2024 10:30:00 AM +1030";
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    EXPECT_EQ(all(), expected);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "run scripts/setup.sh";
    EXPECT_EQ(all(), expected);
}

TEST_F(FixedClock, HourTwentyFourAndEarlyDatesFormatEmpty) {
    // Rounding gives 24:00:00, which the formatter refuses.
    EXPECT_TRUE(clock_FormatTimeOfDay(86399.6).IsEmpty());
    EXPECT_EQ(S(clock_FormatTimeOfDay(86399.4)), "11:59:59 PM");
    // Before the Gregorian calendar there are no fields to show.
    const double early = clock_TimeFromDate(1582, 10, 14);
    EXPECT_TRUE(clock_FormatDate(early, false, false).IsEmpty());
    EXPECT_TRUE(clock_FormatDate(early, true, true).IsEmpty());
    EXPECT_EQ(S(clock_FormatDate(early + 86400, false, false)), "10/15/1582");
}

TEST_F(FixedClock, CurrentTimeIsLocalAndCachedByTicks) {
    Zone("ACST-9:30ACDT,M10.1.0,M4.1.0/3");
    const double local = clock_TimeFromDate(2024, 1, 15) + 10 * 3600 + 30 * 60;
    platform_FixTime(1705276800, 999);  // milliseconds are dropped
    // A first call reads the wall clock even when the tick count is 0.
    platform_FixTickCount(0);
    EXPECT_EQ(clock_GetTime(), local);

    platform_AdvanceFixedTime(5);
    platform_FixTickCount(999);
    EXPECT_EQ(clock_GetTime(), local);  // within a second of ticks: the cached value
    platform_FixTickCount(1000);
    EXPECT_EQ(clock_GetTime(), local + 5);

    // The difference is unsigned, so a wrap of the tick count is a small step.
    platform_AdvanceFixedTime(55);
    platform_FixTickCount(4294967000u);
    EXPECT_EQ(clock_GetTime(), local + 60);
    platform_AdvanceFixedTime(1);
    platform_FixTickCount(500);
    EXPECT_EQ(clock_GetTime(), local + 60);
    platform_FixTickCount(704);
    EXPECT_EQ(clock_GetTime(), local + 61);

    // Fixing "now" again is seen at once, whatever the ticks say; under standard time
    // the zone's offset is an hour less.
    platform_FixTime(1721001600);  // 2024-07-15 00:00 UTC
    EXPECT_EQ(clock_GetTime(), clock_TimeFromDate(2024, 7, 15) + 9 * 3600 + 30 * 60);
    EXPECT_FALSE(clock_SetTime(0));
}

TEST_F(FixedClock, TimeZoneNamesAndBiases) {
    struct Case {
        const char* tz;
        int64_t now;
        const char* name;
        double hours;
    };
    const Case cases[] = {
        {"ACST-9:30ACDT,M10.1.0,M4.1.0/3", 1705276800, "ACDT", -10.5},
        {"ACST-9:30ACDT,M10.1.0,M4.1.0/3", 1721001600, "ACST", -9.5},
        {"EST5EDT,M3.2.0,M11.1.0", 1705276800, "EST", 5},
        {"EST5EDT,M3.2.0,M11.1.0", 1721001600, "EDT", 4},
        {"<+0530>-5:30", 1705276800, "+0530", -5.5},
        {"UTC0", 1721001600, "UTC", 0},
        {"<-0330>3:30", 1721001600, "-0330", 3.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tz);
        Zone(c.tz);
        platform_FixTime(c.now);
        Str name;
        double hours = 99;
        ASSERT_TRUE(clock_GetTimeZone(name, hours));
        EXPECT_EQ(S(name), c.name);
        EXPECT_EQ(hours, c.hours);
        EXPECT_EQ(clock_GetTimeZoneBias(), c.hours * 3600);
    }
}

TEST_F(FixedClock, MonotonicSecondsSurviveATickWrap) {
    platform_FixTickCount(4294967000u);
    const double before = clock_GetMonotonicSeconds();
    platform_FixTickCount(500);
    const double after = clock_GetMonotonicSeconds();
    EXPECT_NEAR(after - before, 0.796, 1e-9);
    platform_FixTickCount(1500);
    EXPECT_NEAR(clock_GetMonotonicSeconds() - after, 1.0, 1e-9);

    const double deadline = clock_TimerDeadline(2.0);
    EXPECT_FALSE(clock_TimerExpired(deadline));
    platform_FixTickCount(3499);
    EXPECT_FALSE(clock_TimerExpired(deadline));
    platform_FixTickCount(3500);
    EXPECT_TRUE(clock_TimerExpired(deadline));
    EXPECT_NEAR(clock_TimerElapsed(after), 3.0, 1e-9);
}

TEST(ClockLive, RealClockIsSaneAndMonotonic) {
    const double now = clock_GetTime();
    EXPECT_EQ(now, std::floor(now));
    EXPECT_GT(now, clock_TimeFromDate(2020, 1, 1));
    const double a = clock_GetMonotonicSeconds();
    const double b = clock_GetMonotonicSeconds();
    EXPECT_GE(b, a);
}

}  // namespace
