// The host's clock, tick counter, time zone and date/time formats, as the clock module
// needs them. Local time comes from the C library (localtime_r, following TZ). Date and
// time formats are fixed to US-English defaults so output never depends on the host's
// locale. "Now" and the tick count can be fixed by tests.
#pragma once

#include <cstdint>
#include <string>

// Calendar fields of a wall-clock time. DayOfWeek is 0 for Sunday.
struct platform_SystemTime {
    uint16_t Year = 0;
    uint16_t Month = 0;
    uint16_t DayOfWeek = 0;
    uint16_t Day = 0;
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;
    uint16_t Milliseconds = 0;
};

// The current local wall-clock time.
void platform_GetLocalTime(platform_SystemTime& time);

// Never changes the host's clock: a converter has no business setting it. Always false.
bool platform_SetLocalTime(const platform_SystemTime& time);

// Milliseconds since an arbitrary start, wrapping after 2^32 like the original counter.
uint32_t platform_GetTickCount();

// Zone states; any other value is an invalid state.
enum {
    PLATFORM_TimeZoneUnknown = 0,  // the zone has no daylight-saving time
    PLATFORM_TimeZoneStandard = 1,
    PLATFORM_TimeZoneDaylight = 2,
    PLATFORM_TimeZoneInvalid = -1,
};

// Biases are minutes with UTC = local + bias, so a zone east of UTC has a negative bias.
struct platform_TimeZone {
    int32_t Bias = 0;
    int32_t StandardBias = 0;
    int32_t DaylightBias = 0;
    std::string StandardName;  // UTF-8
    std::string DaylightName;
};

// The zone in force now, with its state.
int platform_GetTimeZoneInformation(platform_TimeZone& zone);

// The fixed locale's default time format "h:mm:ss tt". False, with `out` left alone,
// when a field is out of range (hour 24 included), as the original formatter refuses.
bool platform_FormatTime(const platform_SystemTime& time, std::string& out);

// The fixed locale's long date "dddd, MMMM d, yyyy" when `picture` is null, else the
// given date picture (d, dd, ddd, dddd, M, MM, MMM, MMMM, y, yy, yyyy, 'quoted text').
// The day of week is taken from the date itself. False when the date is invalid or
// the result would not fit a 200-character buffer.
bool platform_FormatDate(const platform_SystemTime& date, const char* picture, std::string& out);

// One call per short date format of the fixed locale, until the callback answers false.
void platform_EnumShortDateFormats(bool (*callback)(const char* format, void* context), void* context);

// Test hooks. A fixed "now" (seconds since 1970-01-01 UTC) serves both the local time
// and the choice between standard and daylight time; a fixed tick count is returned
// as it is until released.
void platform_FixTime(int64_t unixSeconds, int milliseconds = 0);
void platform_ReleaseTime();
// Moves a fixed "now" on as the wall clock would, without counting as a new fix.
void platform_AdvanceFixedTime(int64_t seconds);
void platform_FixTickCount(uint32_t ticks);
void platform_ReleaseTickCount();
// Changes whenever "now" is fixed or released, so a cached reading can be dropped.
uint32_t platform_TimeGeneration();
