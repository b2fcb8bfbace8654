#include "platform/time.h"

#include <atomic>
#include <ctime>
#include <utility>

namespace {

std::atomic<bool> timeFixed{false};
std::atomic<int64_t> fixedSeconds{0};
std::atomic<int> fixedMilliseconds{0};
std::atomic<bool> ticksFixed{false};
std::atomic<uint32_t> fixedTicks{0};
std::atomic<uint32_t> timeGeneration{0};

void Now(int64_t& seconds, int& milliseconds) {
    if (timeFixed.load()) {
        seconds = fixedSeconds.load();
        milliseconds = fixedMilliseconds.load();
        return;
    }
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    seconds = ts.tv_sec;
    milliseconds = static_cast<int>(ts.tv_nsec / 1000000);
}

bool LocalFields(int64_t seconds, tm& out) {
    // localtime_r need not look at TZ again; tzset makes a changed TZ count.
    tzset();
    time_t t = static_cast<time_t>(seconds);
    return localtime_r(&t, &out) != nullptr;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int MonthLength(int y, int m) {
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : lengths[m - 1];
}

bool ValidDate(const platform_SystemTime& d) {
    return d.Year >= 1 && d.Year <= 9999 && d.Month >= 1 && d.Month <= 12 && d.Day >= 1 &&
           d.Day <= MonthLength(d.Year, d.Month);
}

bool ValidTime(const platform_SystemTime& t) {
    return t.Hour <= 23 && t.Minute <= 59 && t.Second <= 59 && t.Milliseconds <= 999;
}

const char* const kDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

// The output buffer of the original formatting calls.
constexpr size_t kBufferCharacters = 200;

void AppendNumber(std::string& out, int value, int digits) {
    char text[12];
    int n = 0;
    do {
        text[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n < digits) text[n++] = '0';
    while (n > 0) out += text[--n];
}

// The picture syntax of the original locale calls: runs of one letter are fields,
// text in single quotes is literal ('' is a quote), anything else is copied.
std::string FormatPicture(const platform_SystemTime& t, const char* picture, int dayOfWeek) {
    std::string out;
    for (const char* p = picture; *p;) {
        const char c = *p;
        if (c == '\'') {
            ++p;
            while (*p) {
                if (*p == '\'') {
                    if (p[1] == '\'') {
                        out += '\'';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                out += *p++;
            }
            continue;
        }
        int run = 0;
        while (p[run] == c) ++run;
        switch (c) {
            case 'd':
                if (run == 1) AppendNumber(out, t.Day, 1);
                else if (run == 2) AppendNumber(out, t.Day, 2);
                else if (run == 3) out.append(kDayNames[dayOfWeek], 3);
                else out += kDayNames[dayOfWeek];
                break;
            case 'M':
                if (run <= 2) AppendNumber(out, t.Month, run);
                else if (run == 3) out.append(kMonthNames[t.Month - 1], 3);
                else out += kMonthNames[t.Month - 1];
                break;
            case 'y':
                if (run <= 2) AppendNumber(out, t.Year % 100, run);
                else AppendNumber(out, t.Year, 4);
                break;
            case 'h': AppendNumber(out, t.Hour % 12 == 0 ? 12 : t.Hour % 12, run >= 2 ? 2 : 1); break;
            case 'H': AppendNumber(out, t.Hour, run >= 2 ? 2 : 1); break;
            case 'm': AppendNumber(out, t.Minute, run >= 2 ? 2 : 1); break;
            case 's': AppendNumber(out, t.Second, run >= 2 ? 2 : 1); break;
            case 't':
                out += t.Hour < 12 ? 'A' : 'P';
                if (run >= 2) out += 'M';
                break;
            default: out.append(p, run); break;
        }
        p += run;
    }
    return out;
}

}  // namespace

void platform_GetLocalTime(platform_SystemTime& time) {
    int64_t seconds;
    int milliseconds;
    Now(seconds, milliseconds);
    tm fields{};
    if (!LocalFields(seconds, fields) || fields.tm_year < 1 - 1900 || fields.tm_year > 9999 - 1900) {
        // Beyond the C library's range: keep the fields a valid date.
        time = platform_SystemTime{1970, 1, 4, 1, 0, 0, 0, 0};
        return;
    }
    time.Year = static_cast<uint16_t>(fields.tm_year + 1900);
    time.Month = static_cast<uint16_t>(fields.tm_mon + 1);
    time.DayOfWeek = static_cast<uint16_t>(fields.tm_wday);
    time.Day = static_cast<uint16_t>(fields.tm_mday);
    time.Hour = static_cast<uint16_t>(fields.tm_hour);
    time.Minute = static_cast<uint16_t>(fields.tm_min);
    // A leap second reads as the last ordinary one.
    time.Second = static_cast<uint16_t>(fields.tm_sec > 59 ? 59 : fields.tm_sec);
    time.Milliseconds = static_cast<uint16_t>(milliseconds);
}

bool platform_SetLocalTime(const platform_SystemTime&) { return false; }

uint32_t platform_GetTickCount() {
    if (ticksFixed.load()) return fixedTicks.load();
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec / 1000000);
    return static_cast<uint32_t>(ms);
}

int platform_GetTimeZoneInformation(platform_TimeZone& zone) {
    int64_t seconds;
    int milliseconds;
    Now(seconds, milliseconds);
    tm now{};
    if (!LocalFields(seconds, now)) return PLATFORM_TimeZoneInvalid;

    // Standard and daylight offsets of this year: one mid-winter and one mid-summer
    // probe serve both hemispheres.
    const int year = now.tm_year + 1900;
    tm january{}, july{};
    if (!LocalFields((DaysFromCivil(year, 1, 15) * 86400) + 43200, january) ||
        !LocalFields((DaysFromCivil(year, 7, 15) * 86400) + 43200, july))
        return PLATFORM_TimeZoneInvalid;

    const tm* standard = nullptr;
    const tm* daylight = nullptr;
    if (january.tm_isdst > 0 && july.tm_isdst <= 0) {
        daylight = &january;
        standard = &july;
    } else if (july.tm_isdst > 0 && january.tm_isdst <= 0) {
        daylight = &july;
        standard = &january;
    }

    platform_TimeZone result;
    if (!standard) {
        result.Bias = static_cast<int32_t>(-now.tm_gmtoff / 60);
        result.StandardName = now.tm_zone ? now.tm_zone : "";
        result.DaylightName = result.StandardName;
        zone = result;
        return PLATFORM_TimeZoneUnknown;
    }
    result.Bias = static_cast<int32_t>(-standard->tm_gmtoff / 60);
    result.StandardBias = 0;
    result.DaylightBias = static_cast<int32_t>(-(daylight->tm_gmtoff - standard->tm_gmtoff) / 60);
    result.StandardName = standard->tm_zone ? standard->tm_zone : "";
    result.DaylightName = daylight->tm_zone ? daylight->tm_zone : "";
    zone = result;
    return now.tm_isdst > 0 ? PLATFORM_TimeZoneDaylight : PLATFORM_TimeZoneStandard;
}

bool platform_FormatTime(const platform_SystemTime& time, std::string& out) {
    if (!ValidTime(time)) return false;
    out = FormatPicture(time, "h:mm:ss tt", 0);
    return true;
}

bool platform_FormatDate(const platform_SystemTime& date, const char* picture, std::string& out) {
    if (!ValidDate(date)) return false;
    const int64_t days = DaysFromCivil(date.Year, date.Month, date.Day);
    const int dayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    std::string text = FormatPicture(date, picture ? picture : "dddd, MMMM d, yyyy", dayOfWeek);
    if (text.size() >= kBufferCharacters) return false;
    out = std::move(text);
    return true;
}

void platform_EnumShortDateFormats(bool (*callback)(const char* format, void* context), void* context) {
    static const char* const kFormats[] = {"M/d/yyyy"};
    for (const char* format : kFormats)
        if (!callback(format, context)) return;
}

void platform_FixTime(int64_t unixSeconds, int milliseconds) {
    fixedSeconds.store(unixSeconds);
    fixedMilliseconds.store(milliseconds);
    timeFixed.store(true);
    ++timeGeneration;
}

void platform_ReleaseTime() {
    timeFixed.store(false);
    ++timeGeneration;
}

void platform_AdvanceFixedTime(int64_t seconds) { fixedSeconds += seconds; }

uint32_t platform_TimeGeneration() { return timeGeneration.load(); }

void platform_FixTickCount(uint32_t ticks) {
    fixedTicks.store(ticks);
    ticksFixed.store(true);
}

void platform_ReleaseTickCount() { ticksFixed.store(false); }
