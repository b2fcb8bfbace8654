#include "foundation/xml/format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "foundation/kernel/clock.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kNullInt = -2147483647;

// printf's "%.14f" and "%.14G" in the C locale, whatever locale the host has set.
std::string Fixed14(double x) {
    char buffer[400];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 14);
    return std::string(buffer, r.ptr);
}

std::string General14(double x) {
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 14);
    std::string s(buffer, r.ptr);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace

Str xml_FormatDouble(double x) {
    // Not a number and infinity have no text a reader could take back, so they are
    // written as null is.
    if (x == 1e308 || !std::isfinite(x)) return Str();
    std::string s;
    if (std::fabs(x) < 1) {
        s = Fixed14(x);
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
        if (s == "-0") s.erase(0, 1);
    } else {
        s = General14(x);
    }
    return Str(s.c_str());
}

Str xml_FormatInt(int n) {
    if (n == kNullInt) return Str();
    char buffer[16];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, n);
    return Str(buffer, static_cast<int>(r.ptr - buffer));
}

Str xml_FormatAngle(double radians, bool wrap) {
    if (radians == 1e308) return Str();
    if (wrap && std::fabs(radians - 2 * kPi) < 5e-13) return xml_FormatDouble(0.0);
    return xml_FormatDouble(radians * 180 / kPi);
}

Str xml_FormatGrade(double angle, bool negate) {
    if (angle == 1e308) return Str();
    if (negate) angle = -angle;
    if (std::fabs(kPi / 2 - std::fabs(angle)) < 1e-6) return Str(angle > 0 ? "99999999" : "-99999999");
    return xml_FormatDouble(std::tan(angle) * 100);
}

Str xml_FormatBool(bool b) { return Str(b ? "true" : "false"); }

Str xml_FormatDateTime(double time) {
    // A time that cannot be split (not finite) has no text, like the null time.
    if (maths_IsNull(time) || !std::isfinite(time)) return Str();
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    double timeOfDay = 0;
    clock_SplitDate(time, &year, &month, &day, &timeOfDay);
    clock_SplitTime(timeOfDay, &hour, &minute, &second);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute, second);
    return Str(text);
}

Str xml_Escape(const char* text) {
    std::string out;
    size_t trailing = 0;  // blanks at the end of out
    for (const char* p = text ? text : ""; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == ' ') {
            if (out.empty()) continue;
            out += ' ';
            ++trailing;
            continue;
        }
        trailing = 0;
        switch (c) {
        case '"': out += "&quot;"; break;
        case '&': out += "&amp;"; break;
        case '\'': out += "&apos;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default:
            if (c < 32 && c != '\t' && c != '\n' && c != '\r') {
                // No reference can carry these in XML 1.0: keep the file well-formed.
                out += "\xEF\xBF\xBD";
            } else if (c < 32) {
                static const char digits[] = "0123456789abcdef";
                out += "&#x0";
                out += digits[c >> 4];
                out += digits[c & 15];
                out += ';';
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out.resize(out.size() - trailing);
    return Str(out.data(), static_cast<int>(out.size()));
}
