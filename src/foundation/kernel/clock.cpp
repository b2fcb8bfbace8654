#include "foundation/kernel/clock.h"

#include <charconv>
#include <cmath>
#include <new>
#include <string>

#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "platform/lock.h"
#include "platform/time.h"

namespace {

constexpr const char* kModule = "Kernel/clock";

// Beyond about 31,000 years from 1980 a time has no calendar use, and below this bound
// every hour, day and day number derived from it fits an int.
constexpr double kTimeLimit = 1e12;
// Day numbers whose arithmetic fits 32-bit integers.
constexpr double kMaxDayNumber = 2147483647.0;

// A null, NaN or huge time is reported (a null one under its own text), and
// the caller then leaves its integer outputs alone.
bool CheckTime(double time) {
    if (!QZ_ASSERT(!maths_IsNull(time))) return false;
    return QZ_ASSERT(std::fabs(time) <= kTimeLimit);
}

void AppendInt(Str& text, long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text += Str(digits, static_cast<int>(result.ptr - digits));
}

Str FromStd(const std::string& text) { return Str(text.data(), static_cast<int>(text.size())); }

// The current-time cache: plain process-wide values, as the library runs on one thread.
bool timeCached = false;
uint32_t cachedTick = 0;
uint32_t cachedGeneration = 0;
double cachedTime = 0.0;

double lastTick = 0.0;
double wrapTotal = 0.0;

}  // namespace

bool date_DaysFromDate(double& dayNumber, uint16_t year, uint16_t month, uint16_t day) {
    const uint32_t y = year, m = month, d = day;
    const uint32_t leap = ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) ? 1 : 0;
    if (y < 1582 || m < 1 || m > 12 || d == 0) return false;
    // 31 for January, March, May, July, August, October and December.
    if (d > 30 + ((m + m / 8) % 2)) return false;
    if (m == 2 && d > 28 + leap) return false;

    uint32_t n = (m - 1) * 30 + (m * 10) / 18 + d;
    n = n - ((n + 303) / 365) * (2 - leap);
    n = n + y * 365 + (y - 1) / 4 - (((y - 1) / 100 + 1) * 3) / 4;
    dayNumber = static_cast<double>(n);
    return true;
}

bool date_DateFromDays(double dayNumber, int& year, int& month, int& day) {
    if (!QZ_ASSERT(dayNumber < kMaxDayNumber)) return false;  // NaN and null fail here too
    if (dayNumber < CLOCK_FirstGregorianDay) return false;

    // Counted from 1 March of year 0, so that the leap day ends a year.
    int64_t a = static_cast<int64_t>(std::floor(dayNumber - 60));
    const int64_t q = a / 146097;
    a -= q * 146097;
    int64_t y = 400 * q;
    int64_t c = a / 36524;
    c -= c / 4;
    a -= 36524 * c;
    y += 100 * c;
    const int64_t f = a / 1461;
    a -= 1461 * f;
    y += 4 * f;
    int64_t r = a / 365;
    r -= r / 4;
    a -= 365 * r;
    y += r;

    const int64_t b = a / 153;
    a -= 153 * b;
    int64_t mm = 5 * b;
    const int64_t t = a / 61;
    a -= 61 * t;
    mm += 2 * t;
    const int64_t u = a / 31;
    a -= 31 * u;
    mm += u + 2;

    year = static_cast<int>(y + mm / 12);
    month = static_cast<int>(mm % 12 + 1);
    day = static_cast<int>(a + 1);
    return true;
}

double clock_TimeFromDate(int year, int month, int day) {
    // Larger values would wrap in the 16-bit calendar fields.
    if (year < 0 || year > 65535 || month < 0 || month > 65535 || day < 0 || day > 65535) return MATHS_Null;
    double n;
    if (!date_DaysFromDate(n, static_cast<uint16_t>(year), static_cast<uint16_t>(month), static_cast<uint16_t>(day)))
        return MATHS_Null;
    return (n - CLOCK_EpochDayNumber) * 86400.0;
}

double clock_SecondsFromHMS(int hours, int minutes, int seconds) {
    return static_cast<double>(hours) * 3600.0 + static_cast<double>(minutes) * 60.0 + static_cast<double>(seconds);
}

bool clock_SecondsFromTime(double* out, uint8_t hour, uint8_t minute, uint8_t second) {
    if (hour > 24 || minute > 59 || second > 59) return false;
    *out = static_cast<double>((hour * 60 + minute) * 60 + second);
    return true;
}

double clock_StartOfDay(double time) {
    QZ_ASSERT(!maths_IsNull(time));
    return std::floor(time / 86400.0) * 86400.0;
}

double clock_TimeOfDay(double time) {
    QZ_ASSERT(!maths_IsNull(time));
    return time - std::floor(time / 86400.0) * 86400.0;
}

void clock_SplitDate(double time, int* years, int* months, int* days, double* timeOfDay) {
    if (!CheckTime(time)) return;
    if (!QZ_ASSERT(years && months && days)) return;
    int y, m, d;
    if (date_DateFromDays(std::floor(time / 86400.0) + CLOCK_EpochDayNumber, y, m, d)) {
        *years = y;
        *months = m;
        *days = d;
    }
    if (timeOfDay) *timeOfDay = clock_TimeOfDay(time);
}

void clock_SplitTime(double time, int* hours, int* minutes, int* seconds) {
    if (!CheckTime(time)) return;
    if (!QZ_ASSERT(hours && minutes && seconds)) return;
    double a = time + 0.5;
    const double h = std::floor(a / 3600.0);
    a -= h * 3600.0;
    const double m = std::floor(a / 60.0);
    *hours = static_cast<int>(h);
    *minutes = static_cast<int>(m);
    *seconds = static_cast<int>(std::floor(a - m * 60.0));
}

int clock_SplitTimeFraction(double time, int* hours, int* minutes, int* seconds, int* partSeconds, int places) {
    if (!CheckTime(time)) return 0;
    if (!QZ_ASSERT(hours && minutes && seconds && partSeconds)) return 0;
    // More places would not fit the int that carries them.
    if (!QZ_ASSERT(places >= 0 && places <= 9)) return 0;
    const double unit = std::pow(10.0, places);
    double a = time + 0.5 / unit;
    const double h = std::floor(a / 3600.0);
    a -= h * 3600.0;
    const double m = std::floor(a / 60.0);
    a -= m * 60.0;
    const double s = std::floor(a);
    *hours = static_cast<int>(h);
    *minutes = static_cast<int>(m);
    *seconds = static_cast<int>(s);
    *partSeconds = static_cast<int>(std::floor(unit * (a - s)));
    return *partSeconds;
}

int clock_GetMilliseconds(double time) {
    QZ_ASSERT(!maths_IsNull(time));
    if (!QZ_ASSERT(std::isfinite(time))) return 0;
    return static_cast<int>(std::floor((time - std::floor(time)) * 1000.0));
}

int clock_DayOfWeek(double time) {
    if (!CheckTime(time)) return 0;
    const int d = static_cast<int>(std::floor(time / 86400.0));
    int dayOfWeek = (d + 2) % 7;
    if (d < 0) dayOfWeek = (dayOfWeek + 7) % 7;
    QZ_ASSERT(dayOfWeek >= 0 && dayOfWeek < 7);
    return dayOfWeek;
}

double clock_GetTime() {
    const uint32_t now = platform_GetTickCount();
    // A test that fixes "now" gets it at once, whatever the tick count says.
    const uint32_t generation = platform_TimeGeneration();
    if (timeCached && generation == cachedGeneration && static_cast<uint32_t>(now - cachedTick) < 1000u)
        return cachedTime;
    platform_SystemTime local;
    platform_GetLocalTime(local);
    double days = CLOCK_EpochDayNumber;
    date_DaysFromDate(days, local.Year, local.Month, local.Day);
    cachedTime = (days - CLOCK_EpochDayNumber) * 86400.0 + local.Hour * 3600.0 + local.Minute * 60.0 + local.Second;
    cachedTick = now;
    cachedGeneration = generation;
    timeCached = true;
    return cachedTime;
}

void clock_ForgetCachedTime() {
    timeCached = false;
    cachedTick = 0;
    cachedTime = 0.0;
}

bool clock_SetTime(double time) {
    if (!CheckTime(time)) return false;
    platform_SystemTime fields;
    platform_GetLocalTime(fields);
    int y = fields.Year, mo = fields.Month, d = fields.Day;
    double timeOfDay = 0.0;
    clock_SplitDate(time, &y, &mo, &d, &timeOfDay);
    int h = 0, mi = 0, s = 0;
    clock_SplitTime(timeOfDay, &h, &mi, &s);
    fields.Year = static_cast<uint16_t>(y);
    fields.Month = static_cast<uint16_t>(mo);
    fields.Day = static_cast<uint16_t>(d);
    fields.Hour = static_cast<uint16_t>(h);
    fields.Minute = static_cast<uint16_t>(mi);
    fields.Second = static_cast<uint16_t>(s);
    fields.Milliseconds = 0;
    return platform_SetLocalTime(fields);
}

bool clock_GetTimeZone(Str& name, double& biasHours) {
    platform_TimeZone zone;
    switch (platform_GetTimeZoneInformation(zone)) {
        case PLATFORM_TimeZoneUnknown:
            name = FromStd(zone.StandardName);
            biasHours = zone.Bias / 60.0;
            return true;
        case PLATFORM_TimeZoneStandard:
            name = FromStd(zone.StandardName);
            biasHours = (zone.Bias + zone.StandardBias) / 60.0;
            return true;
        case PLATFORM_TimeZoneDaylight:
            name = FromStd(zone.DaylightName);
            biasHours = (zone.Bias + zone.DaylightBias) / 60.0;
            return true;
        default: return false;
    }
}

double clock_GetTimeZoneBias() {
    platform_TimeZone zone;
    switch (platform_GetTimeZoneInformation(zone)) {
        case PLATFORM_TimeZoneUnknown: return zone.Bias * 60.0;
        case PLATFORM_TimeZoneStandard: return (zone.Bias + zone.StandardBias) * 60.0;
        case PLATFORM_TimeZoneDaylight: return (zone.Bias + zone.DaylightBias) * 60.0;
        default: return 0.0;
    }
}

Str clock_FormatTimeOfDay(double time) {
    if (!CheckTime(time)) return Str();
    int h = 0, m = 0, s = 0;
    clock_SplitTime(clock_TimeOfDay(time), &h, &m, &s);
    platform_SystemTime fields;
    fields.Hour = static_cast<uint16_t>(h);
    fields.Minute = static_cast<uint16_t>(m);
    fields.Second = static_cast<uint16_t>(s);
    std::string text;
    if (!platform_FormatTime(fields, text)) return Str();
    return FromStd(text);
}

Str clock_FormatDate(double time, bool useLocale, bool picture) {
    if (!CheckTime(time)) return Str();
    int y, m, d;
    // A day before the Gregorian calendar has no fields to show.
    if (!date_DateFromDays(std::floor(time / 86400.0) + CLOCK_EpochDayNumber, y, m, d)) return Str();

    if (useLocale) {
        platform_SystemTime fields;
        fields.Year = static_cast<uint16_t>(y);
        fields.Month = static_cast<uint16_t>(m);
        fields.Day = static_cast<uint16_t>(d);
        fields.DayOfWeek = static_cast<uint16_t>(clock_DayOfWeek(time));
        std::string text;
        if (y > 65535 || !platform_FormatDate(fields, picture ? "dddd',' dd MMM yyyy" : nullptr, text)) return Str();
        return FromStd(text);
    }

    int yearPos, monthPos, dayPos;
    clock_GetDateOrder(yearPos, monthPos, dayPos);
    Str text;
    for (int position = 0; position < 3; ++position) {
        if (position > 0) text += '/';
        if (yearPos == position) AppendInt(text, y);
        else if (monthPos == position) AppendInt(text, m);
        else if (dayPos == position) AppendInt(text, d);
    }
    return text;
}

void clock_DateOrderOf(const StrArray& formats, int& year, int& month, int& day) {
    year = month = day = -1;
    for (int i = 0; i < formats.Count(); ++i) {
        const Str& format = formats[i];
        int j = 0;
        bool inField = false;
        for (int k = 0; k < format.Length() && j <= 2; ++k) {
            const char c = format[k];
            if (c == 'D' || c == 'd') {
                day = j;
                inField = true;
            } else if (c == 'M' || c == 'm') {
                month = j;
                inField = true;
            } else if (c == 'Y' || c == 'y') {
                year = j;
                inField = true;
            } else if (inField) {
                inField = false;
                ++j;
            }
        }
        if (year >= 0 && month >= 0 && day >= 0) return;
    }
    month = 0;
    day = 1;
    year = 2;
}

void clock_GetDateOrder(int& year, int& month, int& day) {
    StrArray formats;
    platform_EnumShortDateFormats(
        [](const char* format, void* context) {
            static_cast<StrArray*>(context)->Add(format);
            return true;
        },
        &formats);
    clock_DateOrderOf(formats, year, month, day);
}

Str clock_FormatZoneBias(double biasSeconds) {
    // Hours and minutes east of UTC. The older text went through hundredths of an hour
    // and patched 75 and 50 into 45 and 30; whole minutes give the same for every
    // zone and also pad zones below ten hours ("+0530").
    long minutes = 0;
    if (std::isfinite(biasSeconds) && std::fabs(biasSeconds) < 1e6) minutes = std::lround(-biasSeconds / 60.0);
    Str text(minutes < 0 ? '-' : '+');
    const long magnitude = minutes < 0 ? -minutes : minutes;
    const long hours = magnitude / 60, rest = magnitude % 60;
    if (hours < 10) text += '0';
    AppendInt(text, hours);
    if (rest < 10) text += '0';
    AppendInt(text, rest);
    return text;
}

Str clock_FormatNow() {
    const double now = clock_GetTime();
    return clock_FormatDate(now, true, true) + " " + clock_FormatTimeOfDay(now) + " " +
           clock_FormatZoneBias(clock_GetTimeZoneBias());
}

platform_CriticalSection& clock_TimerLock() {
    // Never destroyed, so a clock call from a destructor that runs late at unload still
    // finds it; it owns nothing that would need freeing.
    alignas(platform_CriticalSection) static unsigned char storage[sizeof(platform_CriticalSection)];
    static platform_CriticalSection* const lock = new (storage) platform_CriticalSection;
    return *lock;
}

double clock_GetMonotonicSeconds() {
    platform_Hold hold(clock_TimerLock());
    const double t = platform_GetTickCount();
    if (lastTick > t) wrapTotal += 4294967296.0;
    lastTick = t;
    return (t + wrapTotal) / 1000.0;
}

double clock_TimerDeadline(double seconds) { return clock_GetMonotonicSeconds() + seconds; }

double clock_TimerElapsed(double start) { return clock_GetMonotonicSeconds() - start; }

bool clock_TimerExpired(double deadline) { return clock_GetMonotonicSeconds() >= deadline; }
