#include "foundation/text/number.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }

// Skips white space and one sign; the position of the first byte after them.
const char* SkipSpaceAndSign(const char* text, bool* negative) {
    while (IsCSpace(*text)) ++text;
    *negative = false;
    if (*text == '+' || *text == '-') *negative = *text++ == '-';
    return text;
}

// The scanned exponent, clamped well inside int range.
long ClampedExponent(const char* p, const char* end) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    long e = 0;
    for (; p < end && IsDigit(*p); ++p)
        if (e < 100000) e = e * 10 + (*p - '0');
    return negative ? -e : e;
}

// Whether a number that does not fit a double was too large rather than too small:
// the power of the base of its leading non-zero digit plus the exponent decides. The
// span is one the conversion accepted: a well-formed mantissa, perhaps an exponent.
bool IsOverflow(const char* p, const char* end, bool hex) {
    const char exponentMark = hex ? 'p' : 'e';
    long integerDigits = 0;  // integer digits from the leading non-zero one on
    long zerosAfterPoint = 0;  // fraction digits before the leading non-zero one
    bool point = false;
    bool found = false;
    for (; p < end && (*p | 0x20) != exponentMark; ++p) {
        if (*p == '.') {
            point = true;
            continue;
        }
        if (*p != '0') found = true;
        if (!point) {
            if (found) ++integerDigits;
        } else if (!found) {
            ++zerosAfterPoint;
        }
    }
    long power = integerDigits > 0 ? integerDigits - 1 : -(zerosAfterPoint + 1);
    long exponent = p < end ? ClampedExponent(p + 1, end) : 0;
    // A hexadecimal digit is four bits and its exponent counts bits.
    return (hex ? power * 4 : power) + exponent > 0;
}

}  // namespace

int number_ScanDouble(const char* text, double* value) {
    *value = 0.0;
    if (!text) return 0;
    bool negative;
    const char* p = SkipSpaceAndSign(text, &negative);
    const char* end = p + std::strlen(p);
    // The conversion below takes a sign of its own; a second one is no number.
    if (*p == '-' || *p == '+') return 0;
    double result = 0.0;
    const char* stop = p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        // Past "0x" only hexadecimal digits may follow ("0xinf" is 0 followed by text).
        if (IsHexDigit(p[2]) || (p[2] == '.' && IsHexDigit(p[3]))) {
            auto r = std::from_chars(p + 2, end, result, std::chars_format::hex);
            stop = r.ptr;
            if (r.ec == std::errc::result_out_of_range)
                result = IsOverflow(p + 2, r.ptr, true) ? std::numeric_limits<double>::infinity() : 0.0;
        } else {
            stop = p + 1;  // the "0"
        }
    } else {
        auto r = std::from_chars(p, end, result, std::chars_format::general);
        if (r.ec == std::errc::invalid_argument) return 0;
        stop = r.ptr;
        if (r.ec == std::errc::result_out_of_range)
            result = IsOverflow(p, r.ptr, false) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    *value = negative ? -result : result;
    return static_cast<int>(stop - text);
}

namespace {

// The magnitude of a run of decimal digits, saturated at UINT64_MAX; the count of
// bytes read through the digits, 0 when there is none.
int ScanMagnitude(const char* text, bool* negative, uint64_t* magnitude) {
    *magnitude = 0;
    *negative = false;
    if (!text) return 0;
    const char* p = SkipSpaceAndSign(text, negative);
    if (!IsDigit(*p)) return 0;
    uint64_t m = 0;
    for (; IsDigit(*p); ++p)
        m = m <= (UINT64_MAX - 9) / 10 ? m * 10 + static_cast<uint64_t>(*p - '0') : UINT64_MAX;
    *magnitude = m;
    return static_cast<int>(p - text);
}

}  // namespace

int number_ScanInt(const char* text, int32_t* value) {
    bool negative;
    uint64_t m;
    int count = ScanMagnitude(text, &negative, &m);
    if (negative) *value = m >= 0x80000000ull ? INT32_MIN : -static_cast<int32_t>(m);
    else *value = m > 0x7FFFFFFFull ? INT32_MAX : static_cast<int32_t>(m);
    return count;
}

int number_ScanUnsigned(const char* text, uint32_t* value) {
    bool negative;
    uint64_t m;
    int count = ScanMagnitude(text, &negative, &m);
    if (m > 0xFFFFFFFFull) *value = 0xFFFFFFFFu;
    else *value = negative ? 0u - static_cast<uint32_t>(m) : static_cast<uint32_t>(m);
    return count;
}

int number_ScanInt64(const char* text, int64_t* value) {
    bool negative;
    uint64_t m;
    int count = ScanMagnitude(text, &negative, &m);
    if (negative) *value = m >= 0x8000000000000000ull ? INT64_MIN : -static_cast<int64_t>(m);
    else *value = m > 0x7FFFFFFFFFFFFFFFull ? INT64_MAX : static_cast<int64_t>(m);
    return count;
}

double number_Atof(const char* text) {
    double value;
    number_ScanDouble(text, &value);
    return value;
}

int32_t number_Atoi(const char* text) {
    int32_t value;
    number_ScanInt(text, &value);
    return value;
}
