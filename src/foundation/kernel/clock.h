// Time values, day numbers and the monotonic timer.
//
// A time value is a double holding local wall-clock time in seconds since
// 1980-01-01 00:00 (negative before 1980, null as MATHS_Null). Times are never
// converted to UTC; the zone is only read to be recorded and shown.
//
// A day number counts days of the proleptic Gregorian calendar with 0001-01-01 = 366,
// so 1980-01-01 is 723180 and 1582-10-15, the first Gregorian day, is 578101. A time
// value t lies on day floor(t / 86400) + 723180.
//
// Tests fix "now" and the tick count through platform/time.h (platform_FixTime,
// platform_FixTickCount); a newly fixed "now" is seen by the next clock_GetTime.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"

class platform_CriticalSection;

inline constexpr double CLOCK_EpochDayNumber = 723180.0;  // 1980-01-01
inline constexpr double CLOCK_FirstGregorianDay = 578101.0;  // 1582-10-15

// Calendar. Years from 1582 on are accepted, so 1582-01-01 .. 1582-10-14 give numbers
// below the first Gregorian day. An invalid date answers false and leaves `dayNumber`.
bool date_DaysFromDate(double& dayNumber, uint16_t year, uint16_t month, uint16_t day);
// False, outputs untouched, below 1582-10-15 and for a NaN or out-of-range number.
bool date_DateFromDays(double dayNumber, int& year, int& month, int& day);
// 00:00 of the date, or MATHS_Null for an invalid date.
double clock_TimeFromDate(int year, int month, int day);
double clock_SecondsFromHMS(int hours, int minutes, int seconds);
// False unless hour <= 24, minute <= 59 and second <= 59.
bool clock_SecondsFromTime(double* out, uint8_t hour, uint8_t minute, uint8_t second);

// Splits. Each reports a null time. Where a split would turn a null, NaN or huge time
// into integers it reports and leaves its outputs untouched instead.
double clock_StartOfDay(double time);
double clock_TimeOfDay(double time);  // in [0, 86400)
void clock_SplitDate(double time, int* years, int* months, int* days, double* timeOfDay = nullptr);
// Rounds to the nearest second; hours are not limited, so 86399.5 s gives 24:00:00.
void clock_SplitTime(double time, int* hours, int* minutes, int* seconds);
// Rounds to `places` decimals (0..9) and returns the fraction in units of the last one.
int clock_SplitTimeFraction(double time, int* hours, int* minutes, int* seconds, int* partSeconds, int places);
int clock_GetMilliseconds(double time);
int clock_DayOfWeek(double time);  // 0 Sunday; 1980-01-01 is 2

// The current local time in whole seconds; it may lag the wall clock by a second,
// since a reading is reused while the tick count has moved less than 1000 ms.
double clock_GetTime();
// Never sets the host's clock: always false.
bool clock_SetTime(double time);
// The zone in force and its bias in hours (UTC minus local); false when the zone
// state is invalid, with the outputs untouched.
bool clock_GetTimeZone(Str& name, double& biasHours);
// The same bias in seconds; 0 when the zone state is invalid.
double clock_GetTimeZoneBias();

// Formats of the fixed US-English locale. Empty when the platform refuses the value,
// as it does for hour 24 or a null time.
Str clock_FormatTimeOfDay(double time);
// With useLocale: the picture "dddd',' dd MMM yyyy" or the long date format; without
// it, the numbers of the date joined by "/" in the locale's short-date order.
Str clock_FormatDate(double time, bool useLocale, bool picture);
// Positions 0..2 of year, month and day in the locale's short date format.
void clock_GetDateOrder(int& year, int& month, int& day);
// The same from a list of short date formats, in the platform's order.
void clock_DateOrderOf(const StrArray& formats, int& year, int& month, int& day);
// Date, time of day and the zone as local minus UTC in hours and minutes ("+1030").
Str clock_FormatNow();
// The zone text of clock_FormatNow for a bias in seconds (UTC minus local).
Str clock_FormatZoneBias(double biasSeconds);

// The lock of the monotonic clock; built when the library loads, or on first use.
platform_CriticalSection& clock_TimerLock();

// Monotonic seconds from the tick count, carried across its wraps. A wrap is seen only
// against the previous reading, so readings more than 2^32 ms apart can miss one.
double clock_GetMonotonicSeconds();
double clock_TimerDeadline(double seconds);
double clock_TimerElapsed(double start);
bool clock_TimerExpired(double deadline);

// Test hook: forget the cached current time, as at load.
void clock_ForgetCachedTime();
